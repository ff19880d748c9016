#pragma once
// Registry port: the handful of advapi32 registry calls the tool makes,
// with their outcomes (Win32 error codes) and raw value bytes.
#include <cstdint>
#include <string>
#include <vector>

#include "os/win_error.h"

namespace os {

enum class Hive { LocalMachine, CurrentUser };

enum class KeyAccess { Read, Write, ReadWrite };

// Value types, numerically as REG_* of the platform.
enum class RegType : std::uint32_t {
  None = 0,
  String = 1,        // REG_SZ: UTF-16LE bytes including the terminating NUL
  ExpandString = 2,  // REG_EXPAND_SZ
  Binary = 3,        // REG_BINARY
  Dword = 4,         // REG_DWORD, little-endian
  MultiString = 7,   // REG_MULTI_SZ
  Qword = 11,        // REG_QWORD
};

using KeyHandle = std::uintptr_t;
constexpr KeyHandle kNoKey = 0;

class IRegistry {
 public:
  virtual ~IRegistry() = default;

  // RegOpenKeyExW: opens an existing key; kErrorFileNotFound when it is missing.
  virtual ErrorCode OpenKey(Hive hive, const std::wstring& path, KeyAccess access,
                            KeyHandle* key) = 0;
  // RegCreateKeyExW: opens the key, creating it and its missing parents.
  virtual ErrorCode CreateKey(Hive hive, const std::wstring& path, KeyAccess access,
                              KeyHandle* key) = 0;
  // RegQueryValueExW. `type` may be null. With `data` null only the size is
  // reported. When *size is too small the result is kErrorMoreData, *size
  // holds the size needed and the buffer is left untouched.
  virtual ErrorCode QueryValue(KeyHandle key, const std::wstring& name, RegType* type,
                               std::uint8_t* data, std::uint32_t* size) = 0;
  // RegSetValueExW with the value's raw bytes.
  virtual ErrorCode SetValue(KeyHandle key, const std::wstring& name, RegType type,
                             const std::uint8_t* data, std::uint32_t size) = 0;
  virtual ErrorCode DeleteValue(KeyHandle key, const std::wstring& name) = 0;
  // RegDeleteKeyW: removes a key that has no subkeys.
  virtual ErrorCode DeleteKey(Hive hive, const std::wstring& path) = 0;
  virtual void CloseKey(KeyHandle key) = 0;
};

}  // namespace os
