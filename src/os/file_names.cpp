#include "os/file_names.h"

#include "os/text_encoding.h"

namespace os {

bool IsReservedDeviceName(const std::wstring& name) {
  std::wstring base = AsciiLower(name.substr(0, name.find(L'.')));
  while (!base.empty() && (base.back() == L' ' || base.back() == L'.')) base.pop_back();
  if (base == L"con" || base == L"prn" || base == L"aux" || base == L"nul" ||
      base == L"conin$" || base == L"conout$") {
    return true;
  }
  if (base.size() != 4 || (base.compare(0, 3, L"com") != 0 && base.compare(0, 3, L"lpt") != 0)) {
    return false;
  }
  const wchar_t digit = base[3];
  return (digit >= L'0' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' ||
         digit == L'\u00B3';
}

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
