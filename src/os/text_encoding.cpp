#include "os/text_encoding.h"

#include <algorithm>

namespace os {
namespace {

void AppendUtf8(char32_t c, std::string* out) {
  if (!IsScalarValue(c)) c = kReplacementCharacter;
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (c >> 18)));
    out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// Code points of a wide text; on 16-bit wchar_t, surrogate pairs are joined.
template <typename Fn>
void ForEachCodePoint(const std::wstring& text, Fn fn) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = static_cast<char32_t>(text[i]);
    if constexpr (sizeof(wchar_t) == 2) {
      c &= 0xFFFF;
      if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
        char32_t low = static_cast<char32_t>(text[i + 1]) & 0xFFFF;
        if (low >= 0xDC00 && low < 0xE000) {
          c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
          ++i;
        }
      }
    }
    fn(c);
  }
}

// Bytes that may follow a lead byte as its first continuation: the narrower
// ranges after E0, ED, F0 and F4 shut out overlong forms, surrogates and
// values above U+10FFFF (the table of the Unicode standard, section 3.9).
bool FirstContinuationFits(unsigned char lead, unsigned char next) {
  switch (lead) {
    case 0xE0: return next >= 0xA0 && next <= 0xBF;
    case 0xED: return next >= 0x80 && next <= 0x9F;
    case 0xF0: return next >= 0x90 && next <= 0xBF;
    case 0xF4: return next >= 0x80 && next <= 0x8F;
    default: return next >= 0x80 && next <= 0xBF;
  }
}

enum class Decoded { kValid, kIllFormed, kCut };

// Decodes the character at the start of [data, data + size) (size > 0):
// returns how many bytes it takes, or, for an ill-formed sequence, the
// length of its maximal part, with `c` set to U+FFFD and `state` saying
// whether a wrong byte or the end of the data stopped it.
std::size_t DecodeUtf8(const char* data, std::size_t size, char32_t* c, Decoded* state) {
  *state = Decoded::kValid;
  const unsigned char lead = static_cast<unsigned char>(data[0]);
  std::size_t extra = 0;
  char32_t value = 0;
  if (lead < 0x80) {
    *c = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1, value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2, value = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3, value = lead & 0x07;
  } else {
    *c = kReplacementCharacter;
    *state = Decoded::kIllFormed;
    return 1;
  }
  for (std::size_t k = 1; k <= extra; ++k) {
    const unsigned char next = k < size ? static_cast<unsigned char>(data[k]) : 0;
    const bool fits = k == 1 ? FirstContinuationFits(lead, next) : (next & 0xC0) == 0x80;
    if (k >= size || !fits) {
      *c = kReplacementCharacter;
      *state = k >= size ? Decoded::kCut : Decoded::kIllFormed;
      return k;
    }
    value = (value << 6) | (next & 0x3F);
  }
  *c = value;
  return extra + 1;
}

}  // namespace

bool IsValidUtf8(const std::string& bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    char32_t c = 0;
    Decoded state = Decoded::kValid;
    i += DecodeUtf8(bytes.data() + i, bytes.size() - i, &c, &state);
    if (state != Decoded::kValid) return false;
  }
  return true;
}

std::size_t CutUtf8Tail(const std::string& bytes) {
  // A character takes at most four bytes: only the last three can be a cut one.
  for (std::size_t tail = std::min<std::size_t>(3, bytes.size()); tail > 0; --tail) {
    const std::size_t at = bytes.size() - tail;
    char32_t c = 0;
    Decoded state = Decoded::kValid;
    if (DecodeUtf8(bytes.data() + at, tail, &c, &state) == tail && state == Decoded::kCut) {
      return tail;
    }
  }
  return 0;
}

std::wstring WideFromUtf8(const std::string& utf8) {
  std::wstring out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    char32_t c = 0;
    Decoded state = Decoded::kValid;
    i += DecodeUtf8(utf8.data() + i, utf8.size() - i, &c, &state);
    AppendCodePoint(c, &out);
  }
  return out;
}

std::string Utf8FromWide(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  ForEachCodePoint(text, [&out](char32_t c) { AppendUtf8(c, &out); });
  return out;
}

std::u32string CodePointsOf(const std::wstring& text) {
  std::u32string out;
  out.reserve(text.size());
  ForEachCodePoint(text, [&out](char32_t c) { out.push_back(c); });
  return out;
}

void AppendCodePoint(char32_t c, std::wstring* out) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (c > 0x10FFFF) c = kReplacementCharacter;
    if (c >= 0x10000) {
      c -= 0x10000;
      out->push_back(static_cast<wchar_t>(0xD800 + (c >> 10)));
      out->push_back(static_cast<wchar_t>(0xDC00 + (c & 0x3FF)));
      return;
    }
  }
  out->push_back(static_cast<wchar_t>(c));
}

std::u16string Utf16FromWide(const std::wstring& text) {
  std::u16string out;
  out.reserve(text.size());
  ForEachCodePoint(text, [&out](char32_t c) {
    if (c > 0x10FFFF) c = kReplacementCharacter;
    if (c >= 0x10000) {
      c -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
  });
  return out;
}

std::wstring WideFromUtf16(const std::u16string& text) {
  std::wstring out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    AppendCodePoint(c, &out);
  }
  return out;
}

std::vector<std::uint8_t> RegStringBytes(const std::wstring& text) {
  const std::u16string units = Utf16FromWide(text);
  std::vector<std::uint8_t> bytes;
  bytes.reserve((units.size() + 1) * 2);
  for (char16_t unit : units) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  bytes.push_back(0);
  bytes.push_back(0);
  return bytes;
}

std::wstring TextOfRegStringBytes(const std::vector<std::uint8_t>& bytes) {
  std::u16string units;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const char16_t unit = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
    if (unit == 0) break;
    units.push_back(unit);
  }
  return WideFromUtf16(units);
}

std::wstring AsciiLower(std::wstring text) {
  for (wchar_t& c : text) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return text;
}

std::wstring AsciiUpper(std::wstring text) {
  for (wchar_t& c : text) {
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  }
  return text;
}

bool EndsWithNoCase(const std::wstring& text, const std::wstring& suffix) {
  return text.size() >= suffix.size() &&
         AsciiLower(text.substr(text.size() - suffix.size())) == suffix;
}

void ReplaceAll(std::wstring& text, const std::wstring& from, const std::wstring& to) {
  if (from.empty()) return;
  for (std::size_t at = text.find(from); at != std::wstring::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

}  // namespace os
