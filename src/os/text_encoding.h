#pragma once
// Conversions at the edges: the core keeps std::wstring (UTF-32 on Linux,
// UTF-16 on Windows); files hold UTF-8 and the registry UTF-16LE bytes.
#include <cstdint>
#include <string>
#include <vector>

namespace os {

// The one UTF-8 decoder of the program. Strict: overlong forms, surrogates
// and values above U+10FFFF are not UTF-8. Each maximal ill-formed part
// becomes one U+FFFD, so no reader can find a character (a line feed, an
// equals sign) that a strict reader of the same bytes does not see.
constexpr char32_t kReplacementCharacter = 0xFFFD;

// Whether every byte belongs to a well-formed character.
bool IsValidUtf8(const std::string& bytes);
// Decodes; what is not UTF-8 is replaced, never passed through.
std::wstring WideFromUtf8(const std::string& utf8);
// How many bytes at the end begin a character without finishing it, as when
// a read stops in its middle (0 to 3): without them the rest may be UTF-8.
std::size_t CutUtf8Tail(const std::string& bytes);

// Well-formed UTF-8 whatever the text holds: a lone surrogate or a value
// above U+10FFFF (possible in a 32-bit wchar_t) becomes U+FFFD.
std::string Utf8FromWide(const std::wstring& text);

// UTF-16 code units of a text (surrogate pairs for characters above U+FFFF;
// values above U+10FFFF become U+FFFD).
std::u16string Utf16FromWide(const std::wstring& text);
std::wstring WideFromUtf16(const std::u16string& text);

// Code points of a wide text: surrogate pairs of a 16-bit wchar_t joined,
// lone surrogates kept as they are (so callers can tell them apart).
std::u32string CodePointsOf(const std::wstring& text);
// Appends one code point (as a surrogate pair where wchar_t is 16 bits).
void AppendCodePoint(char32_t c, std::wstring* text);
// A Unicode scalar value: not a surrogate, not above U+10FFFF.
inline bool IsScalarValue(char32_t c) { return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF); }

// REG_SZ bytes: UTF-16LE with the terminating NUL.
std::vector<std::uint8_t> RegStringBytes(const std::wstring& text);
// Text of REG_SZ bytes: stops at the first NUL; an odd trailing byte is ignored.
std::wstring TextOfRegStringBytes(const std::vector<std::uint8_t>& bytes);

// A..Z lowered, everything else kept: file names and keys compare without
// case the way the file system does for ASCII.
std::wstring AsciiLower(std::wstring text);
// A..Z raised, everything else kept.
std::wstring AsciiUpper(std::wstring text);
// `text` ends with `suffix` (given in lower case), ASCII case ignored.
bool EndsWithNoCase(const std::wstring& text, const std::wstring& suffix);

// Every `from` in `text` replaced by `to`, left to right; a replacement is not
// searched again. An empty `from` changes nothing.
void ReplaceAll(std::wstring& text, const std::wstring& from, const std::wstring& to);

}  // namespace os
