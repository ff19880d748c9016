#include "app/app_start.h"

#include "app/machine_defaults.h"
#include "app/os_level.h"
#include "engine/wmp_reg_acc.h"
#include "resources/resource.h"

namespace app {

const wchar_t kSingleInstanceMutexName[] = L"Global\\Global MUTEX for Tessera CD PC Software";

StartEnd RunApplication(os::Platform& platform, const res::IStringTable& strings,
                        IAppShell& shell, controller::CMarimbaApp& app) {
  shell.ShowWaitCursor();

  os::ErrorCode mutexError = os::kSuccess;
  std::unique_ptr<os::INamedMutex> mutex =
      platform.system.CreateOwnedMutex(kSingleInstanceMutexName, &mutexError);
  if (mutex && mutexError == os::kErrorAlreadyExists) {
    const os::WindowRef running = platform.windows.FindByTitle(strings.Load(IDS_APP_TITLE));
    if (running != os::kNoWindow) platform.windows.BringToForeground(running);
    return StartEnd::kSecondInstance;
  }
  if (!mutex && mutexError == os::kErrorAccessDenied) {
    shell.ShowStartMessage(IDS_MSG_OTHER_USER, IDS_CAPTION_WARNING);
    return StartEnd::kOtherUser;
  }
  // Any other failure to create the mutex: carry on without one.

  const std::unique_ptr<IAppShell::ComScope> com = shell.InitializeCom();

  app.osLevel = ClassifyOs(platform.system);
  if (!IsAcceptedOsLevel(app.osLevel)) {
    shell.ShowStartMessage(IDS_MSG_UNSUPPORTED_OS, IDS_APP_TITLE);
    return StartEnd::kUnsupportedOs;
  }

  ReadMachineDefaults(platform.registry, app.osLevel, app.machineDefaults);

  {
    engine::CWmpRegAcc installation(platform.registry, platform.system);
    const bool installed = installation.IsPlayerInstalled();
    app.playerMajorVersion = installed ? installation.GetPlayerMajorVersion() : -1;
    if (!installed || app.playerMajorVersion < 10) {
      shell.ShowStartMessage(IDS_MSG_NEED_PLAYER_10, IDS_APP_TITLE);
      return StartEnd::kPlayerMissing;
    }
  }

  shell.RunMainWindow(app);
  // The mutex goes before COM is uninitialised.
  mutex.reset();
  return StartEnd::kMainWindowClosed;
}

}  // namespace app
