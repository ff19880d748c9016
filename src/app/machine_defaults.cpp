#include "app/machine_defaults.h"

#include "app/os_level.h"
#include "os/reg_key.h"

namespace app {

void ReadMachineDefaults(os::IRegistry& registry, int osLevel,
                         controller::MachineDefaults& defaults) {
  const wchar_t* path = osLevel == kOsLevelServer2003 ? controller::kSettingsKeyPathWow64
                                                      : controller::kSettingsKeyPath;
  const os::RegKey key =
      os::RegKey::Open(registry, os::Hive::LocalMachine, path, os::KeyAccess::Read);
  if (!key) return;
  // Whatever type is stored: its first four bytes become the value.
  key.QueryDwordBytes(controller::kValueModel, &defaults.model);
  key.QueryDwordBytes(controller::kValueAutoSync, &defaults.autoSync);
}

}  // namespace app
