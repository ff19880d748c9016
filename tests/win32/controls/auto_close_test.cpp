// The self-closing windows (133 before an automatic transfer, 136 for the
// done notice) and the tool's message boxes.
#include <windows.h>

#include <gtest/gtest.h>

#include "harness.h"
#include "resources/resource.h"
#include "resources/win32/module_string_table.h"
#include "ui/win32/auto_close_dlg.h"
#include "ui/win32/message_box.h"

namespace {

using harness::FindDialog;
using harness::Script;
using harness::TextOf;

const wchar_t kTitle[] = L"ルミナート";

class AutoCloseTest : public ::testing::Test {
 protected:
  res::win32::ModuleStringTable strings_{GetModuleHandleW(nullptr)};
  harness::ParentWindow parent_;
};

TEST_F(AutoCloseTest, PromptLeftAloneStartsTheTransferAfterFiveSeconds) {
  bool checked = false;
  Script script({[&] {
    HWND dialog = FindDialog(kTitle);
    if (!dialog) return false;
    checked = true;
    EXPECT_TRUE(GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_AUTO_CLOSE_MESSAGE)),
              strings_.Load(IDS_AUTO_TRANSFER_PROMPT));
    EXPECT_FALSE(IsWindowEnabled(parent_.Get())) << "modal over its parent";
    harness::SaveScreenshot(harness::CaptureWindow(dialog), "auto-transfer-prompt");
    return true;
  }});
  const DWORD start = GetTickCount();
  EXPECT_EQ(ui::win32::RunAutoTransferPrompt(parent_.Get(), strings_), IDOK);
  const DWORD elapsed = GetTickCount() - start;
  EXPECT_TRUE(checked);
  EXPECT_GE(elapsed, 4900u);
  EXPECT_LT(elapsed, 9000u);
  EXPECT_TRUE(IsWindowEnabled(parent_.Get()));
}

TEST_F(AutoCloseTest, KeysDoNothingButEnterOnCancelAndCancelStopsIt) {
  struct Case {
    const char* what;
    std::vector<UINT> keys;  // posted to the focused control, one per tick
    bool clickCancel;        // then a click on the button
  };
  const Case cases[] = {
      {"cancel button", {}, true},
      {"enter on cancel", {VK_RETURN}, false},
      {"escape, arrows and F1 first", {VK_ESCAPE, VK_LEFT, VK_DOWN, VK_F1}, true},
  };
  for (const Case& c : cases) {
    std::vector<std::function<bool()>> steps;
    steps.push_back([] { return FindDialog(kTitle) != nullptr; });
    for (UINT key : c.keys) {
      steps.push_back([key] {
        HWND dialog = FindDialog(kTitle);
        EXPECT_NE(dialog, nullptr) << "still open before key " << key;
        SetFocus(GetDlgItem(dialog, IDCANCEL));
        harness::PostKey(GetFocus(), key);
        return true;
      });
    }
    if (c.clickCancel) {
      steps.push_back([] {
        HWND dialog = FindDialog(kTitle);
        EXPECT_NE(dialog, nullptr) << "no key closed it";
        if (dialog) harness::PostClick(GetDlgItem(dialog, IDCANCEL));
        return true;
      });
    }
    Script script(std::move(steps));
    const DWORD start = GetTickCount();
    EXPECT_EQ(ui::win32::RunAutoTransferPrompt(parent_.Get(), strings_), IDCANCEL) << c.what;
    EXPECT_LT(GetTickCount() - start, 4500u) << c.what;
  }
}

TEST_F(AutoCloseTest, DoneNoticeEndsWithItsOkButtonAsCancel) {
  Script script({[&] {
    HWND dialog = FindDialog(kTitle);
    if (!dialog) return false;
    EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_AUTO_CLOSE_MESSAGE)),
              L"デジタルオーディオプレーヤーにファイルを転送（同期）しました。");
    EXPECT_EQ(TextOf(GetDlgItem(dialog, IDCANCEL)), L"OK");
    // The message is as tall as its text needs at its width (one line or
    // two, by the font), and the button lies below it.
    HWND label = GetDlgItem(dialog, IDC_AUTO_CLOSE_MESSAGE);
    RECT message, ok;
    GetWindowRect(label, &message);
    GetWindowRect(GetDlgItem(dialog, IDCANCEL), &ok);
    RECT needed = {0, 0, message.right - message.left, 0};
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
    DrawTextW(dc, TextOf(label).c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    EXPECT_GT(needed.bottom, 0);
    EXPECT_GE(message.bottom - message.top, needed.bottom);
    EXPECT_GE(ok.top, message.bottom);
    harness::SaveScreenshot(harness::CaptureWindow(dialog), "done-notice");
    harness::PostClick(GetDlgItem(dialog, IDCANCEL));
    return true;
  }});
  EXPECT_EQ(ui::win32::RunDoneNotice(parent_.Get(), strings_), IDCANCEL);
}

// The icon of a message box: the first icon static among its children.
HICON IconOf(HWND box) {
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) continue;
    if (auto icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0))) return icon;
  }
  return nullptr;
}

TEST_F(AutoCloseTest, MessageBoxesAreTopmostWithTheIconOfTheirCaption) {
  struct Case {
    unsigned message, caption;
    const wchar_t* captionText;
    LPCWSTR icon;  // system icon, or null for none
    const char* screenshot;
  };
  const Case cases[] = {
      {IDS_MSG_SYNC_FAILED, IDS_CAPTION_ERROR, L"エラー", IDI_ERROR, "message-error"},
      {IDS_MSG_NOTHING_CHECKED, IDS_CAPTION_WARNING, L"警告", IDI_WARNING, "message-warning"},
      {IDS_MSG_SYNC_ABORTED, IDS_APP_TITLE, kTitle, nullptr, "message-plain"},
  };
  for (const Case& c : cases) {
    bool seen = false;
    Script script({[&] {
      HWND box = FindDialog(c.captionText);
      if (!box) return false;
      seen = true;
      EXPECT_TRUE(GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST) << c.screenshot;
      const HICON expected = c.icon ? LoadIconW(nullptr, c.icon) : nullptr;
      EXPECT_EQ(IconOf(box), expected) << c.screenshot;
      EXPECT_NE(GetDlgItem(box, IDOK), nullptr);
      EXPECT_EQ(GetDlgItem(box, IDNO), nullptr);
      harness::SaveScreenshot(harness::CaptureWindow(box), c.screenshot);
      harness::PostKey(GetDlgItem(box, IDOK), VK_RETURN);
      return true;
    }});
    EXPECT_EQ(ui::win32::ShowMessage(parent_.Get(), strings_, c.message, c.caption), IDOK);
    EXPECT_TRUE(seen) << c.screenshot;
  }
}

TEST_F(AutoCloseTest, TheQuestionHasYesAndNo) {
  Script script({[&] {
    HWND box = FindDialog(L"警告");
    if (!box) return false;
    EXPECT_NE(GetDlgItem(box, IDYES), nullptr);
    harness::PostClick(GetDlgItem(box, IDNO));
    return true;
  }});
  EXPECT_EQ(ui::win32::ShowMessage(parent_.Get(), strings_, IDS_MSG_PLAYER_SPACE_SHORT,
                                   IDS_CAPTION_WARNING, MB_YESNO),
            IDNO);
}

TEST_F(AutoCloseTest, MessageSevenTwentyIsTheDoneNoticeAndTheOwnerIsRepainted) {
  bool notice = false;
  Script script({[&] {
    HWND dialog = FindDialog(kTitle);
    if (!dialog) return false;
    notice = GetDlgItem(dialog, IDC_AUTO_CLOSE_MESSAGE) != nullptr;
    harness::PostClick(GetDlgItem(dialog, IDCANCEL));
    parent_.erases = 0;
    return true;
  }});
  ui::win32::ShowMessage(parent_.Get(), strings_, IDS_MSG_SYNC_DONE, IDS_APP_TITLE);
  EXPECT_TRUE(notice) << "not a message box";
  EXPECT_GT(parent_.erases, 0);
}

}  // namespace
