// Reads the header of an ASF file: every length is checked against what is
// actually there, so a truncated or damaged file fails instead of misreading.
#include <algorithm>
#include <string>
#include <vector>

#include "mediaengine/codec/asf_format.h"
#include "mediaengine/codec/asf_info.h"
#include "os/text_encoding.h"

namespace mediaengine {
namespace {

using asf::Le16;
using asf::Le32;
using asf::Le64;

// Real headers are a few kilobytes (more with cover art); anything far
// larger is damage, and reading it whole would waste memory.
constexpr std::uint64_t kMaxHeaderSize = 16u << 20;
// About 31 years: a longer play duration or preroll is damage, not a recording.
constexpr std::uint64_t kMaxDurationHns = 1000000000ull * asf::kHundredNsPerSecond;

struct Span {
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
};

// UTF-16LE bytes up to the first NUL; an odd trailing byte is ignored.
std::wstring TextOfUtf16(const std::uint8_t* data, std::size_t size) {
  std::u16string units;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    const char16_t unit = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    if (unit == 0) break;
    units.push_back(unit);
  }
  return os::WideFromUtf16(units);
}

bool ReadExactly(os::IFileStream& stream, std::uint64_t offset, std::size_t size,
                 std::vector<std::uint8_t>* bytes) {
  bytes->resize(size);
  if (stream.Seek(offset) != os::kSuccess) return false;
  std::size_t done = 0;
  while (done < size) {
    std::uint32_t got = 0;
    const auto want = static_cast<std::uint32_t>(std::min<std::size_t>(size - done, 1u << 20));
    if (stream.Read(bytes->data() + done, want, &got) != os::kSuccess || got == 0) return false;
    done += got;
  }
  return true;
}

struct Parsed {
  bool haveFileProperties = false;
  bool haveAudioStream = false;
  std::uint64_t fileSize = 0;
  std::uint64_t playDuration = 0;  // 100 ns
  std::uint64_t prerollMs = 0;
  std::uint32_t flags = 0;
  std::uint32_t maxBitrate = 0;
  std::uint32_t streamBitrate = 0;
};

bool ParseFileProperties(Span body, Parsed* parsed) {
  // Offsets below are from the end of the 24-byte object head.
  if (body.size < asf::kFilePropertiesSize - asf::kObjectHeaderSize) return false;
  parsed->fileSize = Le64(body.data + 16);
  parsed->playDuration = Le64(body.data + 40);
  parsed->prerollMs = Le64(body.data + 56);
  parsed->flags = Le32(body.data + 64);
  parsed->maxBitrate = Le32(body.data + 76);
  parsed->haveFileProperties = true;
  return true;
}

bool ParseStreamProperties(Span body, Parsed* parsed) {
  constexpr std::size_t kFixed = asf::kStreamPropertiesFixedSize - asf::kObjectHeaderSize;
  if (body.size < kFixed) return false;
  const std::uint32_t typeSize = Le32(body.data + 40);
  const std::uint32_t correctionSize = Le32(body.data + 44);
  if (std::uint64_t{typeSize} + correctionSize > body.size - kFixed) return false;
  if (!asf::IsGuid(body.data, asf::kAudioMedia) || parsed->haveAudioStream) return true;
  // WAVEFORMATEX: tag, channels, rate, then nAvgBytesPerSec at offset 8.
  if (typeSize >= 16) {
    parsed->streamBitrate = Le32(body.data + kFixed + 8) * 8;
    parsed->haveAudioStream = true;
  }
  return true;
}

bool ParseContentDescription(Span body, AsfTags* tags) {
  if (body.size < 10) return false;
  std::size_t offset = 10;
  std::wstring* targets[5] = {&tags->title, &tags->author, nullptr, nullptr, nullptr};
  for (int i = 0; i < 5; ++i) {
    const std::size_t length = Le16(body.data + 2 * i);
    if (length > body.size - offset) return false;
    if (targets[i]) *targets[i] = TextOfUtf16(body.data + offset, length);
    offset += length;
  }
  return true;
}

// A number tag may come as text or as an integer of 2, 4 or 8 bytes.
bool ValueText(std::uint16_t type, const std::uint8_t* value, std::size_t size, std::wstring* text) {
  switch (type) {
    case asf::kValueString:
      *text = TextOfUtf16(value, size);
      return true;
    case asf::kValueWord:
      if (size < 2) return false;
      *text = std::to_wstring(Le16(value));
      return true;
    case asf::kValueDword:
      if (size < 4) return false;
      *text = std::to_wstring(Le32(value));
      return true;
    case asf::kValueQword:
      if (size < 8) return false;
      *text = std::to_wstring(Le64(value));
      return true;
    default:
      return false;
  }
}

bool ParseExtendedContentDescription(Span body, AsfTags* tags) {
  if (body.size < 2) return false;
  const std::size_t count = Le16(body.data);
  std::size_t offset = 2;
  for (std::size_t i = 0; i < count; ++i) {
    if (body.size - offset < 2) return false;
    const std::size_t nameLength = Le16(body.data + offset);
    offset += 2;
    if (body.size - offset < nameLength + 4) return false;
    const std::wstring name = TextOfUtf16(body.data + offset, nameLength);
    offset += nameLength;
    const std::uint16_t type = Le16(body.data + offset);
    const std::size_t valueLength = Le16(body.data + offset + 2);
    offset += 4;
    if (body.size - offset < valueLength) return false;
    const std::uint8_t* value = body.data + offset;
    offset += valueLength;

    std::wstring* target = nullptr;
    if (name == L"WM/AlbumTitle") target = &tags->albumTitle;
    else if (name == L"WM/AlbumArtist") target = &tags->albumArtist;
    else if (name == L"WM/Genre") target = &tags->genre;
    else if (name == L"WM/Year") target = &tags->year;
    else if (name == L"WM/TrackNumber") target = &tags->trackNumber;
    if (target) ValueText(type, value, valueLength, target);
  }
  return true;
}

// The header's children; their number must be the one the header states.
bool ParseHeaderChildren(Span header, AsfInfo* info, Parsed* parsed) {
  const std::uint32_t declared = Le32(header.data + asf::kObjectHeaderSize);
  std::uint64_t count = 0;
  std::size_t offset = asf::kHeaderObjectFixedSize;
  while (offset < header.size) {
    ++count;
    if (header.size - offset < asf::kObjectHeaderSize) return false;
    const std::uint8_t* object = header.data + offset;
    const std::uint64_t size = Le64(object + 16);
    if (size < asf::kObjectHeaderSize || size > header.size - offset) return false;
    const Span body{object + asf::kObjectHeaderSize,
                    static_cast<std::size_t>(size) - asf::kObjectHeaderSize};
    bool ok = true;
    if (asf::IsGuid(object, asf::kFileProperties)) {
      ok = ParseFileProperties(body, parsed);
    } else if (asf::IsGuid(object, asf::kStreamProperties)) {
      ok = ParseStreamProperties(body, parsed);
    } else if (asf::IsGuid(object, asf::kContentDescription)) {
      ok = ParseContentDescription(body, &info->tags);
    } else if (asf::IsGuid(object, asf::kExtendedContentDescription)) {
      ok = ParseExtendedContentDescription(body, &info->tags);
    }
    if (!ok) return false;
    offset += static_cast<std::size_t>(size);
  }
  return count == declared;
}

}  // namespace

bool ReadAsfInfo(os::IFileSystem& files, const std::wstring& path, AsfInfo* info) {
  std::unique_ptr<os::IFileStream> stream;
  if (files.Open(path, os::OpenMode::Read, &stream) != os::kSuccess) return false;
  const std::uint64_t realSize = stream->Size();

  std::vector<std::uint8_t> head;
  if (realSize < asf::kHeaderObjectFixedSize ||
      !ReadExactly(*stream, 0, asf::kHeaderObjectFixedSize, &head) ||
      !asf::IsGuid(head.data(), asf::kHeaderObject)) {
    return false;
  }
  const std::uint64_t headerSize = Le64(head.data() + 16);
  if (headerSize < asf::kHeaderObjectFixedSize || headerSize > kMaxHeaderSize ||
      headerSize > realSize) {
    return false;
  }
  std::vector<std::uint8_t> header;
  if (!ReadExactly(*stream, 0, static_cast<std::size_t>(headerSize), &header)) return false;

  AsfInfo result;
  Parsed parsed;
  if (!ParseHeaderChildren({header.data(), header.size()}, &result, &parsed)) return false;
  if (!parsed.haveFileProperties || !parsed.haveAudioStream) return false;
  if (parsed.playDuration > kMaxDurationHns ||
      parsed.prerollMs > kMaxDurationHns / (asf::kHundredNsPerSecond / 1000)) {
    return false;
  }

  // The data object follows the header; a file cut short inside it is
  // damaged even though its header reads well.
  std::vector<std::uint8_t> data;
  if (realSize - headerSize < asf::kDataObjectFixedSize ||
      !ReadExactly(*stream, headerSize, asf::kDataObjectFixedSize, &data) ||
      !asf::IsGuid(data.data(), asf::kDataObject)) {
    return false;
  }
  // Sizes only count in a file that is not a broadcast. A file whose writer
  // never came back to fill them in (size 0) is as unfinished as a cut one.
  const std::uint64_t dataSize = Le64(data.data() + 16);
  const bool broadcast = (parsed.flags & asf::kFlagBroadcast) != 0;
  if (!broadcast &&
      (dataSize < asf::kDataObjectFixedSize || dataSize > realSize - headerSize ||
       parsed.fileSize < headerSize + dataSize || parsed.fileSize > realSize)) {
    return false;
  }

  const double play = static_cast<double>(parsed.playDuration) / asf::kHundredNsPerSecond;
  result.durationSeconds = std::max(0.0, play - static_cast<double>(parsed.prerollMs) / 1000.0);
  result.bitrate = parsed.streamBitrate ? parsed.streamBitrate : parsed.maxBitrate;
  result.fileSize = realSize;
  *info = std::move(result);
  return true;
}

}  // namespace mediaengine

namespace mediaengine {

os::TrackFacts TrackFactsOfFile(os::IFileSystem& files, const std::wstring& path) {
  os::TrackFacts facts;
  AsfInfo info;
  if (!os::EndsWithNoCase(path, L".wma") || !ReadAsfInfo(files, path, &info)) return facts;
  facts.title = info.tags.title;
  facts.artist = info.tags.author;
  facts.albumArtist = info.tags.albumArtist;
  facts.album = info.tags.albumTitle;
  facts.trackNumber = info.tags.trackNumber;
  facts.seconds = info.durationSeconds;
  return facts;
}

}  // namespace mediaengine
