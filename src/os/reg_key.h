#pragma once
// Owner of one open registry key, with typed helpers that keep the raw
// semantics of the registry port (the callers decide what a wrong type means).
#include <cstdint>
#include <string>
#include <vector>

#include "os/registry.h"

namespace os {

class RegKey {
 public:
  RegKey() = default;
  RegKey(IRegistry& registry, KeyHandle key) : registry_(&registry), key_(key) {}
  ~RegKey() { Close(); }
  RegKey(RegKey&& other) noexcept;
  RegKey& operator=(RegKey&& other) noexcept;
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;

  static RegKey Open(IRegistry& registry, Hive hive, const std::wstring& path, KeyAccess access,
                     ErrorCode* result = nullptr);
  static RegKey Create(IRegistry& registry, Hive hive, const std::wstring& path,
                       KeyAccess access, ErrorCode* result = nullptr);

  bool IsOpen() const { return key_ != kNoKey; }
  explicit operator bool() const { return IsOpen(); }
  KeyHandle Handle() const { return key_; }
  void Close();

  // Reads up to 4 bytes straight into *value (little-endian), whatever the
  // stored type; bytes beyond the stored size keep their previous content.
  ErrorCode QueryDwordBytes(const std::wstring& name, std::int32_t* value,
                            RegType* type = nullptr) const;
  // Reads a value of any type into `bytes` (resized to the stored size).
  ErrorCode QueryBytes(const std::wstring& name, RegType* type,
                       std::vector<std::uint8_t>* bytes) const;

  ErrorCode SetDword(const std::wstring& name, std::uint32_t value) const;
  ErrorCode SetString(const std::wstring& name, const std::wstring& text) const;

 private:
  IRegistry* registry_ = nullptr;
  KeyHandle key_ = kNoKey;
};

}  // namespace os
