#include "resources/win32/module_string_table.h"

namespace res::win32 {

std::wstring ModuleStringTable::Load(unsigned id) const {
  // With a buffer length of 0, LoadStringW hands out a read-only pointer into
  // the resource and the text's length: no limit, no copy into a fixed buffer.
  const wchar_t* text = nullptr;
  const int length = LoadStringW(module_, id, reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || text == nullptr) return std::wstring();
  return std::wstring(text, static_cast<std::size_t>(length));
}

}  // namespace res::win32
