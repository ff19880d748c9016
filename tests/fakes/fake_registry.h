#pragma once
// In-memory registry with the outcomes of the advapi32 calls: both hives,
// key paths and value names compared without regard to ASCII case, access
// checked per handle, keys deleted under open handles, and hooks to seed
// values, deny access to a subtree and count the handles left open.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "os/registry.h"

namespace fakes {

// Platform results the port header does not name yet.

class FakeRegistry : public os::IRegistry {
 public:
  enum class Denial {
    Everything,  // no handle of any access, no deletion
    Writing,     // read handles only (as HKLM for a standard user)
  };

  FakeRegistry();
  ~FakeRegistry() override;
  FakeRegistry(const FakeRegistry&) = delete;
  FakeRegistry& operator=(const FakeRegistry&) = delete;

  os::ErrorCode OpenKey(os::Hive hive, const std::wstring& path, os::KeyAccess access,
                        os::KeyHandle* key) override;
  os::ErrorCode CreateKey(os::Hive hive, const std::wstring& path, os::KeyAccess access,
                          os::KeyHandle* key) override;
  os::ErrorCode QueryValue(os::KeyHandle key, const std::wstring& name, os::RegType* type,
                           std::uint8_t* data, std::uint32_t* size) override;
  os::ErrorCode SetValue(os::KeyHandle key, const std::wstring& name, os::RegType type,
                         const std::uint8_t* data, std::uint32_t size) override;
  os::ErrorCode DeleteValue(os::KeyHandle key, const std::wstring& name) override;
  os::ErrorCode DeleteKey(os::Hive hive, const std::wstring& path) override;
  void CloseKey(os::KeyHandle key) override;

  // Test hooks. Seeding creates the key (and its parents) and ignores denials.
  void Seed(os::Hive hive, const std::wstring& path, const std::wstring& name,
            os::RegType type, std::vector<std::uint8_t> bytes);
  void SeedDword(os::Hive hive, const std::wstring& path, const std::wstring& name,
                 std::uint32_t value);
  void SeedString(os::Hive hive, const std::wstring& path, const std::wstring& name,
                  const std::wstring& text);
  void RemoveValue(os::Hive hive, const std::wstring& path, const std::wstring& name);

  bool HasKey(os::Hive hive, const std::wstring& path) const;
  // The stored value, bypassing handles and denials; false when it is missing.
  bool Peek(os::Hive hive, const std::wstring& path, const std::wstring& name,
            os::RegType* type, std::vector<std::uint8_t>* bytes) const;
  // A REG_DWORD of exactly 4 bytes; false for anything else.
  bool PeekDword(os::Hive hive, const std::wstring& path, const std::wstring& name,
                 std::uint32_t* value) const;

  // Applies to the key at `path` and everything below it, existing or not.
  void DenyAccess(os::Hive hive, const std::wstring& path, Denial denial = Denial::Everything);

  int OpenHandleCount() const { return static_cast<int>(handles_.size()); }
  // Keys opened or created so far (successful calls only).
  int OpenCount() const { return openCount_; }
  // CloseKey calls with a handle that was not open (double closes).
  int BadCloseCount() const { return badCloseCount_; }

 private:
  struct Value {
    os::RegType type = os::RegType::None;
    std::vector<std::uint8_t> bytes;
  };
  struct Key {
    std::map<std::wstring, std::shared_ptr<Key>> subkeys;  // by folded name
    std::map<std::wstring, Value> values;                  // by folded name
    bool deleted = false;
  };
  struct Handle {
    std::shared_ptr<Key> key;
    os::KeyAccess access = os::KeyAccess::Read;
  };
  struct DenyRule {
    os::Hive hive;
    std::vector<std::wstring> path;  // folded components
    Denial denial;
  };

  static bool SplitPath(const std::wstring& path, std::vector<std::wstring>* parts);
  std::shared_ptr<Key>& Root(os::Hive hive);
  const std::shared_ptr<Key>& Root(os::Hive hive) const;
  std::shared_ptr<Key> Find(os::Hive hive, const std::vector<std::wstring>& parts) const;
  std::shared_ptr<Key> FindOrCreate(os::Hive hive, const std::vector<std::wstring>& parts);
  // The strictest denial that covers `parts`, or null.
  const DenyRule* DenialOf(os::Hive hive, const std::vector<std::wstring>& parts) const;
  os::ErrorCode Resolve(os::KeyHandle key, bool write, Handle** handle);
  os::KeyHandle Issue(std::shared_ptr<Key> key, os::KeyAccess access);

  std::shared_ptr<Key> machine_;
  std::shared_ptr<Key> user_;
  std::map<os::KeyHandle, Handle> handles_;
  std::vector<DenyRule> denials_;
  os::KeyHandle nextHandle_ = 0x100;
  int openCount_ = 0;
  int badCloseCount_ = 0;
};

}  // namespace fakes
