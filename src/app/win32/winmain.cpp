// Entry point of Marimba.exe: the real adapters of every port, then the
// application start, which runs the main window modally.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/app_start.h"
#include "controller/win32/main_dialog.h"
#include "os/win32/win32_clock.h"
#include "os/win32/win32_drives.h"
#include "os/win32/win32_file_system.h"
#include "os/win32/win32_modules.h"
#include "os/win32/win32_registry.h"
#include "os/win32/win32_system.h"
#include "os/win32/win32_top_windows.h"
#include "resources/win32/module_string_table.h"

namespace {

class ApartmentScope : public app::IAppShell::ComScope {
 public:
  ApartmentScope() : initialized_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ApartmentScope() override {
    if (initialized_) CoUninitialize();
  }

 private:
  bool initialized_;
};

class Win32AppShell : public app::IAppShell {
 public:
  Win32AppShell(HINSTANCE instance, const res::IStringTable& strings, os::Platform& platform)
      : instance_(instance), strings_(strings), platform_(platform) {}

  void ShowWaitCursor() override { SetCursor(LoadCursorW(nullptr, IDC_WAIT)); }
  std::unique_ptr<ComScope> InitializeCom() override { return std::make_unique<ApartmentScope>(); }
  void ShowStartMessage(unsigned textId, unsigned captionId) override {
    MessageBoxW(nullptr, strings_.Load(textId).c_str(), strings_.Load(captionId).c_str(),
                MB_OK | MB_ICONERROR | MB_TOPMOST);
  }
  void RunMainWindow(const controller::CMarimbaApp& app) override {
    controller::win32::MainDialog mainWindow(instance_, strings_, platform_, app);
    mainWindow.RunModal();
  }

 private:
  HINSTANCE instance_;
  const res::IStringTable& strings_;
  os::Platform& platform_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  os::win32::Win32Registry registry;
  os::win32::Win32FileSystem files;
  os::win32::Win32Drives drives;
  os::win32::Win32Clock clock;
  os::win32::Win32System system;
  os::win32::Win32TopWindows windows;
  os::win32::Win32Modules modules;
  os::Platform platform{registry, files, drives, clock, system, windows, modules};
  const res::win32::ModuleStringTable strings(instance);

  // Nothing may escape into the system: running out of memory ends the run.
  try {
    Win32AppShell shell(instance, strings, platform);
    controller::CMarimbaApp app;
    app::RunApplication(platform, strings, shell, app);
  } catch (...) {
    return 1;
  }
  return 0;
}
