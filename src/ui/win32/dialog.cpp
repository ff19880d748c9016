#include "ui/win32/dialog.h"

#include <algorithm>
#include <vector>

#include "os/win32/message_guard.h"

namespace ui::win32 {
namespace {

// Modeless dialogs of this thread, for RouteDialogMessage.
thread_local std::vector<Dialog*> modelessDialogs;

UINT QueryCancelAutoPlay() {
  static const UINT message = RegisterWindowMessageW(L"QueryCancelAutoPlay");
  return message;
}

}  // namespace

Dialog::Dialog(int templateId) : templateId_(templateId) {}

Dialog::~Dialog() {
  // The derived part is gone: no handler may run while the window goes.
  dying_ = true;
  if (window_) DestroyWindow(window_);
  auto& list = modelessDialogs;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

HWND Dialog::CreateWindowFor(HWND parent) {
  ended_ = false;
  result_ = IDCANCEL;
  QueryCancelAutoPlay();
  return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), parent,
                            DialogProc, reinterpret_cast<LPARAM>(this));
}

HWND Dialog::CreateModeless(HWND parent) {
  if (window_) return window_;
  if (!CreateWindowFor(parent)) return nullptr;
  modeless_ = true;
  modelessDialogs.push_back(this);
  return window_;
}

INT_PTR Dialog::RunModal(HWND parent) {
  if (window_) return -1;
  // Set first: a dialog may end its run while it initialises.
  modal_ = true;
  if (!CreateWindowFor(parent)) {
    modal_ = false;
    return -1;
  }
  const bool disableParent = parent && IsWindowEnabled(parent);
  if (disableParent) EnableWindow(parent, FALSE);
  ShowWindow(window_, SW_SHOW);
  while (!ended_ && window_) {
    MSG message;
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      // WM_QUIT belongs to the outer loop.
      if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (Owns(message.hwnd) ? Filter(message) : RouteDialogMessage(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  // The parent is enabled before the dialog goes, so activation returns to it.
  if (disableParent) EnableWindow(parent, TRUE);
  if (window_) {
    if (parent && GetActiveWindow() == window_) SetActiveWindow(parent);
    DestroyWindow(window_);
  }
  modal_ = false;
  return result_;
}

void Dialog::End(INT_PTR result) {
  result_ = result;
  ended_ = true;
  // Wakes the modal loop should nothing else be queued.
  if (window_) PostMessageW(window_, WM_NULL, 0, 0);
}

void Dialog::DestroyNow() {
  if (window_) DestroyWindow(window_);
}

bool Dialog::HasFocus(int id) const {
  HWND focus = GetFocus();
  return focus != nullptr && focus == Item(id);
}

bool Dialog::PressFocusedButton(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_RETURN) return false;
  if (HasFocus(IDOK)) {
    OnOK();
    return true;
  }
  if (HasFocus(IDCANCEL)) {
    OnCancel();
    return true;
  }
  return false;
}

bool Dialog::IsSwallowedKey(WPARAM key) {
  switch (key) {
    case VK_ESCAPE:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_F1:
      return true;
    default:
      return false;
  }
}

bool Dialog::OnOkOrCancel(int id, int code) {
  if (code != BN_CLICKED) return false;
  if (id == IDOK) {
    OnOK();
    return true;
  }
  if (id == IDCANCEL) {
    OnCancel();
    return true;
  }
  return false;
}

INT_PTR Dialog::Answer(LRESULT value) {
  SetWindowLongPtrW(window_, DWLP_MSGRESULT, value);
  return TRUE;
}

void Dialog::PumpOne() {
  if (!window_) return;
  MSG message;
  if (PeekMessageW(&message, window_, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

void Dialog::CentreOn(HWND over) {
  if (!window_) return;
  RECT area;
  if (!over || !IsWindowVisible(over) || IsIconic(over) || !GetWindowRect(over, &area)) {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  }
  RECT own;
  GetWindowRect(window_, &own);
  const int width = own.right - own.left;
  const int height = own.bottom - own.top;
  RECT screen;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &screen, 0);
  // Centred, but never off the screen.
  int x = area.left + ((area.right - area.left) - width) / 2;
  int y = area.top + ((area.bottom - area.top) - height) / 2;
  x = std::max(static_cast<int>(screen.left), std::min(x, static_cast<int>(screen.right) - width));
  y = std::max(static_cast<int>(screen.top), std::min(y, static_cast<int>(screen.bottom) - height));
  SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Dialog::Owns(HWND window) const {
  return window_ && window && (window == window_ || IsChild(window_, window));
}

bool Dialog::Filter(MSG& message) {
  if (PreTranslate(message)) return true;
  return window_ && IsDialogMessageW(window_, &message);
}

bool RouteDialogMessage(MSG& message) {
  // A copy: a handler may create or destroy dialogs.
  const std::vector<Dialog*> dialogs = modelessDialogs;
  for (Dialog* dialog : dialogs) {
    if (std::find(modelessDialogs.begin(), modelessDialogs.end(), dialog) ==
        modelessDialogs.end()) {
      continue;
    }
    if (dialog->Owns(message.hwnd)) return dialog->Filter(message);
  }
  return false;
}

INT_PTR CALLBACK Dialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Dialog* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<Dialog*>(lParam);
    self->window_ = window;
    SetWindowLongPtrW(window, DWLP_USER, lParam);
  } else {
    self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, DWLP_USER));
  }
  if (!self) return FALSE;
  INT_PTR result = FALSE;
  if (!self->dying_) {
    // Nothing may escape into the system.
    bool failed = true;
    result = os::win32::GuardMessage<INT_PTR>(FALSE, [&] {
      const INT_PTR handled = self->Dispatch(message, wParam, lParam);
      failed = false;
      return handled;
    });
    if (failed) {
      os::win32::GuardMessage<int>(0, [&] {
        self->OnHandlerFailed();
        return 0;
      });
    }
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, DWLP_USER, 0);
    self->window_ = nullptr;
    if (self->modeless_) {
      auto& list = modelessDialogs;
      list.erase(std::remove(list.begin(), list.end(), self), list.end());
      self->modeless_ = false;
    }
  }
  return result;
}

INT_PTR Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  if (refuseAutoPlay_ && message == QueryCancelAutoPlay()) return Answer(1);
  switch (message) {
    case WM_INITDIALOG:
      return OnInit() ? TRUE : FALSE;
    case WM_COMMAND:
      return OnCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_TIMER:
      return OnTimer(wParam) ? TRUE : FALSE;
    case WM_DESTROY:
      OnDestroy();
      return FALSE;
    default: {
      INT_PTR result = FALSE;
      return OnMessage(message, wParam, lParam, result) ? result : FALSE;
    }
  }
}

}  // namespace ui::win32
