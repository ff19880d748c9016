#pragma once
// Conversions at the edges: the core keeps std::wstring (UTF-32 on Linux,
// UTF-16 on Windows); files hold UTF-8 and the registry UTF-16LE bytes.
#include <cstdint>
#include <string>
#include <vector>

namespace os {

std::wstring WideFromUtf8(const std::string& utf8);
std::string Utf8FromWide(const std::wstring& text);

// UTF-16 code units of a text (surrogate pairs for characters above U+FFFF).
std::u16string Utf16FromWide(const std::wstring& text);
std::wstring WideFromUtf16(const std::u16string& text);

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
