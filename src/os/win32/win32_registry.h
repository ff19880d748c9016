#pragma once
// The registry port over advapi32.
#include "os/registry.h"

namespace os::win32 {

class Win32Registry : public IRegistry {
 public:
  ErrorCode OpenKey(Hive hive, const std::wstring& path, KeyAccess access,
                    KeyHandle* key) override;
  ErrorCode CreateKey(Hive hive, const std::wstring& path, KeyAccess access,
                      KeyHandle* key) override;
  ErrorCode QueryValue(KeyHandle key, const std::wstring& name, RegType* type,
                       std::uint8_t* data, std::uint32_t* size) override;
  ErrorCode SetValue(KeyHandle key, const std::wstring& name, RegType type,
                     const std::uint8_t* data, std::uint32_t size) override;
  ErrorCode DeleteValue(KeyHandle key, const std::wstring& name) override;
  ErrorCode DeleteKey(Hive hive, const std::wstring& path) override;
  void CloseKey(KeyHandle key) override;
};

}  // namespace os::win32
