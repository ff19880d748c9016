// Entry point of Marimba.exe.
#include <windows.h>
#include <commctrl.h>

#include "controller/win32/main_dialog.h"
#include "resources/win32/module_string_table.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  const res::win32::ModuleStringTable strings(instance);
  controller::win32::MainDialog mainWindow(instance, strings);
  mainWindow.RunModal();
  return 0;
}
