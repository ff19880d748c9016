#include "device/first_line.h"

#include <algorithm>

#include "os/text_encoding.h"

namespace device {
namespace {

enum class Encoding { CodePage, Utf8, Utf16Le, Utf16Be };

// The longest encoding of one character: four bytes of UTF-8 or a
// UTF-16 surrogate pair.
constexpr std::size_t kMaxBytesPerChar = 4;
constexpr std::size_t kMaxMarkBytes = 3;

Encoding EncodingOf(const std::vector<std::uint8_t>& bytes, std::size_t* markSize) {
  if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
    *markSize = 2;
    return Encoding::Utf16Le;
  }
  if (bytes.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) {
    *markSize = 2;
    return Encoding::Utf16Be;
  }
  if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
    *markSize = 3;
    return Encoding::Utf8;
  }
  *markSize = 0;
  return Encoding::CodePage;
}

std::wstring DecodeUtf16(const std::vector<std::uint8_t>& bytes, std::size_t begin,
                         std::size_t end, bool littleEndian) {
  std::u16string units;
  for (std::size_t i = begin; i + 1 < end; i += 2) {
    const unsigned low = littleEndian ? bytes[i] : bytes[i + 1];
    const unsigned high = littleEndian ? bytes[i + 1] : bytes[i];
    units.push_back(static_cast<char16_t>(low | (high << 8)));
  }
  return os::WideFromUtf16(units);
}

// Where the first line ends: the offset of its line feed, or `end`.
std::size_t LineEnd(const std::vector<std::uint8_t>& bytes, std::size_t begin, std::size_t end,
                    Encoding encoding) {
  if (encoding == Encoding::Utf16Le || encoding == Encoding::Utf16Be) {
    for (std::size_t i = begin; i + 1 < end; i += 2) {
      const bool feed = encoding == Encoding::Utf16Le ? bytes[i] == 0x0A && bytes[i + 1] == 0
                                                      : bytes[i] == 0 && bytes[i + 1] == 0x0A;
      if (feed) return i;
    }
    return end;
  }
  // A line feed byte never occurs inside a multi-byte character of UTF-8 or
  // of the ANSI code pages.
  const auto feed = std::find(bytes.begin() + static_cast<std::ptrdiff_t>(begin),
                              bytes.begin() + static_cast<std::ptrdiff_t>(end), 0x0A);
  return static_cast<std::size_t>(feed - bytes.begin());
}

}  // namespace

std::wstring DecodeUtf8OrLatin1(const std::string& bytes) {
  if (os::IsValidUtf8(bytes)) return os::WideFromUtf8(bytes);
  std::wstring text;
  text.reserve(bytes.size());
  for (char byte : bytes) text.push_back(static_cast<wchar_t>(static_cast<std::uint8_t>(byte)));
  return text;
}

std::wstring FirstLineOfBytes(const std::vector<std::uint8_t>& bytes, std::size_t maxChars,
                              CodePageDecoder decode) {
  std::size_t begin = 0;
  const Encoding encoding = EncodingOf(bytes, &begin);
  std::size_t end = LineEnd(bytes, begin, bytes.size(), encoding);
  // A carriage return before the line feed is no part of the line.
  if (encoding == Encoding::Utf16Le || encoding == Encoding::Utf16Be) {
    // An odd byte at the end (a read that stopped there) is no UTF-16 unit;
    // with the byte before it, it must not pass for a carriage return.
    end = begin + (end - begin) / 2 * 2;
    const bool little = encoding == Encoding::Utf16Le;
    if (end >= begin + 2 && bytes[end - (little ? 2 : 1)] == 0x0D &&
        bytes[end - (little ? 1 : 2)] == 0) {
      end -= 2;
    }
  } else if (end > begin && bytes[end - 1] == 0x0D) {
    --end;
  }
  // No character takes more than four bytes, so the line's first maxChars
  // characters lie within these: a reader that reads no further than them
  // decides the encoding on the same bytes as one that has the whole file.
  const std::size_t cap = begin + maxChars * kMaxBytesPerChar;
  if (end > cap) {
    end = cap;
    if (encoding == Encoding::Utf8 || encoding == Encoding::CodePage) {
      end -= os::CutUtf8Tail(std::string(bytes.begin() + static_cast<std::ptrdiff_t>(begin),
                                         bytes.begin() + static_cast<std::ptrdiff_t>(end)));
    }
  }
  std::wstring line;
  switch (encoding) {
    case Encoding::Utf16Le:
    case Encoding::Utf16Be:
      line = DecodeUtf16(bytes, begin, end, encoding == Encoding::Utf16Le);
      break;
    case Encoding::Utf8:
      line = os::WideFromUtf8(std::string(bytes.begin() + static_cast<std::ptrdiff_t>(begin),
                                          bytes.begin() + static_cast<std::ptrdiff_t>(end)));
      break;
    case Encoding::CodePage: {
      const std::string text(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(end));
      line = decode ? decode(text) : DecodeUtf8OrLatin1(text);
      break;
    }
  }
  if (line.size() > maxChars) line.resize(maxChars);
  return line;
}

bool ReadFirstLine(os::IFileSystem& files, const std::wstring& path, std::size_t maxChars,
                   CodePageDecoder decode, std::wstring* line) {
  line->clear();
  const std::size_t limit = kMaxMarkBytes + maxChars * kMaxBytesPerChar;
  std::vector<std::uint8_t> bytes;
  if (!os::ReadFileHead(files, path, static_cast<std::uint32_t>(limit), &bytes)) return false;
  *line = FirstLineOfBytes(bytes, maxChars, decode);
  return true;
}

}  // namespace device
