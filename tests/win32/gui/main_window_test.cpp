// The main window as a person sees it: borderless skinned popup, texts from
// the string table, dragging strip, keys that must not close it, and a
// screenshot whose pixels show the captions and the red Status text.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "controller/marimba_app.h"
#include "controller/win32/main_dialog.h"
#include "resources/resource.h"
#include "support/screen_capture.h"
#include "support/test_window.h"
#include "support/win32_platform.h"
#include "ui/win32/gdi.h"

namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
  }
  void SetUp() override {
    // Not a first run: no settings dialog before the window.
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Orbit\\Cadenza", 0, nullptr, 0,
                              KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const DWORD zero = 0;
    RegSetValueExW(key, L"First", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero), sizeof zero);
    RegSetValueExW(key, L"Model", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero), sizeof zero);
    RegSetValueExW(key, L"AutoSync", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero),
                   sizeof zero);
    RegCloseKey(key);
    window_ = dialog_.Create();
    ASSERT_NE(window_, nullptr);
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
    Pump();
  }
  void TearDown() override {
    if (IsWindow(window_)) DestroyWindow(window_);
  }
  static void Pump() { wine_test::Pump(200); }
  std::wstring Text(HWND window) {
    wchar_t buffer[512] = {};
    GetWindowTextW(window, buffer, 512);
    return buffer;
  }
  std::wstring ItemText(int id) { return Text(GetDlgItem(window_, id)); }

  wine_test::Win32Platform real_;
  controller::CMarimbaApp app_;
  controller::win32::MainDialog dialog_{GetModuleHandleW(nullptr), real_.strings, real_.platform, app_};
  HWND window_ = nullptr;
};

TEST_F(MainWindowTest, IsABorderlessPopupTitledWithTheAppName) {
  const LONG style = GetWindowLongW(window_, GWL_STYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & WS_CAPTION) << "no caption bar";
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_TRUE(GetWindowLongW(window_, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  EXPECT_EQ(Text(window_), L"ルミナート");
  EXPECT_NE(SendMessageW(window_, WM_GETICON, ICON_BIG, 0), 0);
}

TEST_F(MainWindowTest, ShowsTheRunTimeTextsOfItsControls) {
  EXPECT_EQ(ItemText(IDC_ALBUM), L"アルバム(&A)");
  EXPECT_EQ(ItemText(IDC_EXPLORER), L"ファイル操作(&E)");
  EXPECT_EQ(ItemText(IDC_TRANSFER), L"転送（同期）(&T)");
  EXPECT_EQ(ItemText(IDC_SETTINGS), L"設定(&S)");
  EXPECT_EQ(ItemText(IDC_CLOSE), L"閉じる(&C)");
  // The prefix's D: may hold the demo disc or nothing, depending on which
  // tests ran before: the size and the Album button follow the disc.
  const bool disc = ListView_GetItemCount(GetDlgItem(window_, IDC_TRACK_LIST)) > 0;
  const std::wstring size = ItemText(IDC_DISC_SIZE);
  EXPECT_TRUE(disc ? size.find(L"MB") != std::wstring::npos : size == L"-- MB") << size.size();
  EXPECT_EQ(IsWindowEnabled(GetDlgItem(window_, IDC_ALBUM)) != FALSE, disc);
  EXPECT_EQ(GetFocus(), GetDlgItem(window_, IDC_CLOSE));
}

TEST_F(MainWindowTest, SetsUpTheTrackListColumnsFromTheClientWidth) {
  HWND list = GetDlgItem(window_, IDC_TRACK_LIST);
  ASSERT_NE(list, nullptr);
  RECT client;
  GetClientRect(list, &client);
  const int width = client.right, q = width / 25;
  const wchar_t* titles[] = {L"タイトル", L"アーティスト", L"長さ"};
  const int widths[] = {16 * q, 6 * q, width - 23 * q};
  const int formats[] = {LVCFMT_LEFT, LVCFMT_LEFT, LVCFMT_RIGHT};
  for (int i = 0; i < 3; ++i) {
    wchar_t text[64] = {};
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.pszText = text;
    column.cchTextMax = 64;
    ASSERT_TRUE(ListView_GetColumn(list, i, &column));
    EXPECT_STREQ(text, titles[i]);
    EXPECT_EQ(column.cx, widths[i]);
    EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, formats[i]);
  }
  const DWORD extended = ListView_GetExtendedListViewStyle(list);
  EXPECT_EQ(extended & 0x424u, 0x424u) << "check boxes, full-row selection, info tips";
  EXPECT_EQ(ListView_GetBkColor(list), RGB(62, 62, 62));
}

TEST_F(MainWindowTest, DragsByTheTopStripOnly) {
  auto hitAt = [this](int x, int y) {
    POINT point = {x, y};
    ClientToScreen(window_, &point);
    return SendMessageW(window_, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
  };
  EXPECT_EQ(hitAt(0, 0), HTCAPTION);
  EXPECT_EQ(hitAt(300, 27), HTCAPTION);
  EXPECT_EQ(hitAt(300, 28), HTCLIENT);
  EXPECT_EQ(hitAt(300, 200), HTCLIENT);
}

TEST_F(MainWindowTest, ClosesByTheFrameOnlyWhenTheCloseButtonMay) {
  // As while a rip or a synchronisation runs: Alt+F4, the system menu's
  // and the taskbar's Close all arrive as WM_CLOSE.
  HWND close = GetDlgItem(window_, IDC_CLOSE);
  EnableWindow(close, FALSE);
  SendMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
  SendMessageW(window_, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(window_)) << "closed in the middle of a transfer";
  EnableWindow(close, TRUE);
  SendMessageW(window_, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window_));
}

TEST_F(MainWindowTest, RefusesAutoPlayWhileInFront) {
  const UINT queryCancelAutoPlay = RegisterWindowMessageW(L"QueryCancelAutoPlay");
  EXPECT_EQ(SendMessageW(window_, queryCancelAutoPlay, 0, 0), 1);
}

using wine_test::Capture;
using wine_test::CaptureWindow;

// Pixels inside a control's rectangle (in window coordinates) that satisfy `test`.
template <typename Test>
int CountPixels(const Capture& capture, HWND window, HWND control, Test test) {
  RECT rect;
  GetWindowRect(control, &rect);
  RECT frame;
  GetWindowRect(window, &frame);
  int count = 0;
  for (int y = rect.top - frame.top; y < rect.bottom - frame.top; ++y) {
    for (int x = rect.left - frame.left; x < rect.right - frame.left; ++x) {
      if (x >= 0 && y >= 0 && x < capture.width && y < capture.height &&
          test(capture.At(x, y))) {
        ++count;
      }
    }
  }
  return count;
}

TEST_F(MainWindowTest, ScreenshotShowsCaptionsAndTheRedStatus) {
  SetForegroundWindow(window_);
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN |
                                              RDW_UPDATENOW);
  Pump();
  const Capture capture = CaptureWindow(window_);
  ASSERT_GT(capture.width, 0);
  wine_test::SaveScreenshot(capture, "main-window");

  auto dark = [](COLORREF c) { return GetRValue(c) < 80 && GetGValue(c) < 80 && GetBValue(c) < 80; };
  auto white = [](COLORREF c) { return c == RGB(255, 255, 255); };
  auto grey128 = [](COLORREF c) { return c == RGB(128, 128, 128); };
  auto statusRed = [](COLORREF c) { return GetRValue(c) > 180 && GetGValue(c) < 80 && GetBValue(c) < 80; };

  // Enabled buttons show dark captions, disabled ones (Transfer and Album
  // while no disc and player are ready) engraved ones.
  for (int id : {IDC_CLOSE, IDC_TRANSFER, IDC_SETTINGS, IDC_EXPLORER, IDC_ALBUM}) {
    HWND button = GetDlgItem(window_, id);
    if (IsWindowEnabled(button)) {
      EXPECT_GT(CountPixels(capture, window_, button, dark), 20)
          << "caption of button " << id << " is drawn";
    } else {
      EXPECT_GT(CountPixels(capture, window_, button, white), 10)
          << "engraved caption of button " << id << ", white part";
      EXPECT_GT(CountPixels(capture, window_, button, grey128), 10)
          << "engraved caption of button " << id << ", grey part";
    }
  }
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window_, IDC_CLOSE)));
  EXPECT_GT(CountPixels(capture, window_, GetDlgItem(window_, IDC_STATUS), statusRed), 10);
}

TEST(MainWindowModal, EscapeDoesNotCloseButCloseDoes) {
  static bool survivedEscape = false;
  static int ticks = 0;
  survivedEscape = false;
  ticks = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR, DWORD) {
    HWND window = FindWindowW(nullptr, L"ルミナート");
    if (!window) return;
    ++ticks;
    if (ticks == 1) {
      PostMessageW(GetDlgItem(window, IDC_CLOSE), WM_KEYDOWN, VK_ESCAPE, 0);
    } else if (ticks == 3) {
      survivedEscape = IsWindowVisible(window) != FALSE;
      PostMessageW(GetDlgItem(window, IDC_CLOSE), BM_CLICK, 0, 0);
    }
  });
  wine_test::Win32Platform real;
  const controller::CMarimbaApp app;
  controller::win32::MainDialog dialog(GetModuleHandleW(nullptr), real.strings, real.platform, app);
  const INT_PTR result = dialog.RunModal();
  KillTimer(nullptr, timer);
  EXPECT_TRUE(survivedEscape);
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_GE(ticks, 3);
}

}  // namespace
