#pragma once
// What the application object knows once the start-up checks have passed;
// the start-up fills it and the main window reads it.
#include <cstdint>

#include "controller/settings_store.h"

namespace controller {

struct CMarimbaApp {
  std::int32_t osLevel = 10;
  std::int32_t playerMajorVersion = 0;
  std::uint32_t ripProtection = 1;
  MachineDefaults machineDefaults;
};

}  // namespace controller
