// Prints what a running program holds, for tools/soak: one UTF-8 line
//   working_set_kb=N handles=N gdi=N user=N gdi_source=S user_source=S
// of the process that owns the visible window titled TITLE with a control
// ID (as the driver finds windows: "TITLE#ID").
//
// GetGuiResources is answered where the platform has it. Wine has no count
// behind it (it fails with ERROR_CALL_NOT_IMPLEMENTED); there the GDI count
// is read from the process's GDI handle table (the PEB's
// GdiSharedHandleTable: live entries that are not stock objects) and the
// USER count is that of the process's windows (top-level and child), the
// USER objects it makes most. The *_source fields say which was used.
//
// usage: resource_probe TITLE#ID
#include <windows.h>
#include <psapi.h>
#include <winternl.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "os/win32/unique_handle.h"

namespace {

struct Target {
  std::wstring title;
  int child;
  HWND found;
};

HWND FindWindowWithChild(const std::wstring& wanted) {
  Target target{wanted, 0, nullptr};
  if (const auto mark = wanted.rfind(L'#'); mark != std::wstring::npos) {
    target.title = wanted.substr(0, mark);
    target.child = static_cast<int>(std::wcstol(wanted.c_str() + mark + 1, nullptr, 10));
  }
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* t = reinterpret_cast<Target*>(param);
        wchar_t text[512] = {};
        GetWindowTextW(window, text, 512);
        if (IsWindowVisible(window) && t->title == text &&
            (t->child == 0 || GetDlgItem(window, t->child))) {
          t->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&target));
  return target.found;
}

// The process's windows, top-level and child.
int WindowsOf(DWORD pid) {
  struct Count {
    DWORD pid;
    int windows;
  } count{pid, 0};
  auto countChild = [](HWND, LPARAM param) -> BOOL {
    ++reinterpret_cast<Count*>(param)->windows;
    return TRUE;
  };
  struct Walk {
    Count* count;
    WNDENUMPROC child;
  } walk{&count, countChild};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* w = reinterpret_cast<Walk*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != w->count->pid) return TRUE;
        ++w->count->windows;
        EnumChildWindows(window, w->child, reinterpret_cast<LPARAM>(w->count));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&walk));
  return count.windows;
}

// Live, non-stock entries of the process's GDI handle table; -1 unreadable.
int GdiTableEntries(HANDLE process) {
  // An entry of the table as Wine 8 lays it out (24 bytes, as on 64-bit
  // Windows): the upper word of the handle (its stock bit 0x80) and the
  // object's type, 0 once the handle is freed.
  struct Entry {
    std::uint64_t object;
    std::uint32_t owner;
    std::uint16_t upper;
    std::uint8_t type;
    std::uint8_t flags;
    std::uint64_t user;
  };
  static_assert(sizeof(Entry) == 24);
  constexpr std::size_t kEntries = 0x10000;
  constexpr std::size_t kPebGdiTable = 0xF8;  // PEB.GdiSharedHandleTable (x64)
  using Query = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
  auto query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  PROCESS_BASIC_INFORMATION basic = {};
  if (!query || query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) {
    return -1;
  }
  std::uint64_t table = 0;
  if (!ReadProcessMemory(process, reinterpret_cast<const char*>(basic.PebBaseAddress) + kPebGdiTable,
                         &table, sizeof table, nullptr) ||
      table == 0) {
    return -1;
  }
  std::vector<Entry> entries(kEntries);
  if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(),
                         entries.size() * sizeof(Entry), nullptr)) {
    return -1;
  }
  int live = 0;
  for (const Entry& entry : entries) {
    if (entry.type != 0 && !(entry.upper & 0x80)) ++live;
  }
  return live;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  HWND window = FindWindowWithChild(argv[1]);
  if (!window) return 1;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  os::win32::KernelHandle process(
      OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
  if (!process.IsValid()) return 1;

  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(process.Get(), &memory, sizeof memory);
  DWORD handles = 0;
  GetProcessHandleCount(process.Get(), &handles);

  SetLastError(0);
  long gdi = static_cast<long>(GetGuiResources(process.Get(), GR_GDIOBJECTS));
  long user = static_cast<long>(GetGuiResources(process.Get(), GR_USEROBJECTS));
  const bool counted = GetLastError() != ERROR_CALL_NOT_IMPLEMENTED && (gdi > 0 || user > 0);
  if (!counted) {
    gdi = GdiTableEntries(process.Get());
    user = WindowsOf(pid);
  }
  std::printf("working_set_kb=%lu handles=%lu gdi=%ld user=%ld gdi_source=%s user_source=%s\n",
              static_cast<unsigned long>(memory.WorkingSetSize / 1024),
              static_cast<unsigned long>(handles), gdi, user,
              counted ? "GetGuiResources" : "handle_table", counted ? "GetGuiResources" : "windows");
  return 0;
}
