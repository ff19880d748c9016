#pragma once
// A system whose version, mutex outcome, music folder and authority the test sets.
#include <set>
#include <string>

#include "os/system.h"

namespace fakes {

class FakeSystem : public os::ISystem {
 public:
  void SetVersion(const os::OsVersion& version) { version_ = version; }
  // Makes the next CreateOwnedMutex fail with `error` (no mutex).
  void DenyMutex(os::ErrorCode error) { denyError_ = error; }
  void SetMusicFolder(const std::wstring& path, bool onlyWhenCreated = false) {
    musicFolder_ = path;
    musicOnlyWhenCreated_ = onlyWhenCreated;
  }
  void SetAdmin(bool admin) { admin_ = admin; }
  bool MutexHeld(const std::wstring& name) const { return held_.count(name) != 0; }

  os::OsVersion Version() override { return version_; }
  std::unique_ptr<os::INamedMutex> CreateOwnedMutex(const std::wstring& name,
                                                    os::ErrorCode* lastError) override;
  bool MusicFolder(bool create, std::wstring* path) override;
  bool HasAdminAuthority() override { return admin_; }

 private:
  friend class FakeMutex;
  os::OsVersion version_{2, 5, 1, 2600, L"Service Pack 3"};
  os::ErrorCode denyError_ = os::kSuccess;
  std::wstring musicFolder_ = L"C:\\Documents and Settings\\user\\My Documents\\My Music";
  bool musicOnlyWhenCreated_ = false;
  bool admin_ = true;
  std::multiset<std::wstring> held_;
};

}  // namespace fakes
