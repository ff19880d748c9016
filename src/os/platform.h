#pragma once
// The set of ports one run of the tool works through. The Win32 shell fills
// it with the real adapters, native tests with fakes.
#include "os/clock.h"
#include "os/drives.h"
#include "os/file_system.h"
#include "os/modules.h"
#include "os/registry.h"
#include "os/system.h"
#include "os/top_windows.h"

namespace os {

struct Platform {
  IRegistry& registry;
  IFileSystem& files;
  IDrives& drives;
  IClock& clock;
  ISystem& system;
  ITopWindows& windows;
  IModules& modules;
};

}  // namespace os
