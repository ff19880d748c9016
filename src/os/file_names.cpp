#include "os/file_names.h"

#include "os/device_names.h"
#include "os/text_encoding.h"

namespace os {

bool IsPlainFileName(const std::wstring& name) {
  if (name.empty() || name == L"." || name == L"..") return false;
  if (name.back() == L'.' || name.back() == L' ') return false;
  const std::wstring refused = L"\\/:*?\"<>|";
  for (char32_t c : CodePointsOf(name)) {
    if (c < 0x20 || !IsScalarValue(c)) return false;
    if (c < 0x80 && refused.find(static_cast<wchar_t>(c)) != std::wstring::npos) return false;
  }
  return !IsReservedDeviceName(name);
}

}  // namespace os
