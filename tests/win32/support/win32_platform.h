#pragma once
// The real adapters of every port as the tool assembles them, and the string
// table of the test program's resources.
#include <windows.h>

#include "os/platform.h"
#include "os/win32/win32_clock.h"
#include "os/win32/win32_drives.h"
#include "os/win32/win32_file_system.h"
#include "os/win32/win32_modules.h"
#include "os/win32/win32_registry.h"
#include "os/win32/win32_system.h"
#include "os/win32/win32_top_windows.h"
#include "resources/win32/module_string_table.h"

namespace wine_test {

struct Win32Platform {
  os::win32::Win32Registry registry;
  os::win32::Win32FileSystem files;
  os::win32::Win32Drives drives;
  os::win32::Win32Clock clock;
  os::win32::Win32System system;
  os::win32::Win32TopWindows windows;
  os::win32::Win32Modules modules;
  os::Platform platform{registry, files, drives, clock, system, windows, modules};
  res::win32::ModuleStringTable strings{GetModuleHandleW(nullptr)};
};

}  // namespace wine_test
