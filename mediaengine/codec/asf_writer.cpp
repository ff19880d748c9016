#include "mediaengine/codec/asf_writer.h"

#include <algorithm>

#include "mediaengine/codec/asf_format.h"
#include "os/text_encoding.h"

namespace mediaengine {
namespace {

using asf::ByteWriter;

// Data packet, single payload: error-correction flags and 2 bytes, length-type
// and property flags, padding length (WORD), send time, duration, then the
// payload header (stream, media object number, offset, 8 bytes of replicated
// data: media object size and presentation time).
constexpr std::size_t kPacketOverhead = 3 + 2 + 2 + 4 + 2 + 1 + 1 + 4 + 1 + 8;
constexpr std::uint8_t kErrorCorrectionFlags = 0x82;  // present, 2 bytes of data
constexpr std::uint8_t kLengthTypeFlags = 0x10;       // padding length is a WORD
constexpr std::uint8_t kPropertyFlags = 0x5D;         // BYTE/DWORD/BYTE/BYTE fields
constexpr std::uint8_t kStreamNumber = 1;
constexpr std::uint8_t kKeyFrame = 0x80;  // every block decodes on its own
constexpr std::uint32_t kMinPacketSize = 100;
constexpr std::uint32_t kMaxPacketSize = 65536;
constexpr std::size_t kMaxTagUnits = 32766;  // lengths are WORDs counting the NUL
constexpr std::size_t kMaxCodecData = 1024;
constexpr std::uint32_t kAudioSpreadSize = 8;

// UTF-16LE with its NUL; an empty text has no bytes at all.
std::vector<std::uint8_t> Utf16Bytes(const std::wstring& text) {
  std::vector<std::uint8_t> bytes;
  if (text.empty()) return bytes;
  std::u16string units = os::Utf16FromWide(text);
  if (units.size() > kMaxTagUnits) {
    units.resize(kMaxTagUnits);
    if (units.back() >= 0xD800 && units.back() < 0xDC00) units.pop_back();
  }
  units.push_back(0);
  bytes.reserve(units.size() * 2);
  for (char16_t unit : units) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  return bytes;
}

void PutObjectHead(ByteWriter& w, const asf::Guid& guid, std::uint64_t size) {
  w.Id(guid);
  w.U64(size);
}

void PutContentDescription(ByteWriter& w, const AsfTags& tags) {
  const std::vector<std::uint8_t> texts[5] = {Utf16Bytes(tags.title), Utf16Bytes(tags.author),
                                              {}, {}, {}};
  std::uint64_t size = asf::kObjectHeaderSize + 10;
  for (const auto& text : texts) size += text.size();
  PutObjectHead(w, asf::kContentDescription, size);
  for (const auto& text : texts) w.U16(static_cast<std::uint16_t>(text.size()));
  for (const auto& text : texts) w.Bytes(text.data(), text.size());
}

void PutExtendedContentDescription(ByteWriter& w, const AsfTags& tags) {
  struct Descriptor {
    const wchar_t* name;
    const std::wstring* value;
  };
  const Descriptor all[] = {{L"WM/AlbumTitle", &tags.albumTitle},
                            {L"WM/AlbumArtist", &tags.albumArtist},
                            {L"WM/Genre", &tags.genre},
                            {L"WM/Year", &tags.year},
                            {L"WM/TrackNumber", &tags.trackNumber}};
  std::vector<std::uint8_t> body;
  ByteWriter b(&body);
  std::uint16_t count = 0;
  for (const Descriptor& d : all) {
    // An empty tag says nothing; readers show "unknown" for a missing one.
    if (d.value->empty()) continue;
    const std::vector<std::uint8_t> name = Utf16Bytes(d.name);
    const std::vector<std::uint8_t> value = Utf16Bytes(*d.value);
    b.U16(static_cast<std::uint16_t>(name.size()));
    b.Bytes(name.data(), name.size());
    b.U16(asf::kValueString);
    b.U16(static_cast<std::uint16_t>(value.size()));
    b.Bytes(value.data(), value.size());
    ++count;
  }
  PutObjectHead(w, asf::kExtendedContentDescription, asf::kObjectHeaderSize + 2 + body.size());
  w.U16(count);
  w.Bytes(body.data(), body.size());
}

constexpr std::uint64_t kFnvPrime = 0x100000001B3ULL;

void HashBytes(std::uint64_t* hash, const std::uint8_t* data, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) {
    hash[0] = (hash[0] ^ data[i]) * kFnvPrime;
    hash[1] = (hash[1] ^ data[i]) * kFnvPrime;
  }
}

}  // namespace

AsfWriter::AsfWriter() = default;
AsfWriter::~AsfWriter() = default;

os::ErrorCode AsfWriter::Open(os::IFileSystem& files, const std::wstring& path,
                              const AsfWriterSettings& settings) {
  if (stream_ || finished_) return os::kErrorInvalidParameter;
  const AsfAudioFormat& format = settings.format;
  const std::uint64_t packetSize =
      kPacketOverhead + static_cast<std::uint64_t>(format.blockAlign) *
                            static_cast<std::uint64_t>(std::max(settings.blocksPerPacket, 0));
  if (format.blockAlign == 0 || format.channels == 0 || format.sampleRate == 0 ||
      format.samplesPerBlock == 0 || format.codecData.size() > kMaxCodecData ||
      settings.blocksPerPacket <= 0 || packetSize < kMinPacketSize ||
      packetSize > kMaxPacketSize) {
    return os::kErrorInvalidParameter;
  }
  settings_ = settings;
  packetSize_ = static_cast<std::uint32_t>(packetSize);
  // Distinct starting points give two independent hashes for the file id.
  idHash_[0] = 0xCBF29CE484222325ULL;
  idHash_[1] = 0x84222325CBF29CE4ULL ^ settings.creationTime;

  const os::ErrorCode opened = files.Open(path, os::OpenMode::CreateAlways, &stream_);
  if (opened != os::kSuccess) return Fail(opened);
  const std::vector<std::uint8_t> header = BuildHeader(Totals());
  headerSize_ = header.size();
  fileSize_ = headerSize_;
  HashBytes(idHash_, header.data(), header.size());
  return Put(header);
}

os::ErrorCode AsfWriter::WriteBlocks(const std::uint8_t* blocks, std::size_t count) {
  if (error_ != os::kSuccess) return error_;
  if (!stream_) return os::kErrorInvalidParameter;
  const std::size_t blockAlign = settings_.format.blockAlign;
  const std::size_t packetPayload = blockAlign * static_cast<std::size_t>(settings_.blocksPerPacket);
  for (std::size_t i = 0; i < count; ++i) {
    pending_.insert(pending_.end(), blocks + i * blockAlign, blocks + (i + 1) * blockAlign);
    if (pending_.size() == packetPayload) WritePacket();
  }
  return PutPackets();
}

os::ErrorCode AsfWriter::Finish(std::uint64_t durationHns) {
  if (error_ != os::kSuccess) return error_;
  if (!stream_) return os::kErrorInvalidParameter;
  if (!pending_.empty()) WritePacket();
  const os::ErrorCode written = PutPackets();
  if (written != os::kSuccess) return written;
  Totals totals;
  totals.fileSize = fileSize_;
  totals.packetCount = packetCount_;
  totals.durationHns = durationHns;
  for (int half = 0; half < 2; ++half) {
    for (int i = 0; i < 8; ++i) {
      totals.fileId[half * 8 + i] = static_cast<std::uint8_t>(idHash_[half] >> (8 * i));
    }
  }
  // Shaped as a random (version 4) GUID.
  totals.fileId[7] = static_cast<std::uint8_t>((totals.fileId[7] & 0x0F) | 0x40);
  totals.fileId[8] = static_cast<std::uint8_t>((totals.fileId[8] & 0x3F) | 0x80);

  const os::ErrorCode seeked = stream_->Seek(0);
  if (seeked != os::kSuccess) return Fail(seeked);
  const os::ErrorCode put = Put(BuildHeader(totals));
  if (put != os::kSuccess) return put;
  const os::ErrorCode flushed = stream_->Flush();
  if (flushed != os::kSuccess) return Fail(flushed);
  stream_.reset();
  finished_ = true;
  return os::kSuccess;
}

void AsfWriter::Abandon() {
  if (error_ == os::kSuccess && !finished_) Fail(os::kErrorInvalidHandle);
}

void AsfWriter::WritePacket() {
  const AsfAudioFormat& format = settings_.format;
  const std::size_t blocks = pending_.size() / format.blockAlign;
  const std::uint64_t samplesPerBlock = format.samplesPerBlock;
  const std::uint64_t firstSample = samplesWritten_;
  samplesWritten_ += blocks * samplesPerBlock;
  const auto startMs = static_cast<std::uint32_t>(firstSample * 1000 / format.sampleRate);
  const auto endMs = static_cast<std::uint32_t>(samplesWritten_ * 1000 / format.sampleRate);
  const std::size_t padding = packetSize_ - kPacketOverhead - pending_.size();

  const std::size_t start = packets_.size();
  ByteWriter w(&packets_);
  w.U8(kErrorCorrectionFlags);
  w.U8(0);
  w.U8(0);
  w.U8(kLengthTypeFlags);
  w.U8(kPropertyFlags);
  w.U16(static_cast<std::uint16_t>(padding));
  w.U32(startMs);
  w.U16(static_cast<std::uint16_t>(std::min<std::uint32_t>(endMs - startMs, 0xFFFF)));
  w.U8(kKeyFrame | kStreamNumber);
  w.U8(mediaObjectNumber_++);
  w.U32(0);  // the media object starts in this packet and ends in it
  w.U8(8);
  w.U32(static_cast<std::uint32_t>(pending_.size()));
  w.U32(startMs + settings_.prerollMs);
  w.Bytes(pending_.data(), pending_.size());
  packets_.resize(start + packetSize_, 0);

  HashBytes(idHash_, pending_.data(), pending_.size());
  pending_.clear();
  ++packetCount_;
  fileSize_ += packetSize_;
}

os::ErrorCode AsfWriter::PutPackets() {
  if (packets_.empty()) return os::kSuccess;
  const os::ErrorCode put = Put(packets_);
  packets_.clear();
  return put;
}

std::vector<std::uint8_t> AsfWriter::BuildHeader(const Totals& totals) const {
  const AsfAudioFormat& format = settings_.format;
  const auto extraSize = static_cast<std::uint16_t>(format.codecData.size());
  const std::uint32_t typeSpecificSize = 18u + extraSize;
  std::vector<std::uint8_t> children;
  ByteWriter w(&children);

  PutObjectHead(w, asf::kFileProperties, asf::kFilePropertiesSize);
  w.Bytes(totals.fileId, 16);
  w.U64(totals.fileSize);
  w.U64(settings_.creationTime);
  w.U64(totals.packetCount);
  w.U64(totals.durationHns + std::uint64_t{settings_.prerollMs} * 10000);  // play duration
  w.U64(totals.durationHns);                                            // send duration
  w.U64(settings_.prerollMs);
  w.U32(asf::kFlagSeekable);
  w.U32(packetSize_);
  w.U32(packetSize_);
  w.U32(bitrate());

  PutObjectHead(w, asf::kStreamProperties,
                asf::kStreamPropertiesFixedSize + typeSpecificSize + kAudioSpreadSize);
  w.Id(asf::kAudioMedia);
  w.Id(asf::kAudioSpread);
  w.U64(0);  // time offset
  w.U32(typeSpecificSize);
  w.U32(kAudioSpreadSize);
  w.U16(kStreamNumber);
  w.U32(0);
  w.U16(format.formatTag);
  w.U16(format.channels);
  w.U32(format.sampleRate);
  w.U32(format.avgBytesPerSecond);
  w.U16(format.blockAlign);
  w.U16(format.bitsPerSample);
  w.U16(extraSize);
  w.Bytes(format.codecData.data(), format.codecData.size());
  // Audio spread over a span of one: what Windows Media files carry, and
  // the same as no spreading at all.
  w.U8(1);
  w.U16(format.blockAlign);  // virtual packet length
  w.U16(format.blockAlign);  // virtual chunk length
  w.U16(1);                  // silence data length
  w.U8(0);                   // silence data

  PutObjectHead(w, asf::kHeaderExtension, asf::kHeaderExtensionSize);
  w.Id(asf::kReserved1);
  w.U16(6);
  w.U32(0);

  PutContentDescription(w, settings_.tags);
  PutExtendedContentDescription(w, settings_.tags);

  std::vector<std::uint8_t> header;
  ByteWriter h(&header);
  PutObjectHead(h, asf::kHeaderObject, asf::kHeaderObjectFixedSize + children.size());
  h.U32(5);  // child objects
  h.U8(0x01);
  h.U8(0x02);
  h.Bytes(children.data(), children.size());

  PutObjectHead(h, asf::kDataObject,
                asf::kDataObjectFixedSize + totals.packetCount * std::uint64_t{packetSize_});
  h.Bytes(totals.fileId, 16);
  h.U64(totals.packetCount);
  h.U16(0x0101);
  return header;
}

os::ErrorCode AsfWriter::Put(const std::vector<std::uint8_t>& bytes) {
  const os::ErrorCode written = stream_->Write(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
  return written == os::kSuccess ? written : Fail(written);
}

os::ErrorCode AsfWriter::Fail(os::ErrorCode error) {
  error_ = error;
  stream_.reset();  // closed, so the caller can delete the partial file
  return error;
}

}  // namespace mediaengine
