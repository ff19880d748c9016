#pragma once
// The module port over kernel32.
#include "os/modules.h"

namespace os::win32 {

class Win32Modules : public IModules {
 public:
  ModuleRef Load(const std::wstring& name) override;
  ProcAddress Find(ModuleRef module, const char* entry) override;
  void Free(ModuleRef module) override;
};

}  // namespace os::win32
