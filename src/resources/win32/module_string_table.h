#pragma once
// The string table linked into a module, read with LoadStringW.
#include <windows.h>

#include <string>

#include "resources/string_table.h"

namespace res::win32 {

class ModuleStringTable : public IStringTable {
 public:
  // Borrows `module` (an executable, or a file loaded as data); the caller
  // keeps it loaded while the table is used.
  explicit ModuleStringTable(HMODULE module) : module_(module) {}

  std::wstring Load(unsigned id) const override;

 private:
  HMODULE module_;
};

}  // namespace res::win32
