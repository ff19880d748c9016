#include "fakes/fake_registry.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "os/text_encoding.h"

namespace fakes {
namespace {

bool CanRead(os::KeyAccess access) { return access != os::KeyAccess::Write; }
bool CanWrite(os::KeyAccess access) { return access != os::KeyAccess::Read; }

}  // namespace

FakeRegistry::FakeRegistry()
    : machine_(std::make_shared<Key>()), user_(std::make_shared<Key>()) {}

FakeRegistry::~FakeRegistry() = default;

bool FakeRegistry::SplitPath(const std::wstring& path, std::vector<std::wstring>* parts) {
  parts->clear();
  // The platform refuses a leading separator but skips repeated and trailing ones.
  if (!path.empty() && path[0] == L'\\') return false;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find(L'\\', start);
    if (end == std::wstring::npos) end = path.size();
    if (end > start) parts->push_back(os::AsciiLower(path.substr(start, end - start)));
    start = end + 1;
  }
  return true;
}

std::shared_ptr<FakeRegistry::Key>& FakeRegistry::Root(os::Hive hive) {
  return hive == os::Hive::LocalMachine ? machine_ : user_;
}

const std::shared_ptr<FakeRegistry::Key>& FakeRegistry::Root(os::Hive hive) const {
  return hive == os::Hive::LocalMachine ? machine_ : user_;
}

std::shared_ptr<FakeRegistry::Key> FakeRegistry::Find(
    os::Hive hive, const std::vector<std::wstring>& parts) const {
  std::shared_ptr<Key> key = Root(hive);
  for (const std::wstring& part : parts) {
    auto it = key->subkeys.find(part);
    if (it == key->subkeys.end()) return nullptr;
    key = it->second;
  }
  return key;
}

std::shared_ptr<FakeRegistry::Key> FakeRegistry::FindOrCreate(
    os::Hive hive, const std::vector<std::wstring>& parts) {
  std::shared_ptr<Key> key = Root(hive);
  for (const std::wstring& part : parts) {
    std::shared_ptr<Key>& child = key->subkeys[part];
    if (!child) child = std::make_shared<Key>();
    key = child;
  }
  return key;
}

const FakeRegistry::DenyRule* FakeRegistry::DenialOf(
    os::Hive hive, const std::vector<std::wstring>& parts) const {
  const DenyRule* found = nullptr;
  for (const DenyRule& rule : denials_) {
    if (rule.hive != hive || rule.path.size() > parts.size()) continue;
    if (!std::equal(rule.path.begin(), rule.path.end(), parts.begin())) continue;
    if (!found || rule.denial == Denial::Everything) found = &rule;
  }
  return found;
}

os::KeyHandle FakeRegistry::Issue(std::shared_ptr<Key> key, os::KeyAccess access) {
  // Handles are never reused, so a stale one stays invalid.
  const os::KeyHandle handle = nextHandle_;
  nextHandle_ += 4;
  handles_[handle] = Handle{std::move(key), access};
  ++openCount_;
  return handle;
}

os::ErrorCode FakeRegistry::Resolve(os::KeyHandle key, bool write, Handle** handle) {
  auto it = handles_.find(key);
  if (it == handles_.end()) return os::kErrorInvalidHandle;
  // The access check comes before the deleted-key check, as on the platform.
  if (write ? !CanWrite(it->second.access) : !CanRead(it->second.access)) {
    return os::kErrorAccessDenied;
  }
  if (it->second.key->deleted) return os::kErrorKeyDeleted;
  *handle = &it->second;
  return os::kSuccess;
}

os::ErrorCode FakeRegistry::OpenKey(os::Hive hive, const std::wstring& path,
                                    os::KeyAccess access, os::KeyHandle* key) {
  if (!key) return os::kErrorInvalidParameter;
  *key = os::kNoKey;
  std::vector<std::wstring> parts;
  if (!SplitPath(path, &parts)) return os::kErrorBadPathname;
  std::shared_ptr<Key> found = Find(hive, parts);
  if (!found) return os::kErrorFileNotFound;
  if (const DenyRule* rule = DenialOf(hive, parts)) {
    if (rule->denial == Denial::Everything || CanWrite(access)) return os::kErrorAccessDenied;
  }
  *key = Issue(std::move(found), access);
  return os::kSuccess;
}

os::ErrorCode FakeRegistry::CreateKey(os::Hive hive, const std::wstring& path,
                                      os::KeyAccess access, os::KeyHandle* key) {
  if (!key) return os::kErrorInvalidParameter;
  *key = os::kNoKey;
  std::vector<std::wstring> parts;
  if (!SplitPath(path, &parts)) return os::kErrorBadPathname;
  const DenyRule* rule = DenialOf(hive, parts);
  if (rule && (rule->denial == Denial::Everything || CanWrite(access))) {
    return os::kErrorAccessDenied;
  }
  std::shared_ptr<Key> found = Find(hive, parts);
  if (!found) {
    // Creating a key needs write access to every missing level's parent.
    if (rule) return os::kErrorAccessDenied;
    found = FindOrCreate(hive, parts);
  }
  *key = Issue(std::move(found), access);
  return os::kSuccess;
}

os::ErrorCode FakeRegistry::QueryValue(os::KeyHandle key, const std::wstring& name,
                                       os::RegType* type, std::uint8_t* data,
                                       std::uint32_t* size) {
  Handle* handle = nullptr;
  const os::ErrorCode rc = Resolve(key, false, &handle);
  if (rc != os::kSuccess) return rc;
  if (data && !size) return os::kErrorInvalidParameter;
  auto it = handle->key->values.find(os::AsciiLower(name));
  if (it == handle->key->values.end()) return os::kErrorFileNotFound;
  const Value& value = it->second;
  const auto needed = static_cast<std::uint32_t>(value.bytes.size());
  if (type) *type = value.type;
  if (data) {
    if (*size < needed) {
      *size = needed;
      return os::kErrorMoreData;
    }
    // Exactly the stored bytes: the adapter does not pass on the terminator
    // the platform adds to an unterminated string when the buffer has room.
    if (needed > 0) std::memcpy(data, value.bytes.data(), needed);
  }
  if (size) *size = needed;
  return os::kSuccess;
}

os::ErrorCode FakeRegistry::SetValue(os::KeyHandle key, const std::wstring& name,
                                     os::RegType type, const std::uint8_t* data,
                                     std::uint32_t size) {
  Handle* handle = nullptr;
  const os::ErrorCode rc = Resolve(key, true, &handle);
  if (rc != os::kSuccess) return rc;
  if (!data && size > 0) return os::kErrorInvalidParameter;
  Value& value = handle->key->values[os::AsciiLower(name)];
  value.type = type;
  value.bytes.assign(data, data + size);
  return os::kSuccess;
}

os::ErrorCode FakeRegistry::DeleteValue(os::KeyHandle key, const std::wstring& name) {
  Handle* handle = nullptr;
  const os::ErrorCode rc = Resolve(key, true, &handle);
  if (rc != os::kSuccess) return rc;
  return handle->key->values.erase(os::AsciiLower(name)) ? os::kSuccess : os::kErrorFileNotFound;
}

os::ErrorCode FakeRegistry::DeleteKey(os::Hive hive, const std::wstring& path) {
  std::vector<std::wstring> parts;
  if (!SplitPath(path, &parts)) return os::kErrorBadPathname;
  if (parts.empty()) return os::kErrorAccessDenied;  // a hive itself
  std::shared_ptr<Key> found = Find(hive, parts);
  if (!found) return os::kErrorFileNotFound;
  if (DenialOf(hive, parts)) return os::kErrorAccessDenied;
  if (!found->subkeys.empty()) return os::kErrorAccessDenied;
  const std::wstring leaf = parts.back();
  parts.pop_back();
  Find(hive, parts)->subkeys.erase(leaf);
  found->deleted = true;  // open handles now see a deleted key
  return os::kSuccess;
}

void FakeRegistry::CloseKey(os::KeyHandle key) {
  if (handles_.erase(key) == 0) ++badCloseCount_;
}

void FakeRegistry::Seed(os::Hive hive, const std::wstring& path, const std::wstring& name,
                        os::RegType type, std::vector<std::uint8_t> bytes) {
  std::vector<std::wstring> parts;
  SplitPath(path, &parts);
  Value& value = FindOrCreate(hive, parts)->values[os::AsciiLower(name)];
  value.type = type;
  value.bytes = std::move(bytes);
}

void FakeRegistry::SeedDword(os::Hive hive, const std::wstring& path, const std::wstring& name,
                             std::uint32_t value) {
  std::vector<std::uint8_t> bytes(4);
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
  Seed(hive, path, name, os::RegType::Dword, std::move(bytes));
}

void FakeRegistry::SeedString(os::Hive hive, const std::wstring& path, const std::wstring& name,
                              const std::wstring& text) {
  Seed(hive, path, name, os::RegType::String, os::RegStringBytes(text));
}

void FakeRegistry::RemoveValue(os::Hive hive, const std::wstring& path,
                               const std::wstring& name) {
  std::vector<std::wstring> parts;
  SplitPath(path, &parts);
  if (std::shared_ptr<Key> key = Find(hive, parts)) key->values.erase(os::AsciiLower(name));
}

bool FakeRegistry::HasKey(os::Hive hive, const std::wstring& path) const {
  std::vector<std::wstring> parts;
  return SplitPath(path, &parts) && Find(hive, parts) != nullptr;
}

bool FakeRegistry::Peek(os::Hive hive, const std::wstring& path, const std::wstring& name,
                        os::RegType* type, std::vector<std::uint8_t>* bytes) const {
  std::vector<std::wstring> parts;
  if (!SplitPath(path, &parts)) return false;
  std::shared_ptr<Key> key = Find(hive, parts);
  if (!key) return false;
  auto it = key->values.find(os::AsciiLower(name));
  if (it == key->values.end()) return false;
  if (type) *type = it->second.type;
  if (bytes) *bytes = it->second.bytes;
  return true;
}

bool FakeRegistry::PeekDword(os::Hive hive, const std::wstring& path, const std::wstring& name,
                             std::uint32_t* value) const {
  os::RegType type = os::RegType::None;
  std::vector<std::uint8_t> bytes;
  if (!Peek(hive, path, name, &type, &bytes)) return false;
  if (type != os::RegType::Dword || bytes.size() != 4) return false;
  *value = 0;
  for (int i = 0; i < 4; ++i) *value |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
  return true;
}

void FakeRegistry::DenyAccess(os::Hive hive, const std::wstring& path, Denial denial) {
  DenyRule rule{hive, {}, denial};
  SplitPath(path, &rule.path);
  denials_.push_back(std::move(rule));
}

}  // namespace fakes
