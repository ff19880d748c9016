// The settings dialog (131) and the album name dialog (135), run modally
// and driven by posted clicks and keys: what they show, what they return
// and what they write.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.h"
#include "resources/resource.h"
#include "resources/win32/module_string_table.h"
#include "ui/win32/album_dlg.h"
#include "ui/win32/setting_dlg.h"

namespace {

using harness::FindDialog;
using harness::Script;
using harness::TextOf;
using Step = std::function<bool()>;

class RecordingSettings : public ui::ISettingsModel {
 public:
  std::uint32_t GetRecordRate() const override { return rate; }
  void SetRecordRate(std::uint32_t value) override {
    rate = value;
    writes.push_back("rate " + std::to_string(value));
  }
  std::int32_t ReadAutoSync() override { return autoSync; }
  void WriteAutoSync(std::int32_t value) override {
    writes.push_back("autosync " + std::to_string(value));
  }
  bool WritePreferences() override {
    writes.push_back("preferences");
    return true;
  }
  std::uint32_t rate = 64000;
  std::int32_t autoSync = 0;
  std::vector<std::string> writes;
};

// A step on the open dialog titled `title`; waits for it to appear.
Step On(const wchar_t* title, std::function<void(HWND)> act) {
  return [title, act] {
    HWND dialog = FindDialog(title);
    if (!dialog) return false;
    act(dialog);
    return true;
  };
}

Step Click(const wchar_t* title, int id) {
  return On(title, [id](HWND dialog) { harness::PostClick(GetDlgItem(dialog, id)); });
}

Step KeyOn(const wchar_t* title, int id, UINT key) {
  return On(title, [id, key](HWND dialog) {
    HWND control = GetDlgItem(dialog, id);
    SetFocus(control);
    harness::PostKey(control, key);
  });
}

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

const wchar_t kSettings[] = L"設定";

TEST(SettingDlgTest, ShowsTheStoredRateAndSwitch) {
  struct Case {
    std::uint32_t rate;
    std::int32_t autoSync;
    bool rate128, checked;
  };
  const Case cases[] = {{128000, 1, true, true}, {64000, 0, false, false},
                        {160000, 0, false, false}, {96000, 5, false, true}};
  res::win32::ModuleStringTable strings(GetModuleHandleW(nullptr));
  harness::ParentWindow parent;
  for (const Case& c : cases) {
    RecordingSettings model;
    model.rate = c.rate;
    model.autoSync = c.autoSync;
    Script script({On(kSettings,
                       [&](HWND dialog) {
                         EXPECT_EQ(Checked(dialog, IDC_RATE_128), c.rate128) << c.rate;
                         EXPECT_EQ(Checked(dialog, IDC_RATE_64), !c.rate128) << c.rate;
                         EXPECT_EQ(Checked(dialog, IDC_AUTO_TRANSFER), c.checked);
                         EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_RATE_64)),
                                   L"　６４ Ｋｂｐｓ（データサイズが小さいため、録音できる曲数が増えます）");
                         EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_AUTO_TRANSFER)),
                                   strings.Load(IDS_AUTO_TRANSFER));
                         EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_RIP_GROUP)), L"音楽の取り込み");
                         EXPECT_EQ(SendMessageW(dialog, RegisterWindowMessageW(L"QueryCancelAutoPlay"),
                                                0, 0),
                                   1);
                         if (c.rate == 128000) {
                           harness::SaveScreenshot(harness::CaptureWindow(dialog), "settings-dialog");
                         }
                       }),
                    Click(kSettings, IDCANCEL)});
    EXPECT_EQ(ui::win32::RunSettingDlg(parent.Get(), strings, model), IDCANCEL);
    EXPECT_TRUE(model.writes.empty()) << c.rate;
  }
}

TEST(SettingDlgTest, OkWritesTheChoiceAndCancelNothing) {
  struct Case {
    const char* what;
    std::vector<Step> steps;
    INT_PTR result;
    std::vector<std::string> writes;
  };
  const Case cases[] = {
      {"both changed, OK",
       {Click(kSettings, IDC_RATE_128), Click(kSettings, IDC_AUTO_TRANSFER),
        Click(kSettings, IDOK)},
       IDOK,
       {"rate 128000", "autosync 1", "preferences"}},
      {"both changed, Cancel",
       {Click(kSettings, IDC_RATE_128), Click(kSettings, IDC_AUTO_TRANSFER),
        Click(kSettings, IDCANCEL)},
       IDCANCEL,
       {}},
      {"unchanged, Enter on OK", {KeyOn(kSettings, IDOK, VK_RETURN)}, IDOK,
       {"rate 64000", "autosync 0", "preferences"}},
      {"Enter on Cancel", {Click(kSettings, IDC_RATE_128), KeyOn(kSettings, IDCANCEL, VK_RETURN)},
       IDCANCEL, {}},
      {"Enter on a radio button, the check box, then Escape and F1 do nothing",
       {KeyOn(kSettings, IDC_RATE_64, VK_RETURN), KeyOn(kSettings, IDC_AUTO_TRANSFER, VK_RETURN),
        KeyOn(kSettings, IDC_RATE_64, VK_ESCAPE), KeyOn(kSettings, IDOK, VK_F1),
        Click(kSettings, IDCANCEL)},
       IDCANCEL, {}},
      {"arrow keys move between the rates",
       {KeyOn(kSettings, IDC_RATE_64, VK_DOWN), Click(kSettings, IDOK)},
       IDOK,
       {"rate 128000", "autosync 0", "preferences"}},
  };
  res::win32::ModuleStringTable strings(GetModuleHandleW(nullptr));
  harness::ParentWindow parent;
  for (const Case& c : cases) {
    RecordingSettings model;
    Script script(c.steps);
    EXPECT_EQ(ui::win32::RunSettingDlg(parent.Get(), strings, model), c.result) << c.what;
    EXPECT_TRUE(script.Done()) << c.what << ": the dialog closed before all steps ran";
    EXPECT_EQ(model.writes, c.writes) << c.what;
    EXPECT_TRUE(IsWindowEnabled(parent.Get()));
  }
}

class RecordingAlbum : public ui::IAlbumNameModel {
 public:
  std::wstring GetAlbumName() const override { return name; }
  bool SetAlbumName(const std::wstring& value) override {
    sets.push_back(value);
    return false;  // a failure is not the dialog's business
  }
  std::wstring name = L"海辺のマリンバ";
  std::vector<std::wstring> sets;
};

const wchar_t kAlbum[] = L"アルバム名編集";

HWND Edit(HWND dialog) { return GetDlgItem(dialog, IDC_ALBUM_EDIT); }
bool IsDefault(HWND button) {
  return (GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

TEST(AlbumDlgTest, ShowsTheNameAndTakesAtMostEightyCharacters) {
  res::win32::ModuleStringTable strings(GetModuleHandleW(nullptr));
  harness::ParentWindow parent;
  RecordingAlbum model;
  const std::wstring typed = std::wstring(50, L'あ') + std::wstring(50, L'x') + L"/\\:*?\"<>|";
  Script script({On(kAlbum,
                    [&](HWND dialog) {
                      EXPECT_EQ(TextOf(Edit(dialog)), L"海辺のマリンバ");
                      EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_ALBUM_LABEL)), L"アルバム：");
                      harness::SaveScreenshot(harness::CaptureWindow(dialog), "album-dialog");
                      SetFocus(Edit(dialog));
                      SendMessageW(Edit(dialog), EM_SETSEL, 0, -1);
                      harness::PostChars(Edit(dialog), typed);
                    }),
                 On(kAlbum,
                    [&](HWND dialog) {
                      EXPECT_EQ(TextOf(Edit(dialog)), typed.substr(0, 80));
                      harness::PostClick(GetDlgItem(dialog, IDOK));
                    })});
  EXPECT_EQ(ui::win32::RunAlbumDlg(parent.Get(), strings, model), IDOK);
  EXPECT_EQ(model.sets, std::vector<std::wstring>{typed.substr(0, 80)});
}

TEST(AlbumDlgTest, EmptyNameDisablesOkAndMakesCancelTheDefault) {
  res::win32::ModuleStringTable strings(GetModuleHandleW(nullptr));
  harness::ParentWindow parent;
  RecordingAlbum model;
  Script script({On(kAlbum,
                    [&](HWND dialog) {
                      EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
                      EXPECT_TRUE(IsDefault(GetDlgItem(dialog, IDOK)));
                      SetFocus(Edit(dialog));
                      SendMessageW(Edit(dialog), EM_SETSEL, 0, -1);
                      harness::PostKey(Edit(dialog), VK_DELETE);
                    }),
                 On(kAlbum,
                    [&](HWND dialog) {
                      EXPECT_EQ(TextOf(Edit(dialog)), L"");
                      EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
                      EXPECT_FALSE(IsDefault(GetDlgItem(dialog, IDOK)));
                      EXPECT_TRUE(IsDefault(GetDlgItem(dialog, IDCANCEL)));
                      harness::PostKey(Edit(dialog), VK_RETURN);  // nothing to accept
                    }),
                 On(kAlbum,
                    [&](HWND dialog) {
                      harness::PostChars(Edit(dialog), L"B");
                    }),
                 On(kAlbum,
                    [&](HWND dialog) {
                      EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
                      EXPECT_TRUE(IsDefault(GetDlgItem(dialog, IDOK)));
                      EXPECT_FALSE(IsDefault(GetDlgItem(dialog, IDCANCEL)));
                      harness::PostKey(Edit(dialog), VK_RETURN);  // the default button
                    })});
  EXPECT_EQ(ui::win32::RunAlbumDlg(parent.Get(), strings, model), IDOK);
  EXPECT_TRUE(script.Done());
  EXPECT_EQ(model.sets, std::vector<std::wstring>{L"B"});
}

TEST(AlbumDlgTest, ResultsAndWhatTheyWrite) {
  struct Case {
    const char* what;
    std::vector<Step> steps;
    INT_PTR result;
    std::vector<std::wstring> sets;
  };
  const Case cases[] = {
      {"OK with the unchanged name sets it again", {Click(kAlbum, IDOK)}, IDOK,
       {L"海辺のマリンバ"}},
      {"Enter on OK", {KeyOn(kAlbum, IDOK, VK_RETURN)}, IDOK, {L"海辺のマリンバ"}},
      {"Cancel", {Click(kAlbum, IDCANCEL)}, IDCANCEL, {}},
      {"Enter on Cancel", {KeyOn(kAlbum, IDCANCEL, VK_RETURN)}, IDCANCEL, {}},
      {"Escape", {KeyOn(kAlbum, IDC_ALBUM_EDIT, VK_ESCAPE)}, IDCANCEL, {}},
      {"F1 does nothing", {KeyOn(kAlbum, IDC_ALBUM_EDIT, VK_F1), Click(kAlbum, IDCANCEL)},
       IDCANCEL, {}},
      {"no trimming",
       {On(kAlbum,
           [](HWND dialog) {
             SetFocus(Edit(dialog));
             SendMessageW(Edit(dialog), EM_SETSEL, 0, -1);
             harness::PostChars(Edit(dialog), L"  空白 ");
           }),
        Click(kAlbum, IDOK)},
       IDOK,
       {L"  空白 "}},
  };
  res::win32::ModuleStringTable strings(GetModuleHandleW(nullptr));
  harness::ParentWindow parent;
  for (const Case& c : cases) {
    RecordingAlbum model;
    Script script(c.steps);
    EXPECT_EQ(ui::win32::RunAlbumDlg(parent.Get(), strings, model), c.result) << c.what;
    EXPECT_TRUE(script.Done()) << c.what;
    EXPECT_EQ(model.sets, c.sets) << c.what;
  }
}

}  // namespace
