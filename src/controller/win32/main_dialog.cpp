#include "controller/win32/main_dialog.h"

#include <commctrl.h>
#include <windowsx.h>

#include "resources/resource.h"

namespace controller::win32 {
namespace {

struct ButtonText {
  int control;
  unsigned text;
};
constexpr ButtonText kButtons[] = {
    {IDC_CLOSE, IDS_CLOSE_BUTTON},     {IDC_EXPLORER, IDS_EXPLORER_BUTTON},
    {IDC_SETTINGS, IDS_SETTINGS_BUTTON}, {IDC_TRANSFER, IDS_TRANSFER_BUTTON},
    {IDC_ALBUM, IDS_ALBUM_BUTTON},
};
constexpr int kLabels[] = {IDC_ALBUM_NAME, IDC_DISC_SIZE, IDC_USED_CAPACITY,
                           IDC_FREE_CAPACITY, IDC_STATUS};

constexpr COLORREF kStatusColour = RGB(235, 0, 18);
constexpr COLORREF kListBackground = RGB(62, 62, 62);
constexpr COLORREF kListTextIdle = RGB(110, 112, 98);
constexpr int kStatusFontHeight = 15;

}  // namespace

MainDialog::MainDialog(HINSTANCE instance, const res::IStringTable& strings)
    : instance_(instance), strings_(strings) {}

HWND MainDialog::Create(HWND owner) {
  queryCancelAutoPlay_ = RegisterWindowMessageW(L"QueryCancelAutoPlay");
  return CreateDialogParamW(instance_, MAKEINTRESOURCEW(IDD_MAIN), owner, DialogProc,
                            reinterpret_cast<LPARAM>(this));
}

INT_PTR MainDialog::RunModal(HWND owner) {
  if (!Create(owner)) return -1;
  modal_ = true;
  ended_ = false;
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
  // Escape never closes the window and there is no help.
  return message.wParam == VK_ESCAPE || message.wParam == VK_F1;
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
  const INT_PTR handled = self->HandleMessage(message, wParam, lParam);
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
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog();
      return FALSE;  // the focus is placed by OnInitDialog
    case WM_COMMAND:
      return OnCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
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
    case WM_CLOSE:
      EndModal(IDCANCEL);
      return TRUE;
    default:
      return FALSE;
  }
}

void MainDialog::OnInitDialog() {
  // The About entry of the system menu.
  const std::wstring about = strings_.Load(IDS_ABOUT_MENU);
  if (HMENU system = GetSystemMenu(window_, FALSE); system && !about.empty()) {
    AppendMenuW(system, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(system, MF_STRING, ID_SYSCMD_ABOUT, about.c_str());
  }
  bigIcon_ = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_MAIN), IMAGE_ICON,
                                           GetSystemMetrics(SM_CXICON),
                                           GetSystemMetrics(SM_CYICON), LR_SHARED));
  smallIcon_ = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_MAIN), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
  SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));

  skin_.Reset(static_cast<HBITMAP>(LoadImageW(instance_, MAKEINTRESOURCEW(IDB_SKIN),
                                              IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  // The parent paints the same skin under every control; the picture control
  // goes below its siblings so it never paints over them, whatever order the
  // system paints siblings in.
  if (HWND picture = GetDlgItem(window_, IDC_SKIN)) {
    SetWindowLongW(picture, GWL_STYLE, GetWindowLongW(picture, GWL_STYLE) | WS_CLIPSIBLINGS);
    SetWindowPos(picture, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }

  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    buttons_[i].Attach(GetDlgItem(window_, kButtons[i].control));
  }
  for (std::size_t i = 0; i < labels_.size(); ++i) {
    labels_[i].Attach(GetDlgItem(window_, kLabels[i]));
  }
  ApplyTexts();
  SetUpTrackList();
  if (HWND album = GetDlgItem(window_, IDC_ALBUM)) EnableWindow(album, FALSE);
  if (HWND close = GetDlgItem(window_, IDC_CLOSE)) SetFocus(close);
}

void MainDialog::ApplyTexts() {
  SetWindowTextW(window_, strings_.Load(IDS_APP_TITLE).c_str());
  ui::win32::StaticExControl& status = labels_[4];
  status.SetLabelFontHeight(kStatusFontHeight);
  status.SetLabelColour(kStatusColour);
  for (const ButtonText& button : kButtons) {
    SetDlgItemTextW(window_, button.control, strings_.Load(button.text).c_str());
  }
}

void MainDialog::SetUpTrackList() {
  HWND list = GetDlgItem(window_, IDC_TRACK_LIST);
  if (!list) return;
  const DWORD extended = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP |
                         LVS_EX_SUBITEMIMAGES;
  ListView_SetExtendedListViewStyleEx(list, extended, extended);
  ListView_SetBkColor(list, kListBackground);
  ListView_SetTextBkColor(list, kListBackground);
  ListView_SetTextColor(list, kListTextIdle);

  RECT client;
  GetClientRect(list, &client);
  const int width = client.right - client.left;
  const int q = width / 25;
  struct Column {
    unsigned text;
    int width;
    int format;
  };
  const Column columns[] = {{IDS_COLUMN_TITLE, 16 * q, LVCFMT_LEFT},
                            {IDS_COLUMN_ARTIST, 6 * q, LVCFMT_LEFT},
                            {IDS_COLUMN_LENGTH, width - 23 * q, LVCFMT_RIGHT}};
  for (int i = 0; i < 3; ++i) {
    std::wstring title = strings_.Load(columns[i].text);
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = columns[i].format;
    column.cx = columns[i].width;
    column.pszText = title.data();
    column.iSubItem = i;
    ListView_InsertColumn(list, i, &column);
  }
}

bool MainDialog::OnCommand(int id, int code) {
  if (id == IDC_CLOSE && (code == BN_CLICKED || code == 0)) {
    EndModal(IDCANCEL);
    return true;
  }
  return false;
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

ui::win32::StaticExControl* MainDialog::LabelOf(HWND control) {
  for (auto& label : labels_) {
    if (label.Window() == control) return &label;
  }
  return nullptr;
}

}  // namespace controller::win32
