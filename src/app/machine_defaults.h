#pragma once
// The machine-wide defaults of the tool's settings, read once at start-up
// from the key the OS level calls for.
#include <cstdint>

#include "controller/settings_store.h"
#include "os/registry.h"

namespace app {

// Reads the machine-wide Model and AutoSync as raw 4-byte values; a missing
// value or an unopenable key leaves the field as it was.
void ReadMachineDefaults(os::IRegistry& registry, int osLevel,
                         controller::MachineDefaults& defaults);

}  // namespace app
