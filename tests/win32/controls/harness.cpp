#include "harness.h"

#include <cstdlib>
#include <algorithm>
#include <memory>

#include "ui/win32/dialog.h"
#include "ui/win32/gdi.h"

namespace harness {

namespace {

const wchar_t kParentClass[] = L"MarimbaTestParent";

}  // namespace

ParentWindow::ParentWindow(int width, int height) {
  static const ATOM atom = [] {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kParentClass;
    return RegisterClassW(&windowClass);
  }();
  (void)atom;
  window_ = CreateWindowExW(0, kParentClass, L"Test parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                            20, 20, width, height, nullptr, nullptr, GetModuleHandleW(nullptr),
                            this);
  SetForegroundWindow(window_);
  Pump(30);
}

ParentWindow::~ParentWindow() {
  if (window_) DestroyWindow(window_);
}

std::vector<ParentWindow::Record> ParentWindow::RecordsOf(UINT message) const {
  std::vector<Record> found;
  for (const Record& record : records_) {
    if (record.message == message) found.push_back(record);
  }
  return found;
}

LRESULT CALLBACK ParentWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<ParentWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (self->onNotify && self->onNotify(reinterpret_cast<NMHDR*>(lParam), &result)) {
        return result;
      }
      break;
    }
    case WM_DRAWITEM:
      if (self->onDrawItem && self->onDrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam))) {
        return TRUE;
      }
      break;
    case WM_CTLCOLORSTATIC: {
      HBRUSH brush = nullptr;
      if (self->onCtlColorStatic &&
          self->onCtlColorStatic(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam),
                                 &brush)) {
        return reinterpret_cast<LRESULT>(brush);
      }
      break;
    }
    case WM_ERASEBKGND:
      ++self->erases;
      break;
    case WM_COMMAND:
      self->records_.push_back({message, wParam, lParam});
      return 0;
    case WM_NCDESTROY:
      self->window_ = nullptr;
      break;
    default:
      if (message >= WM_APP && message < 0xC000) {
        self->records_.push_back({message, wParam, lParam});
        return 0;
      }
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void PostKey(HWND window, UINT virtualKey) {
  PostMessageW(window, WM_KEYDOWN, virtualKey, 1);
  PostMessageW(window, WM_KEYUP, virtualKey, 0xC0000001);
}

void PostChars(HWND window, const std::wstring& text) {
  for (wchar_t c : text) PostMessageW(window, WM_CHAR, c, 1);
}

void PostClick(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  const LPARAM at = MAKELPARAM(client.right / 2, client.bottom / 2);
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(window, WM_LBUTTONUP, 0, at);
}

namespace {

struct FindRequest {
  std::wstring title;
  HWND found = nullptr;
};

BOOL CALLBACK FindDialogProc(HWND window, LPARAM lParam) {
  auto* request = reinterpret_cast<FindRequest*>(lParam);
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  if (std::wstring(className) != L"#32770" || !IsWindowVisible(window)) return TRUE;
  if (!request->title.empty() && TextOf(window) != request->title) return TRUE;
  request->found = window;
  return FALSE;
}

struct ScriptState {
  std::vector<std::function<bool()>> steps;
  std::size_t next = 0;
};
std::unique_ptr<ScriptState> running;

}  // namespace

HWND FindDialog(const std::wstring& title) {
  FindRequest request{title};
  EnumThreadWindows(GetCurrentThreadId(), FindDialogProc, reinterpret_cast<LPARAM>(&request));
  return request.found;
}

Script::Script(std::vector<std::function<bool()>> steps, UINT intervalMs) {
  running = std::make_unique<ScriptState>(ScriptState{std::move(steps)});
  timer_ = SetTimer(nullptr, 0, intervalMs, Tick);
}

Script::~Script() {
  KillTimer(nullptr, timer_);
  running.reset();
}

bool Script::Done() const { return running && running->next >= running->steps.size(); }

void CALLBACK Script::Tick(HWND, UINT, UINT_PTR, DWORD) {
  if (!running || running->next >= running->steps.size()) return;
  // A step may run a nested loop of its own; it must not be entered twice.
  static bool inStep = false;
  if (inStep) return;
  inStep = true;
  if (running->steps[running->next]()) ++running->next;
  inStep = false;
}

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace harness
