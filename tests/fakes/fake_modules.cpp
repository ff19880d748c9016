#include "fakes/fake_modules.h"

namespace fakes {

os::ModuleRef FakeModules::Load(const std::wstring& name) {
  if (!modules_.count(name)) return os::kNoModule;
  const os::ModuleRef module = next_++;
  handles_[module] = name;
  ++loaded_;
  return module;
}

os::ProcAddress FakeModules::Find(os::ModuleRef module, const char* entry) {
  auto handle = handles_.find(module);
  if (handle == handles_.end()) return nullptr;
  const auto& exports = modules_[handle->second];
  auto it = exports.find(entry);
  return it == exports.end() ? nullptr : it->second;
}

void FakeModules::Free(os::ModuleRef module) {
  if (handles_.erase(module)) --loaded_;
}

}  // namespace fakes
