#pragma once
// Which media engine the tool drives, decided once at start-up: the
// installed engine (the platform's player control) when it can be created
// and answers for its CD-ROM collection, its media collection and its sync
// services; otherwise our own engine. A value under the tool's own key
// overrides the rule for testing:
//   HKCU\Software\Orbit\Cadenza, DWORD "Engine": 0 by the rule, 1 ours,
//   2 the installed engine whenever it can be created.
// Under Wine the installed engine exists but answers E_NOTIMPL for its
// CD-ROM collection, so the rule picks ours.
#include <string>

#include "engine/model/player.h"
#include "os/registry.h"

namespace engine {

enum class EngineSetting { Auto = 0, Ours = 1, Installed = 2 };

extern const wchar_t kEngineSettingKeyPath[];
extern const wchar_t kEngineSettingValue[];

// Auto when the value is missing, not a DWORD or out of range.
EngineSetting ReadEngineSetting(os::IRegistry& registry);

// What trying the installed engine showed.
struct InstalledProbe {
  bool created = false;
  // Why it could not be created, when it could not.
  wmp::HResult createResult = wmp::kOk;
  // The first part that did not answer ("CD-ROM collection", ...); empty
  // when every part answered.
  std::wstring missingPart;
  // What that part answered (kFail for a success without an object).
  wmp::HResult partResult = wmp::kOk;
};

InstalledProbe InstalledNotCreated(wmp::HResult result);
// Asks the created installed engine for the three parts, in that order.
InstalledProbe ProbeInstalledEngine(wmp::IPlayer& player);

enum class EngineKind { None, Ours, Installed };

struct EngineChoice {
  // None: the setting asks for the installed engine, which cannot be created.
  EngineKind engine = EngineKind::None;
  // One sentence saying why, for diagnostics and tests.
  std::wstring reason;
};

// The one rule. `probe` is looked at unless the setting asks for ours.
EngineChoice ChooseEngine(EngineSetting setting, const InstalledProbe& probe);

}  // namespace engine
