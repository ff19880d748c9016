// Drives a running Marimba.exe the way a person would: finds its windows by
// title, reads texts and states of controls, and clicks buttons by message.
// One command per run; prints what it read and exits 0 on success, 1 when a
// wait timed out or a window was missing, 2 on bad usage.
//
// TITLE may end in "#ID": then only a window that has a control ID counts
// (the main window, the progress window and the prompts share one title).
//
//   count TITLE                     how many visible windows have TITLE
//   wait TITLE SECONDS              a visible top-level window titled TITLE
//   gone TITLE SECONDS              no visible window titled TITLE
//   text TITLE ID                   text of control ID
//   wait-text TITLE ID TEXT SECONDS control ID's text contains TEXT
//   enabled TITLE ID                1 or 0
//   click TITLE ID                  BM_CLICK on control ID (ID 0: the window itself gets IDOK)
//   command TITLE ID                WM_COMMAND ID posted to the window (a menu or accelerator)
//   key TITLE ID VK                 focus control ID, then WM_KEYDOWN/UP VK to it
//   settext TITLE ID TEXT           WM_SETTEXT on control ID (typing into an edit box)
//   window TITLE SECONDS            shows a top-level window TITLE for SECONDS (or until closed)
//   close TITLE                     WM_CLOSE posted to the window
//   altf4 TITLE                     Alt+F4 pressed in the window (the system's close)
//   texts TITLE                     the texts of every child control, one per line
//   rows TITLE                      rows of the track list: check|title|artist|length
//   fits TITLE COLUMN               0 when every cell of COLUMN is shown in full: text|needed|shown
//   check TITLE ROW 0|1             sets the check box of a track-list row
//   edit TITLE ROW COLUMN TEXT      clicks a track-list cell until its editor opens,
//                                   types TEXT into it and presses Enter; fails
//                                   unless the cell then holds TEXT
//   combo TITLE ID                  the selected text of a combo box
//   windows -                       every visible top-level window, one line each:
//                                   main|TRANSFER CLOSE ROWS|STATUS, progress||,
//                                   notice||TEXT, or other|TITLE|TEXTS (a message
//                                   box or dialog); one look for a poll
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr int kTrackList = 1016;

HWND FindVisible(const std::wstring& wanted) {
  std::wstring title = wanted;
  int child = 0;
  if (const auto mark = wanted.rfind(L'#'); mark != std::wstring::npos && mark + 1 < wanted.size()) {
    title = wanted.substr(0, mark);
    child = static_cast<int>(std::wcstol(wanted.c_str() + mark + 1, nullptr, 10));
  }
  struct Search {
    const std::wstring* title;
    int child;
    HWND found;
  } search{&title, child, nullptr};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        wchar_t text[512] = {};
        GetWindowTextW(window, text, 512);
        if (IsWindowVisible(window) && *s->title == text &&
            (s->child == 0 || GetDlgItem(window, s->child) != nullptr)) {
          s->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

int CountVisible(const std::wstring& title) {
  struct Count {
    const std::wstring* title;
    int count;
  } count{&title, 0};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* c = reinterpret_cast<Count*>(param);
        wchar_t text[512] = {};
        GetWindowTextW(window, text, 512);
        std::wstring name = *c->title;
        int child = 0;
        if (const auto mark = name.rfind(L'#'); mark != std::wstring::npos) {
          child = static_cast<int>(std::wcstol(name.c_str() + mark + 1, nullptr, 10));
          name.resize(mark);
        }
        if (IsWindowVisible(window) && name == text && (!child || GetDlgItem(window, child))) {
          ++c->count;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count.count;
}

HWND WaitFor(const std::wstring& title, double seconds) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(seconds * 1000);
  for (;;) {
    if (HWND window = FindVisible(title)) return window;
    if (static_cast<LONG>(GetTickCount() - end) >= 0) return nullptr;
    Sleep(100);
  }
}

std::wstring TextOf(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

void Print(const std::wstring& text) {
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8.data(), bytes, nullptr, nullptr);
  std::fputs(utf8.c_str(), stdout);
  std::fputs("\n", stdout);
}

// Memory in the other process for the list-view messages that carry pointers.
class RemoteBuffer {
 public:
  RemoteBuffer(HWND window, std::size_t size) : size_(size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_) {
      memory_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
  }
  ~RemoteBuffer() {
    if (memory_) VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;
  bool Valid() const { return memory_ != nullptr; }
  char* Address() const { return static_cast<char*>(memory_); }
  bool Write(std::size_t offset, const void* data, std::size_t bytes) {
    return offset + bytes <= size_ &&
           WriteProcessMemory(process_, Address() + offset, data, bytes, nullptr);
  }
  bool Read(std::size_t offset, void* data, std::size_t bytes) {
    return offset + bytes <= size_ &&
           ReadProcessMemory(process_, Address() + offset, data, bytes, nullptr);
  }

 private:
  HANDLE process_ = nullptr;
  void* memory_ = nullptr;
  std::size_t size_;
};

std::wstring CellText(HWND list, RemoteBuffer& remote, int row, int column) {
  constexpr std::size_t kChars = 260;
  LVITEMW item = {};
  item.iSubItem = column;
  item.cchTextMax = kChars;
  item.pszText = reinterpret_cast<LPWSTR>(remote.Address() + sizeof item);
  remote.Write(0, &item, sizeof item);
  SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(remote.Address()));
  wchar_t text[kChars] = {};
  remote.Read(sizeof item, text, sizeof text - sizeof(wchar_t));
  return text;
}

int Rows(HWND window) {
  HWND list = GetDlgItem(window, kTrackList);
  if (!list) return 1;
  RemoteBuffer remote(list, 4096);
  if (!remote.Valid()) return 1;
  const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    const LRESULT state = SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row),
                                       LVIS_STATEIMAGEMASK);
    const bool checked = ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
    Print(std::wstring(checked ? L"1" : L"0") + L"|" + CellText(list, remote, row, 0) + L"|" +
          CellText(list, remote, row, 1) + L"|" + CellText(list, remote, row, 2));
  }
  return 0;
}

// Whether every row's text in `column` fits the part of its cell the list
// shows (cut by the list's edge or a scroll bar) with the cell margins of six
// pixels a side, so no cell is cut to "00:…". Prints "text|needed|shown".
int Fits(HWND window, int column) {
  constexpr int kCellMargins = 12;
  HWND list = GetDlgItem(window, kTrackList);
  if (!list) return 1;
  RemoteBuffer remote(list, 4096);
  if (!remote.Valid()) return 1;
  RECT client = {};
  GetClientRect(list, &client);
  const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  bool all = count > 0;
  for (int row = 0; row < count; ++row) {
    const std::wstring text = CellText(list, remote, row, column);
    RECT cell = {LVIR_BOUNDS, column, 0, 0};  // left: the part, top: the column
    remote.Write(0, &cell, sizeof cell);
    SendMessageW(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(remote.Address()));
    remote.Read(0, &cell, sizeof cell);
    const int shown = static_cast<int>(std::min(cell.right, client.right) - cell.left);
    remote.Write(0, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    const int needed = static_cast<int>(SendMessageW(list, LVM_GETSTRINGWIDTHW, 0,
                                                     reinterpret_cast<LPARAM>(remote.Address()))) +
                       kCellMargins;
    Print(text + L"|" + std::to_wstring(needed) + L"|" + std::to_wstring(shown));
    all = all && !text.empty() && needed <= shown;
  }
  return all ? 0 : 1;
}

int Check(HWND window, int row, bool on) {
  HWND list = GetDlgItem(window, kTrackList);
  if (!list) return 1;
  RemoteBuffer remote(list, sizeof(LVITEMW));
  if (!remote.Valid()) return 1;
  LVITEMW item = {};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(on ? 2 : 1);
  remote.Write(0, &item, sizeof item);
  return SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                      reinterpret_cast<LPARAM>(remote.Address()))
             ? 0
             : 1;
}

// The in-place editor of the track list: its visible edit box.
HWND VisibleEditor(HWND list) {
  for (HWND child = GetWindow(list, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t name[32] = {};
    GetClassNameW(child, name, 32);
    if (_wcsicmp(name, L"Edit") == 0 && IsWindowVisible(child)) return child;
  }
  return nullptr;
}

// How long one step of the window may take on a loaded machine.
constexpr DWORD kPatience = 30000;

// Polls `done` every 50 ms for up to `milliseconds`; whether it held.
template <typename Done>
bool Within(DWORD milliseconds, Done done) {
  const DWORD end = GetTickCount() + milliseconds;
  for (;;) {
    if (done()) return true;
    if (static_cast<LONG>(GetTickCount() - end) >= 0) return false;
    Sleep(50);
  }
}

bool SelectedAndFocused(HWND list, int row) {
  const UINT both = LVIS_SELECTED | LVIS_FOCUSED;
  return (static_cast<UINT>(SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), both)) &
          both) == both;
}

void PostClick(HWND list, LPARAM at) {
  PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(list, WM_LBUTTONUP, 0, at);
}

// A person's way in: a click selects the row, a click on the selected row's
// cell opens its editor; then the text typed at once and Enter. Each click
// waits for what it does before the next is sent: a window slow to answer
// must not get a click too many, which would close the editor again.
int EditCell(HWND window, int row, int column, const std::wstring& text) {
  HWND list = GetDlgItem(window, kTrackList);
  if (!list) return 1;
  RemoteBuffer remote(list, 4096);
  if (!remote.Valid()) return 1;
  RECT cell = {LVIR_LABEL, column, 0, 0};  // in: the part wanted and the column
  remote.Write(0, &cell, sizeof cell);
  if (!SendMessageW(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row),
                    reinterpret_cast<LPARAM>(remote.Address())) ||
      !remote.Read(0, &cell, sizeof cell)) {
    return 1;
  }
  const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
  HWND editor = nullptr;
  auto opened = [&] { return (editor = VisibleEditor(list)) != nullptr; };
  // A refill of the list in between (an engine event) takes the selection
  // away: then the row is selected again.
  for (int attempt = 0; attempt < 3 && !editor; ++attempt) {
    if (!SelectedAndFocused(list, row)) {
      PostClick(list, at);
      if (!Within(kPatience, [&] { return SelectedAndFocused(list, row) || opened(); })) return 1;
      if (editor) break;
    }
    PostClick(list, at);
    Within(kPatience, [&] { return opened() || !SelectedAndFocused(list, row); });
  }
  if (!editor) return 1;
  // Typed as characters, straight after the editor showed, then Enter.
  for (wchar_t c : text) PostMessageW(editor, WM_CHAR, c, 1);
  PostMessageW(editor, WM_KEYDOWN, VK_RETURN, 1);
  PostMessageW(editor, WM_KEYUP, VK_RETURN, 0xC0000001);
  // Accepted: the editor hides and the cell holds every character.
  if (!Within(kPatience, [&] { return !IsWindowVisible(editor); })) return 1;
  const std::wstring taken = CellText(list, remote, row, column);
  if (taken != text) {
    Print(L"the cell holds: " + taken);
    return 1;
  }
  return 0;
}

int Texts(HWND window) {
  EnumChildWindows(
      window,
      [](HWND child, LPARAM) -> BOOL {
        wchar_t line[32];
        std::swprintf(line, 32, L"%d:", GetDlgCtrlID(child));
        Print(line + TextOf(child));
        return TRUE;
      },
      0);
  return 0;
}

// The window's child texts on one line.
std::wstring ChildTexts(HWND window) {
  std::wstring all;
  EnumChildWindows(
      window,
      [](HWND child, LPARAM param) -> BOOL {
        auto* texts = reinterpret_cast<std::wstring*>(param);
        const std::wstring text = TextOf(child);
        if (!text.empty()) *texts += (texts->empty() ? L"" : L" ") + text;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&all));
  std::replace(all.begin(), all.end(), L'\n', L' ');
  std::replace(all.begin(), all.end(), L'\r', L' ');
  return all;
}

int Windows() {
  EnumWindows(
      [](HWND window, LPARAM) -> BOOL {
        if (!IsWindowVisible(window)) return TRUE;
        auto enabled = [&](int id) {
          HWND control = GetDlgItem(window, id);
          return std::wstring(control && IsWindowEnabled(control) ? L"1" : L"0");
        };
        if (HWND list = GetDlgItem(window, kTrackList)) {
          HWND status = GetDlgItem(window, 1018);
          std::wstring text = status ? TextOf(status) : L"";
          std::replace(text.begin(), text.end(), L'\n', L' ');
          std::replace(text.begin(), text.end(), L'\r', L' ');
          Print(L"main|" + enabled(1014) + L" " + enabled(2) + L" " +
                std::to_wstring(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) + L"|" + text);
        } else if (GetDlgItem(window, 1022)) {
          Print(L"progress||");
        } else if (GetDlgItem(window, 1038)) {
          Print(L"notice||" + ChildTexts(window));
        } else if (GetWindowTextLengthW(window) > 0) {
          Print(L"other|" + TextOf(window) + L"|" + ChildTexts(window));
        }
        return TRUE;
      },
      0);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  const std::wstring command = argv[1];
  const std::wstring title = argv[2];
  auto number = [&](int index) { return index < argc ? std::wcstol(argv[index], nullptr, 10) : 0; };
  auto seconds = [&](int index) { return index < argc ? std::wcstod(argv[index], nullptr) : 0.0; };

  if (command == L"wait") return WaitFor(title, seconds(3)) ? 0 : 1;
  if (command == L"window") {
    // A stand-in for another program's window (the player application).
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
      if (message == WM_DESTROY) PostQuitMessage(0);
      return DefWindowProcW(window, message, wParam, lParam);
    };
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"MarimbaDriverWindow";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(L"MarimbaDriverWindow", title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                10, 10, 300, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window) return 1;
    SetTimer(window, 1, static_cast<UINT>(seconds(3) * 1000), nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      if (message.message == WM_TIMER) {
        DestroyWindow(window);
        continue;
      }
      DispatchMessageW(&message);
    }
    return 0;
  }
  if (command == L"windows") return Windows();
  if (command == L"count") {
    std::wprintf(L"%d\n", CountVisible(title));
    return 0;
  }
  if (command == L"gone") {
    const DWORD end = GetTickCount() + static_cast<DWORD>(seconds(3) * 1000);
    while (FindVisible(title)) {
      if (static_cast<LONG>(GetTickCount() - end) >= 0) return 1;
      Sleep(100);
    }
    return 0;
  }

  HWND window = command == L"wait-text" ? WaitFor(title, seconds(5)) : FindVisible(title);
  if (!window) return 1;
  const int id = static_cast<int>(number(3));
  HWND control = id ? GetDlgItem(window, id) : window;

  if (command == L"text") {
    if (!control) return 1;
    Print(TextOf(control));
    return 0;
  }
  if (command == L"wait-text") {
    if (argc < 6) return 2;
    const std::wstring wanted = argv[4];
    const DWORD end = GetTickCount() + static_cast<DWORD>(seconds(5) * 1000);
    for (;;) {
      control = GetDlgItem(window, id);
      if (control && TextOf(control).find(wanted) != std::wstring::npos) return 0;
      if (static_cast<LONG>(GetTickCount() - end) >= 0 || !IsWindow(window)) {
        if (control) Print(TextOf(control));
        return 1;
      }
      Sleep(100);
    }
  }
  if (command == L"enabled") {
    if (!control) return 1;
    Print(IsWindowEnabled(control) ? L"1" : L"0");
    return 0;
  }
  if (command == L"click") {
    if (!control) return 1;
    if (!id) return PostMessageW(window, WM_COMMAND, IDOK, 0) ? 0 : 1;
    return PostMessageW(control, BM_CLICK, 0, 0) ? 0 : 1;
  }
  if (command == L"command") {
    return PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(id), 0) ? 0 : 1;
  }
  if (command == L"key") {
    if (!control) return 1;
    const auto key = static_cast<WPARAM>(number(4));
    // Focus belongs to the target's thread: attach to it for the call.
    const DWORD target = GetWindowThreadProcessId(window, nullptr);
    AttachThreadInput(GetCurrentThreadId(), target, TRUE);
    SetForegroundWindow(window);
    SetFocus(control);
    AttachThreadInput(GetCurrentThreadId(), target, FALSE);
    PostMessageW(control, WM_KEYDOWN, key, 1);
    PostMessageW(control, WM_KEYUP, key, 0xC0000001);
    return 0;
  }
  if (command == L"settext") {
    if (!control || argc < 5) return 2;
    return SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4])) ? 0 : 1;
  }
  if (command == L"close") return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
  if (command == L"altf4") {
    // The key with Alt held (context bit 29): the window's default handling
    // turns it into the system menu's Close.
    constexpr LPARAM kAltDown = 1 | (0x3E << 16) | (1 << 29);
    return PostMessageW(window, WM_SYSKEYDOWN, VK_F4, kAltDown) &&
                   PostMessageW(window, WM_SYSKEYUP, VK_F4, kAltDown | (3u << 30))
               ? 0
               : 1;
  }
  if (command == L"texts") return Texts(window);
  if (command == L"rows") return Rows(window);
  if (command == L"fits") return Fits(window, number(3));
  if (command == L"check") return Check(window, id, number(4) != 0);
  if (command == L"edit") {
    if (argc < 6) return 2;
    return EditCell(window, id, static_cast<int>(number(4)), argv[5]);
  }
  if (command == L"combo") {
    if (!control) return 1;
    const LRESULT selected = SendMessageW(control, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR) return 1;
    const LRESULT length = SendMessageW(control, CB_GETLBTEXTLEN, static_cast<WPARAM>(selected), 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(control, CB_GETLBTEXT, static_cast<WPARAM>(selected),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    Print(text);
    return 0;
  }
  return 2;
}
