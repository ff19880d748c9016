#include "engine/engine_choice.h"

#include <cstdint>
#include <cstdio>

#include "os/reg_key.h"

namespace engine {
namespace {

std::wstring Hex(wmp::HResult result) {
  wchar_t text[16] = {};
  std::swprintf(text, 16, L"0x%08X", static_cast<unsigned>(static_cast<std::uint32_t>(result)));
  return text;
}

// One part of the probe: the getter's result, kFail when it succeeded
// without an object.
template <class Ptr>
wmp::HResult Answer(wmp::HResult result, const Ptr& object) {
  if (wmp::Failed(result)) return result;
  return object ? result : wmp::kFail;
}

}  // namespace

const wchar_t kEngineSettingKeyPath[] = L"Software\\Orbit\\Cadenza\\";
const wchar_t kEngineSettingValue[] = L"Engine";

EngineSetting ReadEngineSetting(os::IRegistry& registry) {
  const os::RegKey key = os::RegKey::Open(registry, os::Hive::CurrentUser, kEngineSettingKeyPath,
                                          os::KeyAccess::Read);
  if (!key) return EngineSetting::Auto;
  std::int32_t value = 0;
  os::RegType type = os::RegType::None;
  if (key.QueryDwordBytes(kEngineSettingValue, &value, &type) != os::kSuccess ||
      type != os::RegType::Dword) {
    return EngineSetting::Auto;
  }
  switch (value) {
    case 1:
      return EngineSetting::Ours;
    case 2:
      return EngineSetting::Installed;
    default:
      return EngineSetting::Auto;
  }
}

InstalledProbe InstalledNotCreated(wmp::HResult result) {
  InstalledProbe probe;
  probe.created = false;
  probe.createResult = wmp::Failed(result) ? result : wmp::kFail;
  return probe;
}

InstalledProbe ProbeInstalledEngine(wmp::IPlayer& player) {
  InstalledProbe probe;
  probe.created = true;
  // Records the first part that does not answer; true while every part has.
  const auto answered = [&probe](wmp::HResult result, const wchar_t* part) {
    if (!wmp::Failed(result)) return true;
    probe.missingPart = part;
    probe.partResult = result;
    return false;
  };
  wmp::CdromCollectionPtr cdroms;
  if (!answered(Answer(player.CdromCollection(&cdroms), cdroms), L"CD-ROM collection")) {
    return probe;
  }
  wmp::MediaCollectionPtr library;
  if (!answered(Answer(player.MediaCollection(&library), library), L"media collection")) {
    return probe;
  }
  wmp::SyncServicesPtr sync;
  answered(Answer(player.SyncServices(&sync), sync), L"sync services");
  return probe;
}

EngineChoice ChooseEngine(EngineSetting setting, const InstalledProbe& probe) {
  if (setting == EngineSetting::Ours) {
    return {EngineKind::Ours, L"the registry value Engine = 1 asks for our engine"};
  }
  if (!probe.created) {
    const std::wstring notCreated =
        L"the installed engine could not be created (" + Hex(probe.createResult) + L")";
    if (setting == EngineSetting::Installed) {
      return {EngineKind::None, L"the registry value Engine = 2 asks for the installed engine, "
                                L"but " + notCreated};
    }
    return {EngineKind::Ours, notCreated + L": our engine is used"};
  }
  if (setting == EngineSetting::Installed) {
    return {EngineKind::Installed, L"the registry value Engine = 2 asks for the installed engine"};
  }
  if (!probe.missingPart.empty()) {
    return {EngineKind::Ours, L"the installed engine answers " + Hex(probe.partResult) +
                                  L" for its " + probe.missingPart + L": our engine is used"};
  }
  return {EngineKind::Installed,
          L"the installed engine answers for its CD-ROM collection, media collection and "
          L"sync services"};
}

}  // namespace engine
