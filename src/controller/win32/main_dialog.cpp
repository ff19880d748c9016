#include "controller/win32/main_dialog.h"

#include <commctrl.h>
#include <windowsx.h>

#include "controller/win32/main_window_parts.h"
#include "engine/player_messages.h"
#include "os/win32/message_guard.h"
#include "resources/resource.h"
#include "ui/win32/dialog.h"

namespace controller::win32 {

MainDialog::MainDialog(HINSTANCE instance, const res::IStringTable& strings,
                       os::Platform& platform, const controller::CMarimbaApp& app)
    : instance_(instance), strings_(strings), platform_(platform), app_(app) {}

MainDialog::~MainDialog() {
  if (window_) DestroyWindow(window_);
}

HWND MainDialog::Create(HWND owner) {
  queryCancelAutoPlay_ = RegisterWindowMessageW(L"QueryCancelAutoPlay");
  return CreateDialogParamW(instance_, MAKEINTRESOURCEW(IDD_MAIN), owner, DialogProc,
                            reinterpret_cast<LPARAM>(this));
}

INT_PTR MainDialog::RunModal(HWND owner) {
  modal_ = true;
  ended_ = false;
  if (!Create(owner)) return -1;
  const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
  if (ownerWasEnabled) EnableWindow(owner, FALSE);
  MSG message;
  while (!ended_) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (PreTranslate(message)) continue;
    // The progress windows look at their keys first (Enter on Cancel, the
    // keys they swallow).
    if (ui::win32::RouteDialogMessage(message)) continue;
    if (!window_ || !IsDialogMessageW(window_, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  if (ownerWasEnabled) EnableWindow(owner, TRUE);
  if (window_) DestroyWindow(window_);
  return result_;
}

void MainDialog::EndModal(INT_PTR result) {
  result_ = result;
  ended_ = true;
  if (!modal_ && window_) DestroyWindow(window_);
}

bool MainDialog::PreTranslate(const MSG& message) {
  if (message.message != WM_KEYDOWN || !window_) return false;
  if (message.hwnd != window_ && !IsChild(window_, message.hwnd)) return false;
  const bool editing = trackList_.IsCellEditActive();
  switch (message.wParam) {
    case VK_RETURN: {
      if (editing) return false;  // the list's editor takes it
      // The focused button's command, as a click would run it.
      const HWND focus = GetFocus();
      for (int id : {IDC_EXPLORER, IDC_TRANSFER, IDC_SETTINGS, IDC_CLOSE, IDC_ALBUM}) {
        if (focus && focus == GetDlgItem(window_, id)) {
          OnCommand(id, BN_CLICKED);
          break;
        }
      }
      return true;
    }
    case VK_ESCAPE:
      return !editing;  // Escape never closes the window
    case VK_F1:
      return true;  // there is no help
    default:
      return false;
  }
}

INT_PTR CALLBACK MainDialog::DialogProc(HWND window, UINT message, WPARAM wParam,
                                        LPARAM lParam) {
  MainDialog* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<MainDialog*>(lParam);
    self->window_ = window;
    SetWindowLongPtrW(window, DWLP_USER, lParam);
  } else {
    self = reinterpret_cast<MainDialog*>(GetWindowLongPtrW(window, DWLP_USER));
  }
  if (!self) return FALSE;
  // Engine events arrive here synchronously from the engine's callbacks:
  // a handler that throws drops its message instead of unwinding into the
  // dialog manager.
  bool failed = true;
  const INT_PTR handled = os::win32::GuardMessage<INT_PTR>(FALSE, [&] {
    const INT_PTR result = self->HandleMessage(message, wParam, lParam);
    failed = false;
    return result;
  });
  // Whatever the failed handler left half done must not hold the window.
  if (failed && self->parts_) {
    os::win32::GuardMessage<int>(0, [&] {
      self->parts_->dialog.RecoverAfterFailure();
      return 0;
    });
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, DWLP_USER, 0);
    self->window_ = nullptr;
  }
  return handled;
}

INT_PTR MainDialog::Answer(LRESULT result) {
  SetWindowLongPtrW(window_, DWLP_MSGRESULT, result);
  return TRUE;
}

INT_PTR MainDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (queryCancelAutoPlay_ != 0 && message == queryCancelAutoPlay_) {
    return Answer(1);  // no AutoPlay for a disc inserted while we are in front
  }
  if (message >= engine::kMsgFirstPlayerEvent && message <= engine::kMsgLastPlayerEvent) {
    if (!parts_) return FALSE;
    return Answer(parts_->dialog.OnPlayerEvent(message, wParam, lParam));
  }
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog();
      return FALSE;  // the focus is placed by the start-up
    case WM_COMMAND:
      return OnCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      LRESULT result = 0;
      if (header && header->hwndFrom == trackList_.Window() &&
          trackList_.OnParentNotify(*header, &result)) {
        return Answer(result);
      }
      return FALSE;
    }
    case WM_TIMER:
      if (parts_) parts_->dialog.OnTimer(static_cast<unsigned>(wParam));
      return FALSE;  // and on to the default processing
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) >= ID_SYSCMD_ABOUT && (wParam & 0xFFF0) <= 31) {
        OnSysCommand(wParam);
        return TRUE;
      }
      return FALSE;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      // A press on the window's own surface ends a cell edit.
      trackList_.FinishCellEdit(true);
      return FALSE;
    case WM_NCHITTEST:
      return Answer(OnNcHitTest(lParam));
    case WM_ERASEBKGND:
      return OnEraseBackground(reinterpret_cast<HDC>(wParam)) ? Answer(TRUE) : FALSE;
    case WM_PAINT:
      if (!IsIconic(window_)) return FALSE;
      OnPaintIconic();
      return TRUE;
    case WM_QUERYDRAGICON:
      return reinterpret_cast<INT_PTR>(bigIcon_);
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      for (const auto& button : buttons_) {
        if (button.Window() == item->hwndItem) {
          button.DrawItem(*item);
          return TRUE;
        }
      }
      return FALSE;
    }
    case WM_CTLCOLORSTATIC:
      if (auto* label = LabelOf(reinterpret_cast<HWND>(lParam))) {
        return reinterpret_cast<INT_PTR>(label->OnCtlColor(reinterpret_cast<HDC>(wParam)));
      }
      return FALSE;
    case WM_CLOSE: {
      // Alt+F4, the system menu and the taskbar end the tool only when the
      // Close button may: never in the middle of a rip or a synchronisation.
      HWND close = GetDlgItem(window_, IDC_CLOSE);
      if (close && !IsWindowEnabled(close)) return TRUE;
      if (parts_) {
        parts_->dialog.OnCommand(IDC_CLOSE, Notify::kClicked);
      } else {
        EndModal(IDCANCEL);
      }
      return TRUE;
    }
    case WM_SETCURSOR:
      // While busy the wait cursor stays, whatever the mouse passes over.
      if (waitCursorDepth_ == 0) return FALSE;
      SetCursor(LoadCursorW(nullptr, IDC_WAIT));
      return Answer(TRUE);
    case WM_DESTROY:
      OnDestroy();
      return FALSE;
    default:
      return FALSE;
  }
}

void MainDialog::OnSysCommand(WPARAM) {
  DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_ABOUT), window_,
                  [](HWND about, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
                    if (message == WM_INITDIALOG) return TRUE;
                    if (message == WM_COMMAND &&
                        (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
                      EndDialog(about, LOWORD(wParam));
                      return TRUE;
                    }
                    return FALSE;
                  },
                  0);
}

bool MainDialog::OnCommand(int id, int code) {
  if (!parts_) {
    if (id == IDC_CLOSE) EndModal(IDCANCEL);
    return id == IDC_CLOSE;
  }
  switch (id) {
    case ID_TRACK_EDIT:
      trackList_.EditSelectedRow();
      return true;
    case ID_TRACK_TOGGLE_CHECK:
      trackList_.ToggleSelectedRowCheck();
      return true;
    case ID_TRACK_MENU_CANCEL:
      return true;
    case IDC_DRIVE_COMBO:
    case IDC_PLAYER_COMBO:
      if (code == CBN_DROPDOWN) return parts_->dialog.OnCommand(id, Notify::kDropDown);
      if (code == CBN_SELCHANGE || code == CBN_EDITCHANGE) {
        return parts_->dialog.OnCommand(id, Notify::kSelection);
      }
      return false;
    case IDC_CLOSE:
    case IDC_TRANSFER:
    case IDC_SETTINGS:
    case IDC_ALBUM:
    case IDC_EXPLORER:
      if (code != BN_CLICKED) return false;
      return parts_->dialog.OnCommand(id, Notify::kClicked);
    default:
      return false;
  }
}

LRESULT MainDialog::OnNcHitTest(LPARAM lParam) {
  const LRESULT hit = DefWindowProcW(window_, WM_NCHITTEST, 0, lParam);
  if (hit != HTCLIENT) return hit;
  POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ScreenToClient(window_, &point);
  RECT client;
  GetClientRect(window_, &client);
  const bool inStrip = point.x >= 0 && point.x <= client.right && point.y >= 0 &&
                       point.y < kDragStripHeight;
  return inStrip ? HTCAPTION : hit;
}

bool MainDialog::OnEraseBackground(HDC dc) {
  if (!skin_) return false;
  ui::win32::MemoryDc source(dc);
  if (!source.Get()) return false;
  ui::win32::SelectScope select(source.Get(), skin_.Get());
  BITMAP info = {};
  GetObjectW(skin_.Get(), sizeof info, &info);
  RECT client;
  GetClientRect(window_, &client);
  // Stretched over the client area, as the picture control shows it.
  SetStretchBltMode(dc, COLORONCOLOR);
  StretchBlt(dc, 0, 0, client.right, client.bottom, source.Get(), 0, 0, info.bmWidth,
             info.bmHeight, SRCCOPY);
  return true;
}

void MainDialog::OnPaintIconic() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_, &paint);
  SendMessageW(window_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client;
  GetClientRect(window_, &client);
  const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, bigIcon_);
  EndPaint(window_, &paint);
}

ui::win32::StaticExControl* MainDialog::LabelById(int id) {
  return LabelOf(GetDlgItem(window_, id));
}

ui::win32::StaticExControl* MainDialog::LabelOf(HWND control) {
  for (auto& label : labels_) {
    if (control && label.Window() == control) return &label;
  }
  return nullptr;
}

}  // namespace controller::win32
