#include "os/reg_key.h"

#include <utility>

#include "os/text_encoding.h"

namespace os {

RegKey::RegKey(RegKey&& other) noexcept
    : registry_(std::exchange(other.registry_, nullptr)),
      key_(std::exchange(other.key_, kNoKey)) {}

RegKey& RegKey::operator=(RegKey&& other) noexcept {
  if (this != &other) {
    Close();
    registry_ = std::exchange(other.registry_, nullptr);
    key_ = std::exchange(other.key_, kNoKey);
  }
  return *this;
}

RegKey RegKey::Open(IRegistry& registry, Hive hive, const std::wstring& path, KeyAccess access,
                    ErrorCode* result) {
  KeyHandle key = kNoKey;
  const ErrorCode rc = registry.OpenKey(hive, path, access, &key);
  if (result) *result = rc;
  return rc == kSuccess ? RegKey(registry, key) : RegKey();
}

RegKey RegKey::Create(IRegistry& registry, Hive hive, const std::wstring& path,
                      KeyAccess access, ErrorCode* result) {
  KeyHandle key = kNoKey;
  const ErrorCode rc = registry.CreateKey(hive, path, access, &key);
  if (result) *result = rc;
  return rc == kSuccess ? RegKey(registry, key) : RegKey();
}

void RegKey::Close() {
  if (key_ != kNoKey && registry_) registry_->CloseKey(key_);
  key_ = kNoKey;
}

ErrorCode RegKey::QueryDwordBytes(const std::wstring& name, std::int32_t* value,
                                  RegType* type) const {
  if (!IsOpen()) return kErrorInvalidHandle;
  std::uint8_t buffer[4];
  std::uint32_t current = static_cast<std::uint32_t>(*value);
  for (int i = 0; i < 4; ++i) buffer[i] = static_cast<std::uint8_t>(current >> (8 * i));
  std::uint32_t size = sizeof buffer;
  const ErrorCode rc = registry_->QueryValue(key_, name, type, buffer, &size);
  if (rc != kSuccess) return rc;
  std::uint32_t result = 0;
  for (int i = 0; i < 4; ++i) result |= static_cast<std::uint32_t>(buffer[i]) << (8 * i);
  *value = static_cast<std::int32_t>(result);
  return rc;
}

ErrorCode RegKey::QueryBytes(const std::wstring& name, RegType* type,
                             std::vector<std::uint8_t>* bytes) const {
  if (!IsOpen()) return kErrorInvalidHandle;
  std::uint32_t size = 0;
  ErrorCode rc = registry_->QueryValue(key_, name, type, nullptr, &size);
  if (rc != kSuccess) return rc;
  bytes->assign(size, 0);
  rc = registry_->QueryValue(key_, name, type, bytes->data(), &size);
  if (rc == kSuccess) bytes->resize(size);
  return rc;
}

ErrorCode RegKey::SetDword(const std::wstring& name, std::uint32_t value) const {
  if (!IsOpen()) return kErrorInvalidHandle;
  std::uint8_t bytes[4];
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
  return registry_->SetValue(key_, name, RegType::Dword, bytes, sizeof bytes);
}

ErrorCode RegKey::SetString(const std::wstring& name, const std::wstring& text) const {
  if (!IsOpen()) return kErrorInvalidHandle;
  const std::vector<std::uint8_t> bytes = RegStringBytes(text);
  return registry_->SetValue(key_, name, RegType::String, bytes.data(),
                             static_cast<std::uint32_t>(bytes.size()));
}

}  // namespace os
