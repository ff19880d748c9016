// .wma files made by the encoder: what the reader gets back, the layout of
// header and packets as other readers expect it, damaged files, full disks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "codec/asf_format.h"
#include "codec/asf_info.h"
#include "codec/asf_writer.h"
#include "codec/ima_adpcm.h"
#include "codec/resampler.h"
#include "codec/wma_encoder.h"
#include "fakes/fake_file_system.h"
#include "native/engine_signals.h"

namespace {

namespace asf = engine::asf;
using engine::AsfInfo;
using engine::AsfTags;
using engine::WmaEncoder;

constexpr std::uint32_t kClasses[] = {engine::kWmaRateClass64, engine::kWmaRateClass128};
constexpr std::uint32_t kPrerollMs = 3100;

const std::uint8_t* Bytes(const std::string& s, std::size_t offset = 0) {
  return reinterpret_cast<const std::uint8_t*>(s.data()) + offset;
}

std::string Utf16Le(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>((c >> 8) & 0xFF));
  }
  return out;
}

AsfTags SampleTags() {
  AsfTags tags;
  tags.title = L"夜明けのスキャット";
  tags.author = L"由紀さおり";
  tags.albumTitle = L"1969";
  tags.albumArtist = L"由紀さおり & Pink Martini";
  tags.genre = L"J-Pop";
  tags.year = L"2011";
  tags.trackNumber = L"12";
  return tags;
}

// The header's child objects, each with its 24-byte head.
std::vector<std::string> Children(const std::string& file) {
  std::vector<std::string> children;
  const std::uint64_t headerSize = asf::Le64(Bytes(file, 16));
  std::size_t offset = asf::kHeaderObjectFixedSize;
  while (offset + asf::kObjectHeaderSize <= headerSize) {
    const std::uint64_t size = asf::Le64(Bytes(file, offset + 16));
    children.push_back(file.substr(offset, size));
    offset += size;
  }
  return children;
}

const std::string* Child(const std::vector<std::string>& children, const asf::Guid& guid) {
  for (const std::string& child : children) {
    if (asf::IsGuid(Bytes(child), guid)) return &child;
  }
  return nullptr;
}

// The same file with another set of header children.
std::string WithChildren(const std::string& file, const std::vector<std::string>& children) {
  std::vector<std::uint8_t> header;
  asf::ByteWriter w(&header);
  std::size_t size = asf::kHeaderObjectFixedSize;
  for (const std::string& child : children) size += child.size();
  w.Id(asf::kHeaderObject);
  w.U64(size);
  w.U32(static_cast<std::uint32_t>(children.size()));
  w.U8(1);
  w.U8(2);
  std::string out(header.begin(), header.end());
  for (const std::string& child : children) out += child;
  return out + file.substr(asf::Le64(Bytes(file, 16)));
}

struct Encoded {
  std::string file;
  std::vector<std::int16_t> resampled;  // what the coder was given
  std::uint64_t reportedSize = 0;
  std::uint32_t reportedBitrate = 0;
};

Encoded Encode(std::uint32_t rateClass, const std::vector<std::int16_t>& stereo,
               const AsfTags& tags, std::size_t chunk = 4410) {
  fakes::FakeFileSystem files;
  files.AddDrive(L'C');
  WmaEncoder encoder;
  EXPECT_EQ(encoder.Open(files, L"C:\\rip.tmp", tags, rateClass, 133485408000000000ULL), os::kSuccess);
  for (std::size_t done = 0; done < stereo.size() / 2; done += chunk) {
    const std::size_t count = std::min(chunk, stereo.size() / 2 - done);
    EXPECT_EQ(encoder.Write(stereo.data() + 2 * done, count), os::kSuccess);
  }
  EXPECT_EQ(encoder.Finish(), os::kSuccess);

  Encoded out;
  out.file = files.Content(L"C:\\rip.tmp");
  out.reportedSize = encoder.FileSize();
  out.reportedBitrate = encoder.Bitrate();
  engine::Resampler resampler(rateClass == engine::kWmaRateClass64 ? 1 : 2);
  resampler.Write(stereo.data(), stereo.size() / 2, &out.resampled);
  resampler.Flush(&out.resampled);
  return out;
}

bool ReadInfo(const std::string& file, AsfInfo* info) {
  fakes::FakeFileSystem files;
  files.AddDrive(L'C');
  files.AddFile(L"C:\\a.wma", file);
  return engine::ReadAsfInfo(files, L"C:\\a.wma", info);
}

// Walks the data packets the way a demuxer does, checking each one, and
// decodes the audio they carry.
struct Walked {
  std::uint64_t packets = 0;
  std::vector<std::int16_t> audio;
};

void WalkPackets(const std::string& file, Walked* walked) {
  const std::vector<std::string> children = Children(file);
  const std::string* properties = Child(children, asf::kFileProperties);
  const std::string* stream = Child(children, asf::kStreamProperties);
  ASSERT_TRUE(properties && stream);
  const std::uint32_t packetSize = asf::Le32(Bytes(*properties, 92));
  ASSERT_EQ(asf::Le32(Bytes(*properties, 96)), packetSize) << "fixed-size packets";
  engine::ImaAdpcmLayout layout;
  layout.channels = asf::Le16(Bytes(*stream, 78 + 2));
  layout.blockAlign = asf::Le16(Bytes(*stream, 78 + 12));
  ASSERT_EQ(asf::Le16(Bytes(*stream, 78 + 18)), layout.SamplesPerBlock());

  const std::size_t dataStart = asf::Le64(Bytes(file, 16));
  ASSERT_TRUE(asf::IsGuid(Bytes(file, dataStart), asf::kDataObject));
  const std::uint64_t count = asf::Le64(Bytes(file, dataStart + 40));
  ASSERT_EQ(asf::Le64(Bytes(file, dataStart + 16)), asf::kDataObjectFixedSize + count * packetSize);
  ASSERT_EQ(dataStart + asf::kDataObjectFixedSize + count * packetSize, file.size());
  ASSERT_EQ(std::memcmp(Bytes(file, dataStart + 24), Bytes(*properties, 24), 16), 0) << "file id";

  std::uint32_t lastSend = 0;
  for (std::uint64_t i = 0; i < count; ++i) {
    SCOPED_TRACE(i);
    const std::uint8_t* p = Bytes(file, dataStart + asf::kDataObjectFixedSize + i * packetSize);
    ASSERT_EQ(p[0], 0x82);
    ASSERT_EQ(p[3] & 0x01, 0) << "single payload";
    ASSERT_EQ(p[3], 0x10) << "WORD padding length, no packet length";
    ASSERT_EQ(p[4], 0x5D);
    const std::uint16_t padding = asf::Le16(p + 5);
    const std::uint32_t send = asf::Le32(p + 7);
    ASSERT_GE(send, lastSend);
    lastSend = send;
    ASSERT_EQ(p[13], 0x81) << "stream 1, key frame";
    ASSERT_EQ(p[14], static_cast<std::uint8_t>(i)) << "media object number";
    ASSERT_EQ(asf::Le32(p + 15), 0u) << "offset into the media object";
    ASSERT_EQ(p[19], 8);
    const std::uint32_t objectSize = asf::Le32(p + 20);
    ASSERT_EQ(asf::Le32(p + 24), send + kPrerollMs) << "presentation time";
    ASSERT_EQ(28u + objectSize + padding, packetSize);
    ASSERT_EQ(objectSize % layout.blockAlign, 0u) << "whole blocks";
    for (std::uint32_t b = 0; b < objectSize; b += layout.blockAlign) {
      std::vector<std::int16_t> frames;
      ASSERT_TRUE(engine::DecodeImaAdpcmBlock(layout, p + 28 + b, layout.blockAlign, &frames));
      walked->audio.insert(walked->audio.end(), frames.begin(), frames.end());
    }
    for (std::uint32_t b = 28 + objectSize; b < packetSize; ++b) ASSERT_EQ(p[b], 0) << "padding";
  }
  walked->packets = count;
}

TEST(WmaFile, RoundTripKeepsTagsLengthAndRateClass) {
  const std::size_t frames = 44100 * 3 + 1234;
  const std::vector<std::int16_t> music = engine_signals::MusicLike(frames, 44100.0);
  for (std::uint32_t rateClass : kClasses) {
    SCOPED_TRACE(rateClass);
    const Encoded encoded = Encode(rateClass, music, SampleTags());
    AsfInfo info;
    ASSERT_TRUE(ReadInfo(encoded.file, &info));
    EXPECT_EQ(info.tags.title, L"夜明けのスキャット");
    EXPECT_EQ(info.tags.author, L"由紀さおり");
    EXPECT_EQ(info.tags.albumTitle, L"1969");
    EXPECT_EQ(info.tags.albumArtist, L"由紀さおり & Pink Martini");
    EXPECT_EQ(info.tags.genre, L"J-Pop");
    EXPECT_EQ(info.tags.year, L"2011");
    EXPECT_EQ(info.tags.trackNumber, L"12");
    EXPECT_NEAR(info.durationSeconds, frames / 44100.0, 1e-6);
    EXPECT_EQ(info.bitrate / 1000, rateClass / 1000);
    EXPECT_EQ(info.bitrate, encoded.reportedBitrate);
    EXPECT_EQ(info.fileSize, encoded.file.size());
    EXPECT_EQ(encoded.reportedSize, encoded.file.size());

    // What other readers rely on, straight from the bytes.
    const std::vector<std::string> children = Children(encoded.file);
    const std::string* properties = Child(children, asf::kFileProperties);
    ASSERT_NE(properties, nullptr);
    EXPECT_EQ(asf::Le64(Bytes(*properties, 40)), encoded.file.size()) << "exact File Size";
    EXPECT_EQ(asf::Le64(Bytes(*properties, 64)) - kPrerollMs * 10000ULL,
              frames * 10000000ULL / 44100) << "play duration holds the preroll";
    EXPECT_EQ(asf::Le64(Bytes(*properties, 72)), frames * 10000000ULL / 44100);
    EXPECT_EQ(asf::Le64(Bytes(*properties, 80)), kPrerollMs);
    EXPECT_EQ(asf::Le32(Bytes(*properties, 88)), asf::kFlagSeekable);
    EXPECT_EQ(asf::Le32(Bytes(*properties, 100)) / 1000, rateClass / 1000) << "max bitrate";
    EXPECT_NE(Child(children, asf::kHeaderExtension), nullptr);
    const std::string* stream = Child(children, asf::kStreamProperties);
    ASSERT_NE(stream, nullptr);
    EXPECT_TRUE(asf::IsGuid(Bytes(*stream, 40), asf::kNoErrorCorrection));
    EXPECT_EQ(asf::Le16(Bytes(*stream, 78)), engine::kWaveFormatImaAdpcm);
    EXPECT_EQ(asf::Le32(Bytes(*stream, 78 + 4)), 16000u);
    EXPECT_EQ(asf::Le16(Bytes(*stream, 78 + 14)), 4) << "bits per sample";
    EXPECT_EQ(asf::Le16(Bytes(*stream, 78 + 16)), 2) << "cbSize";

    // The audio in the packets is the resampled input, whole blocks padded
    // at the end.
    Walked walked;
    WalkPackets(encoded.file, &walked);
    ASSERT_GE(walked.audio.size(), encoded.resampled.size());
    EXPECT_LT(walked.audio.size() - encoded.resampled.size(), 8185u * 2);
    EXPECT_EQ(asf::Le64(Bytes(*properties, 56)), walked.packets);
    EXPECT_GT(engine_signals::SnrDb(encoded.resampled, walked.audio, encoded.resampled.size()), 22.0);
  }
}

TEST(WmaFile, RateClassHoldsForTheWholeFileOfOrdinaryTracks) {
  // The stream declares its class; the file as a whole (packet heads,
  // header, last packet's padding) must stay in it too for tracks of a few
  // minutes, since players derive the rate from size and length.
  for (std::uint32_t rateClass : kClasses) {
    for (int seconds : {150, 240, 600}) {
      SCOPED_TRACE(testing::Message() << rateClass << " " << seconds);
      engine::AsfWriterSettings settings;
      ASSERT_TRUE(WmaEncoder::SettingsForClass(rateClass, &settings));
      settings.tags = SampleTags();
      EXPECT_EQ(settings.format.avgBytesPerSecond * 8 / 1000, rateClass / 1000);
      fakes::FakeFileSystem files;
      files.AddDrive(L'C');
      engine::AsfWriter writer;
      ASSERT_EQ(writer.Open(files, L"C:\\a.wma", settings), os::kSuccess);
      const std::uint64_t samples = 16000ULL * seconds;
      const std::uint64_t blocks = (samples + settings.format.samplesPerBlock - 1) / settings.format.samplesPerBlock;
      const std::vector<std::uint8_t> block(settings.format.blockAlign, 0);
      for (std::uint64_t b = 0; b < blocks; ++b) ASSERT_EQ(writer.WriteBlocks(block.data(), 1), os::kSuccess);
      ASSERT_EQ(writer.Finish(seconds * 10000000ULL), os::kSuccess);
      const double wholeRate = files.Content(L"C:\\a.wma").size() * 8.0 / seconds;
      EXPECT_EQ(static_cast<std::uint32_t>(wholeRate) / 1000, rateClass / 1000) << wholeRate;
    }
  }
}

TEST(WmaFile, EmptyTagsAreLeftOut) {
  AsfTags tags;
  tags.title = L"Untitled";
  tags.trackNumber = L"1";
  const Encoded encoded = Encode(engine::kWmaRateClass64, engine_signals::StereoTone(440.0, 3000.0, 1.0, 4410), tags);
  EXPECT_EQ(encoded.file.find(Utf16Le(L"WM/Genre")), std::string::npos);
  EXPECT_EQ(encoded.file.find(Utf16Le(L"WM/AlbumTitle")), std::string::npos);
  EXPECT_NE(encoded.file.find(Utf16Le(L"WM/TrackNumber")), std::string::npos);
  AsfInfo info;
  ASSERT_TRUE(ReadInfo(encoded.file, &info));
  EXPECT_EQ(info.tags.title, L"Untitled");
  EXPECT_EQ(info.tags.author, L"");
  EXPECT_EQ(info.tags.genre, L"");
  EXPECT_EQ(info.tags.trackNumber, L"1");
}

TEST(AsfReader, TakesNumericTrackNumbersAndSkipsUnknownObjects) {
  const Encoded encoded = Encode(engine::kWmaRateClass128, engine_signals::StereoTone(440.0, 3000.0, 1.0, 4410), SampleTags());
  std::vector<std::string> children = Children(encoded.file);
  // Replace the extended description with one holding a DWORD track number
  // and a value type the reader does not know, and add an unknown object.
  std::vector<std::uint8_t> body;
  asf::ByteWriter w(&body);
  w.U16(3);
  const auto descriptor = [&w](const std::wstring& name, std::uint16_t type, const std::string& value) {
    const std::string n = Utf16Le(name) + std::string(2, '\0');
    w.U16(static_cast<std::uint16_t>(n.size()));
    w.Bytes(Bytes(n), n.size());
    w.U16(type);
    w.U16(static_cast<std::uint16_t>(value.size()));
    w.Bytes(Bytes(value), value.size());
  };
  descriptor(L"WM/Picture", 9, std::string(40, 'x'));
  descriptor(L"WM/TrackNumber", asf::kValueDword, std::string("\x07\x00\x00\x00", 4));
  descriptor(L"WM/Genre", asf::kValueString, Utf16Le(L"演歌") + std::string(2, '\0'));
  std::vector<std::uint8_t> object;
  asf::ByteWriter o(&object);
  o.Id(asf::kExtendedContentDescription);
  o.U64(asf::kObjectHeaderSize + body.size());
  o.Bytes(body.data(), body.size());
  for (std::string& child : children) {
    if (asf::IsGuid(Bytes(child), asf::kExtendedContentDescription)) child.assign(object.begin(), object.end());
  }
  std::string unknown(asf::kObjectHeaderSize + 13, '\x5A');
  unknown[16] = static_cast<char>(unknown.size());
  std::fill(unknown.begin() + 17, unknown.begin() + 24, '\0');
  children.insert(children.begin() + 1, unknown);

  AsfInfo info;
  ASSERT_TRUE(ReadInfo(WithChildren(encoded.file, children), &info));
  EXPECT_EQ(info.tags.trackNumber, L"7");
  EXPECT_EQ(info.tags.genre, L"演歌");
  EXPECT_EQ(info.tags.albumTitle, L"") << "no longer in the file";
  EXPECT_EQ(info.tags.title, L"夜明けのスキャット");
  EXPECT_EQ(info.bitrate / 1000, 128u);
}

TEST(AsfReader, RejectsTruncatedAndDamagedFiles) {
  const std::string file =
      Encode(engine::kWmaRateClass64, engine_signals::StereoTone(440.0, 3000.0, 1.0, 44100), SampleTags()).file;
  AsfInfo info;
  ASSERT_TRUE(ReadInfo(file, &info));
  const std::size_t headerSize = asf::Le64(Bytes(file, 16));

  // Cut anywhere in the header or the data object's head, or short of the end.
  for (std::size_t length = 0; length < headerSize + asf::kDataObjectFixedSize; ++length) {
    ASSERT_FALSE(ReadInfo(file.substr(0, length), &info)) << length;
  }
  EXPECT_FALSE(ReadInfo(file.substr(0, file.size() - 1), &info));
  EXPECT_FALSE(ReadInfo(file.substr(0, file.size() / 2), &info));

  const std::vector<std::string> children = Children(file);
  const auto damaged = [&](const asf::Guid& guid, std::size_t offset, std::uint64_t value, int width) {
    std::vector<std::string> copy = children;
    for (std::string& child : copy) {
      if (!asf::IsGuid(Bytes(child), guid)) continue;
      for (int i = 0; i < width; ++i) child[offset + i] = static_cast<char>(value >> (8 * i));
    }
    return WithChildren(file, copy);
  };
  struct Case {
    const char* what;
    std::string file;
  };
  const Case cases[] = {
      {"object size past the header", damaged(asf::kFileProperties, 16, 100000, 8)},
      {"object size below its head", damaged(asf::kStreamProperties, 16, 10, 8)},
      {"title longer than its object", damaged(asf::kContentDescription, 24, 0xFFF0, 2)},
      {"more descriptors than present", damaged(asf::kExtendedContentDescription, 24, 40, 2)},
      // The first descriptor is WM/AlbumTitle: its value length sits after
      // the count, the name length, 28 bytes of name and the value type.
      {"descriptor value past the end", damaged(asf::kExtendedContentDescription, 58, 0xFFFF, 2)},
      {"codec data past its object", damaged(asf::kStreamProperties, 64, 5000, 4)},
      {"no file properties", damaged(asf::kFileProperties, 0, 0x11, 1)},
      {"not an ASF header", std::string("RIFF") + file.substr(4)},
      {"header size past the file", file.substr(0, 16) + std::string("\xFF\xFF\xFF\x00\x00\x00\x00\x00", 8) + file.substr(24)},
  };
  for (const Case& c : cases) EXPECT_FALSE(ReadInfo(c.file, &info)) << c.what;
  EXPECT_TRUE(ReadInfo(damaged(asf::kContentDescription, 24, 0, 0), &info)) << "the copy itself reads";
}

TEST(WmaEncoder, FullDiskIsReportedAndNeverEndsInSuccess) {
  const std::vector<std::int16_t> audio = engine_signals::MusicLike(44100 * 2, 44100.0);
  const std::size_t fullSize = Encode(engine::kWmaRateClass128, audio, SampleTags()).file.size();
  for (std::uint64_t capacity : {std::uint64_t{0}, std::uint64_t{200}, std::uint64_t{9000},
                                 std::uint64_t{fullSize / 2}, std::uint64_t{fullSize - 1},
                                 std::uint64_t{fullSize}}) {
    SCOPED_TRACE(capacity);
    fakes::FakeFileSystem files;
    files.AddDrive(L'E', capacity);
    WmaEncoder encoder;
    os::ErrorCode result = encoder.Open(files, L"E:\\rip.tmp", SampleTags(), engine::kWmaRateClass128);
    for (std::size_t done = 0; done < audio.size() / 2 && result == os::kSuccess; done += 4410) {
      result = encoder.Write(audio.data() + 2 * done, std::min<std::size_t>(4410, audio.size() / 2 - done));
    }
    if (result == os::kSuccess) result = encoder.Finish();
    if (capacity >= fullSize) {
      EXPECT_EQ(result, os::kSuccess);
      continue;
    }
    EXPECT_EQ(result, os::kErrorDiskFull);
    EXPECT_EQ(encoder.Write(audio.data(), 10), os::kErrorDiskFull) << "the failure sticks";
    EXPECT_EQ(encoder.Finish(), os::kErrorDiskFull);
    EXPECT_EQ(files.Delete(L"E:\\rip.tmp"), os::kSuccess) << "the partial file can go";
  }
}

TEST(WmaEncoder, RefusesMisuse) {
  fakes::FakeFileSystem files;
  files.AddDrive(L'C');
  const std::int16_t frames[4] = {};
  WmaEncoder unopened;
  EXPECT_NE(unopened.Write(frames, 2), os::kSuccess);
  EXPECT_NE(unopened.Finish(), os::kSuccess);

  WmaEncoder wrongClass;
  EXPECT_EQ(wrongClass.Open(files, L"C:\\a.wma", SampleTags(), 96000), os::kErrorInvalidParameter);
  EXPECT_FALSE(files.Exists(L"C:\\a.wma"));

  WmaEncoder noFolder;
  EXPECT_EQ(noFolder.Open(files, L"C:\\missing\\a.wma", SampleTags(), engine::kWmaRateClass64),
            os::kErrorPathNotFound);
  EXPECT_EQ(noFolder.Write(frames, 2), os::kErrorPathNotFound);

  WmaEncoder finished;
  ASSERT_EQ(finished.Open(files, L"C:\\b.wma", SampleTags(), engine::kWmaRateClass64), os::kSuccess);
  EXPECT_EQ(finished.Open(files, L"C:\\c.wma", SampleTags(), engine::kWmaRateClass64), os::kErrorInvalidParameter);
  ASSERT_EQ(finished.Finish(), os::kSuccess);
  EXPECT_NE(finished.Write(frames, 2), os::kSuccess);
  EXPECT_NE(finished.Finish(), os::kSuccess);
  AsfInfo info;
  ASSERT_TRUE(engine::ReadAsfInfo(files, L"C:\\b.wma", &info)) << "an empty track is still a file";
  EXPECT_EQ(info.durationSeconds, 0.0);
}

}  // namespace
