#include "device/win32/ansi_code_page.h"

#include <windows.h>

#include <climits>

namespace device::win32 {

std::wstring WideFromAnsiCodePage(const std::string& bytes) {
  if (bytes.empty() || bytes.size() > INT_MAX) return std::wstring();
  const int size = static_cast<int>(bytes.size());
  const int needed = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
  if (needed <= 0) return std::wstring();
  std::wstring text(static_cast<std::size_t>(needed), L'\0');
  const int written = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, &text[0], needed);
  text.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return text;
}

}  // namespace device::win32
