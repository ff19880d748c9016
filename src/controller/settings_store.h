#pragma once
// The tool's own settings in the registry: the player model and the
// automatic-transfer switch, with machine-wide defaults (read only) and
// per-user values created on a user's first run.
#include <cstdint>
#include <string>

#include "controller/main_view.h"
#include "os/registry.h"

namespace controller {

// Key paths as the tool has always written them, trailing backslash included.
extern const wchar_t kSettingsKeyPath[];      // HKLM and HKCU
extern const wchar_t kSettingsKeyPathWow64[];  // HKLM on OS level 11
extern const wchar_t kValueModel[];
extern const wchar_t kValueAutoSync[];
extern const wchar_t kValueFirst[];

struct MachineDefaults {
  std::int32_t model = 0;
  std::int32_t autoSync = 0;
};

class SettingsStore : public ISettingsSource {
 public:
  explicit SettingsStore(os::IRegistry& registry) : registry_(registry) {}

  void InitDefaults(std::int32_t model, std::int32_t autoSync);
  // Creates the per-user values from the defaults unless "First" is a DWORD
  // 0; true when it (re)created them (the caller then shows the settings).
  bool EnsureUserSettings();
  // With `reload` the per-user value is read first; registry failures keep
  // the cached value.
  std::int32_t ReadModel(bool reload) override;
  std::int32_t ReadAutoSync(bool reload) override;
  // Writes the per-user value; the cache follows only a successful write.
  void WriteAutoSync(std::int32_t value);

  std::int32_t DefaultModel() const { return defaultModel_; }
  std::int32_t CurrentModel() const { return currentModel_; }
  std::int32_t DefaultAutoSync() const { return defaultAutoSync_; }
  std::int32_t CurrentAutoSync() const { return currentAutoSync_; }

 private:
  // Reads a per-user value into `cached`; a value of another type reads as
  // `wrongTypeValue`.
  void ReadUserValue(const wchar_t* name, std::int32_t wrongTypeValue, std::int32_t* cached);

  os::IRegistry& registry_;
  std::int32_t defaultModel_ = 0;
  std::int32_t currentModel_ = 0;
  std::int32_t defaultAutoSync_ = 0;
  std::int32_t currentAutoSync_ = 0;
};

}  // namespace controller
