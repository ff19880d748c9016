#pragma once
// Registry values of the shared Wine prefix a test changes, put back as they
// were at the end of the scope; key levels the test brought are removed.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "os/reg_key.h"
#include "os/registry.h"

namespace wine_test {

class SavedRegistryValues {
 public:
  SavedRegistryValues(os::IRegistry& registry, os::Hive hive, std::wstring path,
                      std::vector<std::wstring> names)
      : registry_(registry), hive_(hive), path_(std::move(path)) {
    for (std::size_t at = path_.find(L'\\'); at != std::wstring::npos;
         at = path_.find(L'\\', at + 1)) {
      RecordLevel(path_.substr(0, at));
    }
    RecordLevel(path_);
    const os::RegKey key = os::RegKey::Open(registry_, hive_, path_, os::KeyAccess::Read);
    for (std::wstring& name : names) {
      Saved saved{std::move(name), os::RegType::None, {}, false};
      saved.present = key && key.QueryBytes(saved.name, &saved.type, &saved.bytes) == os::kSuccess;
      values_.push_back(std::move(saved));
    }
  }

  ~SavedRegistryValues() {
    {
      const os::RegKey key = os::RegKey::Open(registry_, hive_, path_, os::KeyAccess::ReadWrite);
      for (const Saved& saved : values_) {
        if (!key) break;
        registry_.DeleteValue(key.Handle(), saved.name);
        if (saved.present) {
          registry_.SetValue(key.Handle(), saved.name, saved.type, saved.bytes.data(),
                             static_cast<std::uint32_t>(saved.bytes.size()));
        }
      }
    }
    RemoveCreatedLevels();
  }

  SavedRegistryValues(const SavedRegistryValues&) = delete;
  SavedRegistryValues& operator=(const SavedRegistryValues&) = delete;

  // Removes the saved values (creating the key); false when that fails.
  bool Clear() {
    const os::RegKey key =
        os::RegKey::Create(registry_, hive_, path_, os::KeyAccess::ReadWrite);
    if (!key) return false;
    for (const Saved& saved : values_) registry_.DeleteValue(key.Handle(), saved.name);
    return true;
  }

  // Takes the key away when this test brought it; true when it is gone.
  bool RemoveKey() {
    if (created_.empty() || created_.back() != path_) return false;
    RemoveCreatedLevels();
    return !os::RegKey::Open(registry_, hive_, path_, os::KeyAccess::Read);
  }

 private:
  struct Saved {
    std::wstring name;
    os::RegType type;
    std::vector<std::uint8_t> bytes;
    bool present;
  };

  void RecordLevel(const std::wstring& path) {
    if (!os::RegKey::Open(registry_, hive_, path, os::KeyAccess::Read)) created_.push_back(path);
  }
  void RemoveCreatedLevels() {
    for (auto it = created_.rbegin(); it != created_.rend(); ++it) registry_.DeleteKey(hive_, *it);
  }

  os::IRegistry& registry_;
  os::Hive hive_;
  std::wstring path_;
  std::vector<std::wstring> created_;  // levels missing before the test, outermost first
  std::vector<Saved> values_;
};

}  // namespace wine_test
