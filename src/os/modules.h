#pragma once
// Module port: LoadLibraryW, GetProcAddress, FreeLibrary.
#include <cstdint>
#include <string>
#include <utility>

namespace os {

using ModuleRef = std::uintptr_t;
constexpr ModuleRef kNoModule = 0;
using ProcAddress = void (*)();

class IModules {
 public:
  virtual ~IModules() = default;
  virtual ModuleRef Load(const std::wstring& name) = 0;
  // nullptr when the module has no such export.
  virtual ProcAddress Find(ModuleRef module, const char* entry) = 0;
  virtual void Free(ModuleRef module) = 0;
};

// Owner of one loaded module.
class LoadedModule {
 public:
  LoadedModule() = default;
  LoadedModule(IModules& modules, const std::wstring& name)
      : modules_(&modules), module_(modules.Load(name)) {}
  ~LoadedModule() { Reset(); }
  LoadedModule(LoadedModule&& other) noexcept
      : modules_(std::exchange(other.modules_, nullptr)),
        module_(std::exchange(other.module_, kNoModule)) {}
  LoadedModule& operator=(LoadedModule&& other) noexcept {
    if (this != &other) {
      Reset();
      modules_ = std::exchange(other.modules_, nullptr);
      module_ = std::exchange(other.module_, kNoModule);
    }
    return *this;
  }
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;

  bool IsLoaded() const { return module_ != kNoModule; }
  template <typename Fn>
  Fn Find(const char* entry) const {
    return IsLoaded() ? reinterpret_cast<Fn>(modules_->Find(module_, entry)) : nullptr;
  }
  void Reset() {
    if (IsLoaded()) modules_->Free(module_);
    module_ = kNoModule;
  }

 private:
  IModules* modules_ = nullptr;
  ModuleRef module_ = kNoModule;
};

}  // namespace os
