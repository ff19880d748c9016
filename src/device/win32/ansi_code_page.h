#pragma once
// The system's ANSI code page, for texts that maker libraries and other
// engines write without a byte-order mark.
#include <string>

namespace device::win32 {

// MultiByteToWideChar(CP_ACP); empty for empty or unconvertible bytes.
std::wstring WideFromAnsiCodePage(const std::string& bytes);

}  // namespace device::win32
