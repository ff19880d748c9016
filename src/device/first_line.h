#pragma once
// The first line of a small text file such as "WMPInfo.xml", whatever engine
// wrote it: a byte-order mark says UTF-16LE, UTF-16BE or UTF-8; without one
// the text is in the system's ANSI code page.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "os/file_system.h"

namespace device {

// Turns text in the system's ANSI code page into wide text. The Win32 shell
// hands in MultiByteToWideChar(CP_ACP); elsewhere DecodeUtf8OrLatin1 stands in.
using CodePageDecoder = std::wstring (*)(const std::string& bytes);

// UTF-8 when the bytes are well-formed UTF-8, otherwise Latin-1 (one
// character per byte), so no byte is ever lost.
std::wstring DecodeUtf8OrLatin1(const std::string& bytes);

// The text before the first line feed (a carriage return before it is
// dropped), at most `maxChars` characters. Only the bytes that can hold
// those characters (four each) are decoded, and they alone decide between
// UTF-8 and the code page, so a reader that stops there reads the same.
std::wstring FirstLineOfBytes(const std::vector<std::uint8_t>& bytes, std::size_t maxChars,
                              CodePageDecoder decode);

// Reads only as much of the file as such a line can take. False when the
// file cannot be opened or read.
bool ReadFirstLine(os::IFileSystem& files, const std::wstring& path, std::size_t maxChars,
                   CodePageDecoder decode, std::wstring* line);

}  // namespace device
