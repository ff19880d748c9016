// The progress window (130) and the starting window (132), driven by the
// messages a user's clicks and keys would send.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "harness.h"
#include "resources/resource.h"
#include "resources/win32/module_string_table.h"
#include "ui/win32/status_dlg.h"
#include "ui/win32/wait_dlg.h"

namespace {

using harness::Pump;
using harness::TextOf;

class StatusDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dialog_.Create());
    window_ = dialog_.Window();
    ASSERT_NE(window_, nullptr);
    dialog_.Show();
    Pump(50);
  }
  HWND Item(int id) const { return GetDlgItem(window_, id); }

  res::win32::ModuleStringTable strings_{GetModuleHandleW(nullptr)};
  harness::ParentWindow parent_;
  ui::win32::CStatusDlg dialog_{strings_, parent_.Get()};
  HWND window_ = nullptr;
};

TEST_F(StatusDlgTest, OpensCentredOnItsParentNotTopmostWithTheToolsTitle) {
  EXPECT_EQ(GetWindow(window_, GW_OWNER), parent_.Get());
  EXPECT_FALSE(GetWindowLongW(window_, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(TextOf(window_), L"ルミナート");
  EXPECT_EQ(TextOf(Item(IDC_PROGRESS_MESSAGE)), L"");
  EXPECT_TRUE(IsWindowEnabled(Item(IDCANCEL)));
  EXPECT_FALSE(dialog_.IsCancelled());
  RECT own, over;
  GetWindowRect(window_, &own);
  GetWindowRect(parent_.Get(), &over);
  EXPECT_NEAR((own.left + own.right) / 2, (over.left + over.right) / 2, 1);
  EXPECT_NEAR((own.top + own.bottom) / 2, (over.top + over.bottom) / 2, 1);
}

TEST_F(StatusDlgTest, RangeZeroHidesTheBarAnyOtherShowsIt) {
  struct Case {
    int low, high;
    bool visible;
  };
  const Case cases[] = {{0, 100, true}, {0, 0, false}, {5, 0, true}, {0, 1300, true}};
  HWND bar = Item(IDC_PROGRESS_BAR);
  for (const Case& c : cases) {
    dialog_.SetRange(c.low, c.high);
    EXPECT_EQ(IsWindowVisible(bar) != FALSE, c.visible) << c.low << ".." << c.high;
    PBRANGE range = {};
    SendMessageW(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, c.low);
    EXPECT_EQ(range.iHigh, c.high);
  }
  dialog_.SetPos(700);
  EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 700);
}

TEST_F(StatusDlgTest, CancelSaysItIsStoppingAndCannotBePressedTwice) {
  dialog_.SetMessage(L"転送（同期）中...");
  harness::PostClick(Item(IDCANCEL));
  Pump(50);
  EXPECT_TRUE(dialog_.IsCancelled());
  EXPECT_EQ(TextOf(Item(IDC_PROGRESS_MESSAGE)), L"中断しています...");
  EXPECT_FALSE(IsWindowEnabled(Item(IDCANCEL)));
  EXPECT_TRUE(IsWindowVisible(window_)) << "the transfer closes the window, not Cancel";
}

TEST_F(StatusDlgTest, KeysNeverCloseTheWindow) {
  struct Case {
    UINT key;
    bool focusOnCancel;
    bool cancels;
  };
  const Case cases[] = {{VK_ESCAPE, true, false}, {VK_LEFT, true, false},
                        {VK_DOWN, true, false},   {VK_F1, true, false},
                        {VK_RETURN, false, false}, {VK_RETURN, true, true}};
  for (const Case& c : cases) {
    ASSERT_TRUE(dialog_.Create());
    window_ = dialog_.Window();
    dialog_.Show();
    Pump(50);
    // Without the focus on Cancel: Cancel disabled, as while ripping.
    if (c.focusOnCancel) {
      SetFocus(Item(IDCANCEL));
    } else {
      dialog_.EnableCancel(false);
    }
    harness::PostKey(c.focusOnCancel ? Item(IDCANCEL) : window_, c.key);
    Pump(50);
    EXPECT_TRUE(IsWindow(window_) && IsWindowVisible(window_)) << "key " << c.key;
    EXPECT_EQ(dialog_.IsCancelled(), c.cancels) << "key " << c.key;
  }
}

TEST_F(StatusDlgTest, PumpOneDispatchesOneMessageOfTheWindowOrItsButton) {
  HWND cancel = Item(IDCANCEL);
  RECT client;
  GetClientRect(cancel, &client);
  const LPARAM at = MAKELPARAM(client.right / 2, client.bottom / 2);
  PostMessageW(cancel, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(cancel, WM_LBUTTONUP, 0, at);
  dialog_.PumpOne();
  EXPECT_FALSE(dialog_.IsCancelled()) << "only the button press so far";
  dialog_.PumpOne();
  EXPECT_TRUE(dialog_.IsCancelled()) << "the release clicks Cancel";
}

TEST_F(StatusDlgTest, DestroyEnablesTheParentAndLaterCallsDoNothing) {
  EnableWindow(parent_.Get(), FALSE);
  harness::PostClick(Item(IDCANCEL));
  Pump(50);
  ASSERT_TRUE(dialog_.IsCancelled());
  ui::ScreenRect rect;
  EXPECT_TRUE(dialog_.GetScreenRect(&rect));
  dialog_.Destroy();
  EXPECT_FALSE(IsWindow(window_));
  EXPECT_TRUE(IsWindowEnabled(parent_.Get()));
  EXPECT_FALSE(dialog_.IsCancelled());
  EXPECT_FALSE(dialog_.GetScreenRect(&rect));
  dialog_.SetMessage(L"x");
  dialog_.SetPos(3);
  dialog_.SetCaption(L"次の窓");
  ASSERT_TRUE(dialog_.Create());
  EXPECT_EQ(TextOf(dialog_.Window()), L"次の窓") << "the caption was kept for the next window";
}

TEST_F(StatusDlgTest, RefusesAutoPlay) {
  EXPECT_EQ(SendMessageW(window_, RegisterWindowMessageW(L"QueryCancelAutoPlay"), 0, 0), 1);
}

TEST_F(StatusDlgTest, Screenshot) {
  dialog_.SetMessage(strings_.Load(IDS_PROGRESS_RIPPING) + L" (2/3)");
  dialog_.SetRange(0, 300);
  dialog_.SetPos(150);
  dialog_.EnableCancel(false);
  SetForegroundWindow(window_);
  Pump(200);
  harness::SaveScreenshot(harness::CaptureWindow(window_), "status-dialog");
}

TEST(StatusHostTest, MakesProgressWindowsOwnedByTheMainWindow) {
  res::win32::ModuleStringTable strings(GetModuleHandleW(nullptr));
  harness::ParentWindow main;
  ui::win32::StatusHost host(strings);
  host.SetMainWindow(main.Get());
  std::unique_ptr<ui::CStatusDlg> dialog = host.NewStatusDlg();
  ASSERT_TRUE(dialog);
  ASSERT_TRUE(dialog->Create());
  auto* window = static_cast<ui::win32::CStatusDlg*>(dialog.get());
  EXPECT_EQ(GetWindow(window->Window(), GW_OWNER), main.Get());
  ui::ScreenRect rect;
  ASSERT_TRUE(dialog->GetScreenRect(&rect));
  dialog->Destroy();
  main.erases = 0;
  host.RepaintScreenRect(rect);
  EXPECT_GT(main.erases, 0) << "the main window's background is painted again under it";
}

TEST(WaitDlgTest, OwnerIsDisabledExactlyWhileTheWindowExists) {
  harness::ParentWindow owner;
  res::win32::ModuleStringTable strings(GetModuleHandleW(nullptr));
  {
    ui::win32::CWaitDlg wait;
    ASSERT_TRUE(wait.Create(owner.Get()));
    wait.Show();
    wait.SetText(strings.Load(IDS_WAIT_STARTING));
    Pump(50);
    HWND window = wait.Window();
    EXPECT_FALSE(IsWindowEnabled(owner.Get()));
    EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE((GetWindowLongW(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION);
    EXPECT_EQ(TextOf(GetDlgItem(window, IDC_WAIT_MESSAGE)), L"起動中です。しばらくお待ちください...");
    harness::SaveScreenshot(harness::CaptureWindow(window), "wait-dialog");
    wait.Destroy();
    EXPECT_TRUE(IsWindowEnabled(owner.Get()));
    EXPECT_FALSE(IsWindow(window));

    // Created again (after a first-run settings dialog) and then lost with
    // its owner's destruction of it: the owner comes back all the same.
    ASSERT_TRUE(wait.Create(owner.Get()));
    EXPECT_FALSE(IsWindowEnabled(owner.Get()));
    DestroyWindow(wait.Window());
    EXPECT_TRUE(IsWindowEnabled(owner.Get()));
    ASSERT_TRUE(wait.Create(owner.Get()));
  }
  EXPECT_TRUE(IsWindowEnabled(owner.Get())) << "going out of scope destroys it";
}

}  // namespace
