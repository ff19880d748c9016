#include "os/win32/win32_registry.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace os::win32 {
namespace {

HKEY RootOf(Hive hive) {
  return hive == Hive::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

REGSAM SamOf(KeyAccess access) {
  switch (access) {
    case KeyAccess::Read:
      return KEY_READ;
    case KeyAccess::Write:
      return KEY_WRITE;
    case KeyAccess::ReadWrite:
      return KEY_READ | KEY_WRITE;
  }
  return KEY_READ;
}

HKEY KeyOf(KeyHandle key) { return reinterpret_cast<HKEY>(key); }

}  // namespace

ErrorCode Win32Registry::OpenKey(Hive hive, const std::wstring& path, KeyAccess access,
                                 KeyHandle* key) {
  HKEY opened = nullptr;
  const LONG rc = RegOpenKeyExW(RootOf(hive), path.c_str(), 0, SamOf(access), &opened);
  *key = rc == ERROR_SUCCESS ? reinterpret_cast<KeyHandle>(opened) : kNoKey;
  return rc;
}

ErrorCode Win32Registry::CreateKey(Hive hive, const std::wstring& path, KeyAccess access,
                                   KeyHandle* key) {
  HKEY opened = nullptr;
  const LONG rc = RegCreateKeyExW(RootOf(hive), path.c_str(), 0, nullptr,
                                  REG_OPTION_NON_VOLATILE, SamOf(access), nullptr, &opened,
                                  nullptr);
  *key = rc == ERROR_SUCCESS ? reinterpret_cast<KeyHandle>(opened) : kNoKey;
  return rc;
}

ErrorCode Win32Registry::QueryValue(KeyHandle key, const std::wstring& name, RegType* type,
                                    std::uint8_t* data, std::uint32_t* size) {
  // The platform leaves a too-small buffer "undefined"; reading through a
  // scratch buffer keeps the caller's bytes untouched in that case.
  DWORD valueType = REG_NONE;
  if (!size) {  // an existence check without data
    return RegQueryValueExW(KeyOf(key), name.c_str(), nullptr, &valueType, nullptr, nullptr);
  }
  DWORD bytes = *size;
  std::vector<std::uint8_t> scratch(data ? std::max<std::uint32_t>(*size, 1) : 0);
  const LONG rc = RegQueryValueExW(KeyOf(key), name.c_str(), nullptr, &valueType,
                                   data ? scratch.data() : nullptr, &bytes);
  if (rc == ERROR_SUCCESS && data) std::copy(scratch.begin(), scratch.begin() + bytes, data);
  *size = bytes;
  if (type && (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA)) {
    *type = static_cast<RegType>(valueType);
  }
  return rc;
}

ErrorCode Win32Registry::SetValue(KeyHandle key, const std::wstring& name, RegType type,
                                  const std::uint8_t* data, std::uint32_t size) {
  return RegSetValueExW(KeyOf(key), name.c_str(), 0, static_cast<DWORD>(type), data, size);
}

ErrorCode Win32Registry::DeleteValue(KeyHandle key, const std::wstring& name) {
  return RegDeleteValueW(KeyOf(key), name.c_str());
}

ErrorCode Win32Registry::DeleteKey(Hive hive, const std::wstring& path) {
  return RegDeleteKeyW(RootOf(hive), path.c_str());
}

void Win32Registry::CloseKey(KeyHandle key) {
  if (key != kNoKey) RegCloseKey(KeyOf(key));
}

}  // namespace os::win32
