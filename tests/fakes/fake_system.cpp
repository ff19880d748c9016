#include "fakes/fake_system.h"

namespace fakes {

class FakeMutex : public os::INamedMutex {
 public:
  FakeMutex(FakeSystem& system, std::wstring name) : system_(system), name_(std::move(name)) {
    system_.held_.insert(name_);
  }
  ~FakeMutex() override { system_.held_.erase(system_.held_.find(name_)); }

 private:
  FakeSystem& system_;
  std::wstring name_;
};

std::unique_ptr<os::INamedMutex> FakeSystem::CreateOwnedMutex(const std::wstring& name,
                                                              os::ErrorCode* lastError) {
  if (denyError_ != os::kSuccess) {
    *lastError = denyError_;
    return nullptr;
  }
  // Like CreateMutexW: an existing mutex is opened and reported as such.
  *lastError = held_.count(name) ? os::kErrorAlreadyExists : os::kSuccess;
  return std::make_unique<FakeMutex>(*this, name);
}

bool FakeSystem::MusicFolder(bool create, std::wstring* path) {
  if (musicFolder_.empty() || (musicOnlyWhenCreated_ && !create)) return false;
  *path = musicFolder_;
  return true;
}

}  // namespace fakes
