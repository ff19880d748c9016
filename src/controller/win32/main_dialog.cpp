#include "controller/win32/main_dialog.h"

#include <commctrl.h>
#include <windowsx.h>

#include "controller/win32/main_window_parts.h"
#include "engine/player_messages.h"
#include "resources/resource.h"
#include "ui/win32/dialog.h"

namespace controller::win32 {

MainDialog::MainDialog(HINSTANCE instance, const res::IStringTable& strings,
                       os::Platform& platform, const controller::CMarimbaApp& app)
    : Dialog(IDD_MAIN), instance_(instance), strings_(strings), platform_(platform), app_(app) {
  RefuseAutoPlay();  // no AutoPlay for a disc inserted while we are in front
}

// Handlers run while the window goes, so it goes before the members do.
MainDialog::~MainDialog() { DestroyNow(); }

void MainDialog::EndModal(INT_PTR result) {
  End(result);
  if (!IsModal()) DestroyNow();
}

bool MainDialog::PreTranslate(const MSG& message) {
  if (message.message != WM_KEYDOWN || !Window()) return false;
  const bool editing = trackList_.IsCellEditActive();
  switch (message.wParam) {
    case VK_RETURN: {
      if (editing) return false;  // the list's editor takes it
      // The focused button's command, as a click would run it.
      const HWND focus = GetFocus();
      for (int id : {IDC_EXPLORER, IDC_TRANSFER, IDC_SETTINGS, IDC_CLOSE, IDC_ALBUM}) {
        if (focus && focus == Item(id)) {
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

// Engine events arrive synchronously from the engine's callbacks: a handler
// that throws has dropped its message, and what it left half done must not
// hold the window.
void MainDialog::OnHandlerFailed() {
  if (parts_) parts_->dialog.RecoverAfterFailure();
}

bool MainDialog::OnInit() {
  OnInitDialog();
  return false;  // the focus is placed by the start-up
}

bool MainDialog::OnTimer(UINT_PTR id) {
  if (parts_) parts_->dialog.OnTimer(static_cast<unsigned>(id));
  return false;  // and on to the default processing
}

std::uintptr_t MainDialog::StartTimer(unsigned id, std::uint32_t milliseconds) {
  return SetTimer(Window(), id, milliseconds, nullptr);
}

void MainDialog::KillTimer(unsigned id) { ::KillTimer(Window(), id); }

bool MainDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
  // A message answered with a value: handled.
  auto answer = [&](INT_PTR value) {
    result = value;
    return true;
  };
  if (message >= engine::kMsgFirstPlayerEvent && message <= engine::kMsgLastPlayerEvent) {
    if (!parts_) return false;
    return answer(Answer(parts_->dialog.OnPlayerEvent(message, wParam, lParam)));
  }
  switch (message) {
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      LRESULT notifyResult = 0;
      if (header && header->hwndFrom == trackList_.Window() &&
          trackList_.OnParentNotify(*header, &notifyResult)) {
        return answer(Answer(notifyResult));
      }
      return false;
    }
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) >= ID_SYSCMD_ABOUT && (wParam & 0xFFF0) <= 31) {
        OnSysCommand(wParam);
        return answer(TRUE);
      }
      return false;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      // A press on the window's own surface ends a cell edit.
      trackList_.FinishCellEdit(true);
      return false;
    case WM_NCHITTEST:
      return answer(Answer(OnNcHitTest(lParam)));
    case WM_ERASEBKGND:
      return OnEraseBackground(reinterpret_cast<HDC>(wParam)) && answer(Answer(TRUE));
    case WM_PAINT:
      if (!IsIconic(Window())) return false;
      OnPaintIconic();
      return answer(TRUE);
    case WM_QUERYDRAGICON:
      return answer(reinterpret_cast<INT_PTR>(bigIcon_));
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      for (const auto& button : buttons_) {
        if (button.Window() == item->hwndItem) {
          button.DrawItem(*item);
          return answer(TRUE);
        }
      }
      return false;
    }
    case WM_CTLCOLORSTATIC:
      if (auto* label = LabelOf(reinterpret_cast<HWND>(lParam))) {
        return answer(reinterpret_cast<INT_PTR>(label->OnCtlColor(reinterpret_cast<HDC>(wParam))));
      }
      return false;
    case WM_CLOSE: {
      // Alt+F4, the system menu and the taskbar end the tool only when the
      // Close button may: never in the middle of a rip or a synchronisation.
      HWND close = GetDlgItem(Window(), IDC_CLOSE);
      if (close && !IsWindowEnabled(close)) return answer(TRUE);
      if (parts_) {
        parts_->dialog.OnCommand(IDC_CLOSE, Notify::kClicked);
      } else {
        EndModal(IDCANCEL);
      }
      return answer(TRUE);
    }
    case WM_SETCURSOR:
      // While busy the wait cursor stays, whatever the mouse passes over.
      if (waitCursorDepth_ == 0) return false;
      SetCursor(LoadCursorW(nullptr, IDC_WAIT));
      return answer(Answer(TRUE));
    default:
      return false;
  }
}

void MainDialog::OnSysCommand(WPARAM) {
  DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_ABOUT), Window(),
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
  const LRESULT hit = DefWindowProcW(Window(), WM_NCHITTEST, 0, lParam);
  if (hit != HTCLIENT) return hit;
  POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ScreenToClient(Window(), &point);
  RECT client;
  GetClientRect(Window(), &client);
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
  GetClientRect(Window(), &client);
  // Stretched over the client area, as the picture control shows it.
  SetStretchBltMode(dc, COLORONCOLOR);
  StretchBlt(dc, 0, 0, client.right, client.bottom, source.Get(), 0, 0, info.bmWidth,
             info.bmHeight, SRCCOPY);
  return true;
}

void MainDialog::OnPaintIconic() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(Window(), &paint);
  SendMessageW(Window(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client;
  GetClientRect(Window(), &client);
  const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, bigIcon_);
  EndPaint(Window(), &paint);
}

ui::win32::StaticExControl* MainDialog::LabelById(int id) { return LabelOf(Control(id)); }

HWND MainDialog::Control(int id) const {
  const auto found = controls_.find(id);
  return found != controls_.end() ? found->second : GetDlgItem(Window(), id);
}

ui::win32::StaticExControl* MainDialog::LabelOf(HWND control) {
  for (auto& label : labels_) {
    if (control && label.Window() == control) return &label;
  }
  return nullptr;
}

}  // namespace controller::win32
