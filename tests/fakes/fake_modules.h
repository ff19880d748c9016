#pragma once
// Modules the test registers by name, each with its exported entry points.
#include <map>
#include <string>

#include "os/modules.h"

namespace fakes {

class FakeModules : public os::IModules {
 public:
  void Register(const std::wstring& name, std::map<std::string, os::ProcAddress> exports) {
    modules_[name] = std::move(exports);
  }
  int LoadedCount() const { return loaded_; }

  os::ModuleRef Load(const std::wstring& name) override;
  os::ProcAddress Find(os::ModuleRef module, const char* entry) override;
  void Free(os::ModuleRef module) override;

 private:
  std::map<std::wstring, std::map<std::string, os::ProcAddress>> modules_;
  std::map<os::ModuleRef, std::wstring> handles_;
  os::ModuleRef next_ = 0x1000;
  int loaded_ = 0;
};

}  // namespace fakes
