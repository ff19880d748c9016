// Answers the setup program's Wine check (tools/check-installer) from inside
// the prefix, printing UTF-8 lines:
//   install_probe machine-defaults
//       the machine-wide Model and AutoSync as the tool itself reads them
//   install_probe reg-value KEY NAME
//       a value under HKLM (64-bit view): a string, or a DWORD in decimal
//   install_probe main-window TARGET SECONDS [SCREENSHOT.bmp]
//       starts TARGET (the program, or its shortcut as Explorer would), waits
//       for the main window, pressing OK on a settings dialog shown first,
//       then closes it and waits for the process to end
//   install_probe while-running PROGRAM [ARGUMENTS]
//       holds the tool's single-instance mutex while PROGRAM runs; answers
//       the text of the message box it shows (pressing OK) and its exit code
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/os_level.h"
#include "app/machine_defaults.h"
#include "os/win32/unique_handle.h"
#include "os/win32/win32_registry.h"
#include "os/win32/win32_system.h"
#include "resources/resource.h"

namespace {

constexpr wchar_t kToolMutex[] = L"Global\\Global MUTEX for Tessera CD PC Software";
constexpr wchar_t kSettingsDialogTitle[] = L"設定";

void Print(const std::wstring& line) {
  const std::wstring withEnd = line + L"\n";
  const int size = WideCharToMultiByte(CP_UTF8, 0, withEnd.c_str(), -1, nullptr, 0, nullptr,
                                       nullptr);
  std::string bytes(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, withEnd.c_str(), -1, &bytes[0], size, nullptr, nullptr);
  std::fputs(bytes.c_str(), stdout);
  std::fflush(stdout);
}

std::wstring TextOf(HWND window) {
  wchar_t buffer[1024] = {};
  GetWindowTextW(window, buffer, 1024);
  return buffer;
}

std::wstring ClassOf(HWND window) {
  wchar_t buffer[256] = {};
  GetClassNameW(window, buffer, 256);
  return buffer;
}

// The texts of a dialog's static controls, joined by "|" (a message box's
// message is one of them).
std::wstring StaticTexts(HWND dialog) {
  std::wstring texts;
  EnumChildWindows(
      dialog,
      [](HWND child, LPARAM param) -> BOOL {
        auto* joined = reinterpret_cast<std::wstring*>(param);
        const std::wstring text = TextOf(child);
        if (_wcsicmp(ClassOf(child).c_str(), L"Static") == 0 && !text.empty()) {
          if (!joined->empty()) *joined += L"|";
          *joined += text;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&texts));
  return texts;
}

std::vector<HWND> VisibleWindowsOf(DWORD processId) {
  struct Search {
    DWORD processId;
    std::vector<HWND> found;
  } search{processId, {}};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == s->processId && IsWindowVisible(window)) s->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void PressOk(HWND dialog) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

int MachineDefaults() {
  os::win32::Win32Registry registry;
  os::win32::Win32System system;
  controller::MachineDefaults defaults;
  defaults.model = -1;  // stays -1 when the value is missing
  defaults.autoSync = -1;
  app::ReadMachineDefaults(registry, app::ClassifyOs(system), defaults);
  Print(L"model=" + std::to_wstring(defaults.model) +
        L" autosync=" + std::to_wstring(defaults.autoSync));
  return 0;
}

int RegValue(const wchar_t* path, const wchar_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | KEY_WOW64_64KEY, &key) !=
      ERROR_SUCCESS) {
    return 1;
  }
  DWORD type = 0;
  std::vector<BYTE> data(4096);
  DWORD size = static_cast<DWORD>(data.size() - sizeof(wchar_t));
  const LONG rc = RegQueryValueExW(key, name, nullptr, &type, data.data(), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) return 1;
  if (type == REG_DWORD && size == 4) {
    DWORD value = 0;
    CopyMemory(&value, data.data(), 4);
    Print(std::to_wstring(value));
  } else if (type == REG_SZ || type == REG_EXPAND_SZ) {
    data[size] = 0;
    data[size + 1] = 0;
    Print(reinterpret_cast<const wchar_t*>(data.data()));
  } else {
    Print(L"type=" + std::to_wstring(type));
  }
  return 0;
}

bool SaveScreen(const std::wstring& path) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  SelectObject(memory, previous);
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  const DWORD stride = ((width * 3 + 3) / 4) * 4;
  std::vector<BYTE> pixels(static_cast<std::size_t>(stride) * height);
  GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header),
            DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  os::win32::FileHandle out(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!out.IsValid()) return false;
  DWORD written = 0;
  return WriteFile(out.Get(), &file, sizeof file, &written, nullptr) &&
         WriteFile(out.Get(), &header, sizeof header, &written, nullptr) &&
         WriteFile(out.Get(), pixels.data(), static_cast<DWORD>(pixels.size()), &written,
                   nullptr);
}

struct Launch {
  HANDLE process = nullptr;
  DWORD processId = 0;
};

// A shortcut's target, arguments and working folder, read as Explorer reads them.
bool ResolveShortcut(const std::wstring& link, std::wstring* program, std::wstring* arguments,
                     std::wstring* folder) {
  IShellLinkW* shellLink = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&shellLink)))) {
    return false;
  }
  IPersistFile* file = nullptr;
  bool resolved = false;
  if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    wchar_t buffer[MAX_PATH] = {};
    if (SUCCEEDED(file->Load(link.c_str(), STGM_READ)) &&
        SUCCEEDED(shellLink->GetPath(buffer, MAX_PATH, nullptr, 0)) && buffer[0] != 0) {
      *program = buffer;
      buffer[0] = 0;
      shellLink->GetArguments(buffer, MAX_PATH);
      *arguments = buffer;
      buffer[0] = 0;
      shellLink->GetWorkingDirectory(buffer, MAX_PATH);
      *folder = buffer;
      resolved = true;
    }
    file->Release();
  }
  shellLink->Release();
  return resolved;
}

// Starts TARGET, a program or a shortcut to one (in the shortcut's folder).
bool Start(const std::wstring& target, Launch* launch) {
  std::wstring program = target, arguments, folder;
  const bool isLink =
      target.size() > 4 && _wcsicmp(target.c_str() + target.size() - 4, L".lnk") == 0;
  if (isLink) {
    if (!ResolveShortcut(target, &program, &arguments, &folder)) {
      Print(L"error=cannot read the shortcut " + target);
      return false;
    }
    Print(L"shortcut_target=" + program);
    Print(L"shortcut_folder=" + folder);
  }
  std::wstring commandLine = L"\"" + program + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, &started)) {
    Print(L"error=cannot start " + program + L" (" + std::to_wstring(GetLastError()) + L")");
    return false;
  }
  CloseHandle(started.hThread);
  launch->process = started.hProcess;
  launch->processId = started.dwProcessId;
  return true;
}

// The main window: titled with the tool's name, enabled (the starting window
// has gone) and holding the track list.
bool IsMainWindow(HWND window, const std::wstring& title) {
  return TextOf(window) == title && IsWindowEnabled(window) &&
         GetDlgItem(window, IDC_TRACK_LIST) != nullptr;
}

int MainWindow(const wchar_t* target, int seconds, const wchar_t* screenshot) {
  // The title is string 102 of the string table the probe shares with the tool.
  wchar_t title[256] = {};
  {
    HMODULE self = GetModuleHandleW(nullptr);
    LoadStringW(self, IDS_APP_TITLE, title, 256);
  }
  Launch launch;
  if (!Start(target, &launch)) return 1;
  os::win32::KernelHandle process(launch.process);
  const DWORD processId = launch.processId;
  std::vector<std::wstring> seen;  // other windows, for the failure report
  int settingsPressed = 0;
  HWND main = nullptr;
  const DWORD start = GetTickCount();
  while (main == nullptr && GetTickCount() - start < static_cast<DWORD>(seconds) * 1000) {
    if (WaitForSingleObject(process.Get(), 200) == WAIT_OBJECT_0) break;
    for (HWND window : VisibleWindowsOf(processId)) {
      const std::wstring text = TextOf(window);
      if (IsMainWindow(window, title)) {
        main = window;
        break;
      }
      if (text == kSettingsDialogTitle && IsWindowEnabled(window)) {
        PressOk(window);
        ++settingsPressed;
        Sleep(300);
        continue;
      }
      const std::wstring description = L"\"" + text + L"\" " + ClassOf(window) + L" " +
                                       StaticTexts(window);
      bool known = false;
      for (const std::wstring& s : seen) known = known || s == description;
      if (!known) seen.push_back(description);
    }
  }
  for (const std::wstring& s : seen) Print(L"window=" + s);
  Print(L"settings_ok_pressed=" + std::to_wstring(settingsPressed));
  if (main == nullptr) {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process.Get(), &code);
    if (code == STILL_ACTIVE) {
      Print(L"error=no main window titled \"" + std::wstring(title) + L"\" within " +
            std::to_wstring(seconds) + L" s");
      TerminateProcess(process.Get(), 1);
    } else {
      Print(L"error=the program ended with exit code " + std::to_wstring(code) +
            L" before its main window appeared");
    }
    return 1;
  }
  Print(L"main_window=" + TextOf(main));
  Print(L"main_window_ms=" + std::to_wstring(GetTickCount() - start));
  if (screenshot != nullptr) {
    Sleep(500);  // let it paint
    if (!SaveScreen(screenshot)) Print(L"warning=screenshot not saved");
  }
  PostMessageW(main, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.Get(), 15000) != WAIT_OBJECT_0) {
    Print(L"error=the program did not end within 15 s of closing its main window");
    TerminateProcess(process.Get(), 1);
    return 1;
  }
  return 0;
}

int WhileRunning(const wchar_t* program, const wchar_t* arguments) {
  os::win32::KernelHandle mutex(CreateMutexW(nullptr, TRUE, kToolMutex));
  if (!mutex.IsValid()) {
    Print(L"error=cannot create the mutex");
    return 1;
  }
  // The arguments go as they are: an uninstaller wants "_?=folder" unquoted.
  std::wstring commandLine = L"\"" + std::wstring(program) + L"\"";
  if (arguments != nullptr) commandLine += L" " + std::wstring(arguments);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started)) {
    Print(L"error=cannot start " + commandLine);
    return 1;
  }
  os::win32::KernelHandle process(started.hProcess);
  os::win32::KernelHandle thread(started.hThread);
  const DWORD start = GetTickCount();
  while (WaitForSingleObject(process.Get(), 200) == WAIT_TIMEOUT) {
    if (GetTickCount() - start > 30000) {
      Print(L"error=still running after 30 s");
      TerminateProcess(process.Get(), 1);
      return 1;
    }
    for (HWND window : VisibleWindowsOf(started.dwProcessId)) {
      if (ClassOf(window) != L"#32770" || !IsWindowEnabled(window)) continue;
      Print(L"message=" + StaticTexts(window));
      PressOk(window);
    }
  }
  DWORD code = 0;
  GetExitCodeProcess(process.Get(), &code);
  Print(L"exit_code=" + std::to_wstring(code));
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"machine-defaults" && argc == 2) return MachineDefaults();
  if (command == L"reg-value" && argc == 4) return RegValue(argv[2], argv[3]);
  if (command == L"main-window" && (argc == 4 || argc == 5)) {
    CoInitialize(nullptr);  // for reading a shortcut; ends with the process
    return MainWindow(argv[2], _wtoi(argv[3]), argc == 5 ? argv[4] : nullptr);
  }
  if (command == L"while-running" && (argc == 3 || argc == 4)) {
    return WhileRunning(argv[2], argc == 4 ? argv[3] : nullptr);
  }
  std::fputs(
      "usage: install_probe machine-defaults | reg-value KEY NAME |\n"
      "       main-window TARGET SECONDS [SCREENSHOT.bmp] | while-running PROGRAM [ARGUMENTS]\n",
      stderr);
  return 2;
}
