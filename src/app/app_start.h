#pragma once
// The road from process start to the modal main window: one instance per
// machine, a supported system, the player engine installed, then the main
// window; afterwards the release in reverse order. The Win32 entry point
// supplies the shell below; native tests supply fakes.
#include <cstdint>
#include <memory>

#include "controller/marimba_app.h"
#include "os/platform.h"
#include "resources/string_table.h"

namespace app {

// Name of the machine-wide single-instance mutex.
extern const wchar_t kSingleInstanceMutexName[];

// How one start ended; the process ends after it in every case.
enum class StartEnd {
  kMainWindowClosed,   // the main window ran and closed
  kSecondInstance,     // another instance holds the mutex: it was brought to the front
  kOtherUser,          // the mutex belongs to another logged-on user (700)
  kUnsupportedOs,      // 701
  kPlayerMissing,      // 702
};

// The platform pieces of the start that have no port of their own.
class IAppShell {
 public:
  virtual ~IAppShell() = default;
  // Shows the wait cursor until the main window takes over.
  virtual void ShowWaitCursor() = 0;
  // Apartment-threaded COM for the whole run; released when the returned
  // object is destroyed (null when there is nothing to release).
  struct ComScope {
    virtual ~ComScope() = default;
  };
  virtual std::unique_ptr<ComScope> InitializeCom() = 0;
  // A message box with no owner window, error icon, OK button.
  virtual void ShowStartMessage(unsigned textId, unsigned captionId) = 0;
  // Creates and runs the main window modally; returns when it has closed.
  virtual void RunMainWindow(const controller::CMarimbaApp& app) = 0;
};

StartEnd RunApplication(os::Platform& platform, const res::IStringTable& strings,
                        IAppShell& shell, controller::CMarimbaApp& app);

}  // namespace app
