#include "os/win32/win32_modules.h"

#include <windows.h>

namespace os::win32 {

ModuleRef Win32Modules::Load(const std::wstring& name) {
  return reinterpret_cast<ModuleRef>(LoadLibraryW(name.c_str()));
}

ProcAddress Win32Modules::Find(ModuleRef module, const char* entry) {
  return reinterpret_cast<ProcAddress>(GetProcAddress(reinterpret_cast<HMODULE>(module), entry));
}

void Win32Modules::Free(ModuleRef module) {
  if (module != kNoModule) FreeLibrary(reinterpret_cast<HMODULE>(module));
}

}  // namespace os::win32
