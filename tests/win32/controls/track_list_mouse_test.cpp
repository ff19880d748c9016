// The track list under the mouse: check clicks, clicks that open the
// editor, the context menu and its column, and that nothing reacts while
// the list is not interactive.
#include "track_list_fixture.h"

#include "resources/resource.h"
#include "ui/track_list_rules.h"

namespace tracklist {
namespace {

using harness::Script;

TEST_F(TrackListTest, AttachSetsTheStylesAndKeepsFullRowSelection) {
  const LONG style = GetWindowLongW(List(), GWL_STYLE);
  EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_FALSE(style & LVS_EDITLABELS) << "editing is ours, not the list's";
  EXPECT_TRUE(style & WS_TABSTOP) << "interactive";
  SendMessageW(List(), LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES);
  const auto extended = static_cast<DWORD>(SendMessageW(List(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
  EXPECT_EQ(extended & (LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES),
            static_cast<DWORD>(LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES));
  list_.ShowCheckBoxes(false);
  EXPECT_FALSE(SendMessageW(List(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES);
  EXPECT_TRUE(SendMessageW(List(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT);
}

TEST_F(TrackListTest, ClickOnACheckBoxTogglesItSelectsOnlyThatRowAndTellsTheParent) {
  struct Case {
    UINT message;
    int row;
  };
  const Case cases[] = {{WM_LBUTTONDOWN, 2}, {WM_LBUTTONDOWN, 4}, {WM_LBUTTONDOWN, 2}};
  for (const Case& c : cases) {
    parent_.Clear();
    const int before = list_.GetRowCheck(c.row);
    Mouse(c.message, CheckPoint(c.row));
    EXPECT_EQ(list_.GetRowCheck(c.row), 1 - before) << "row " << c.row;
    EXPECT_TRUE(IsSelected(c.row) && IsFocused(c.row));
    EXPECT_EQ(SelectedCount(), 1);
    const auto sent = Sent(ui::kTrackCheckClicked);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].wParam, static_cast<WPARAM>(c.row));
    EXPECT_EQ(sent[0].lParam, static_cast<LPARAM>(c.message));
    EXPECT_EQ(list_.Editor() ? IsWindowVisible(list_.Editor()) : FALSE, FALSE);
  }
  // Elsewhere on a row: selected, nothing checked, nothing sent.
  parent_.Clear();
  Click(CellPoint(1, 2));
  EXPECT_TRUE(IsSelected(1));
  EXPECT_EQ(list_.GetRowCheck(1), 1);
  EXPECT_TRUE(Sent(ui::kTrackCheckClicked).empty());
}

TEST_F(TrackListTest, ClicksThatOpenTheEditor) {
  struct Case {
    const char* what;
    int selectFirst;  // row selected and focused before, -1 none
    UINT message;
    int row, column;
    bool opens;
  };
  const Case cases[] = {
      {"title of the selected row", 1, WM_LBUTTONDOWN, 1, 0, true},
      {"artist of the selected row", 3, WM_LBUTTONDOWN, 3, 1, true},
      {"length of the selected row", 1, WM_LBUTTONDOWN, 1, 2, false},
      {"title of another row", 0, WM_LBUTTONDOWN, 2, 0, false},
      {"right click on the selected title", 1, WM_MBUTTONDOWN, 1, 0, false},
      {"double click on another row's artist", 0, WM_LBUTTONDBLCLK, 4, 1, true},
      {"double click on a length", 0, WM_LBUTTONDBLCLK, 4, 2, false},
  };
  for (const Case& c : cases) {
    list_.FinishCellEdit(false);
    list_.SelectAndFocusRow(c.selectFirst);
    if (c.message == WM_LBUTTONDBLCLK) {
      DoubleClick(CellPoint(c.row, c.column));
    } else {
      Mouse(c.message, CellPoint(c.row, c.column));
    }
    EXPECT_EQ(list_.IsCellEditActive(), c.opens) << c.what;
    if (c.opens) {
      ASSERT_NE(list_.Editor(), nullptr);
      EXPECT_TRUE(IsWindowVisible(list_.Editor())) << c.what;
      EXPECT_EQ(GetFocus(), list_.Editor()) << c.what;
      EXPECT_EQ(harness::TextOf(list_.Editor()), list_.GetCellText(c.row, c.column)) << c.what;
      EXPECT_TRUE(IsSelected(c.row)) << c.what;
    }
  }
}

TEST_F(TrackListTest, AClickWhileEditingAcceptsTheEditAndOpensNoOther) {
  ASSERT_TRUE(list_.BeginCellEdit(1, 0));
  Type(L"潮騒");
  Click(CellPoint(1, 1));
  EXPECT_FALSE(list_.IsCellEditActive()) << "the click ended the edit, it opens none";
  EXPECT_EQ(owner_.calls, (std::vector<std::wstring>{L"note 1", L"title 2 潮騒"}));
  EXPECT_EQ(list_.GetCellText(1, 0), L"潮騒");
}

// The context menu as it opens: whether it did, and the item chosen.
struct MenuWatch {
  bool opened = false;
  wchar_t choose = 0;  // mnemonic to type, 0 closes the menu
};

HWND OpenMenuWindow() {
  HWND menu = FindWindowW(L"#32768", nullptr);
  return menu && IsWindowVisible(menu) ? menu : nullptr;
}

Script WatchMenu(MenuWatch& watch) {
  return Script({[&watch] {
    HWND menu = OpenMenuWindow();
    if (!menu) return false;
    watch.opened = true;
    if (watch.choose) {
      PostMessageW(menu, WM_CHAR, watch.choose, 1);
    } else {
      EndMenu();
    }
    return true;
  }});
}

TEST_F(TrackListTest, RightClickOpensTheMenuOnTitleOrArtistOutsideTheCheckBox) {
  struct Case {
    const char* what;
    int row, column;
    bool inCheckBox;
    bool opens;
    int menuColumn;
  };
  const Case cases[] = {
      {"title", 2, 0, false, true, 0},     {"artist", 3, 1, false, true, 1},
      {"length", 1, 2, false, false, 1},   {"check box", 0, 0, true, false, 0},
      {"artist again", 0, 1, false, true, 1},
  };
  for (const Case& c : cases) {
    MenuWatch watch;
    {
      Script script = WatchMenu(watch);
      Mouse(WM_RBUTTONDOWN, c.inCheckBox ? CheckPoint(c.row) : CellPoint(c.row, c.column));
    }
    EXPECT_EQ(watch.opened, c.opens) << c.what;
    EXPECT_EQ(list_.MenuColumn(), c.menuColumn) << c.what;
  }
  // Below the last row, on the artist column: the column is remembered, no menu.
  RECT client;
  GetClientRect(List(), &client);
  MenuWatch watch;
  {
    Script script = WatchMenu(watch);
    list_.FinishCellEdit(false);
    Mouse(WM_RBUTTONDOWN, {CellPoint(0, 0).x, client.bottom - 4});
  }
  EXPECT_FALSE(watch.opened);
  EXPECT_EQ(list_.MenuColumn(), 0);
}

TEST_F(TrackListTest, MenuCommandsReachTheMainWindowWhichForwardsThem) {
  struct Case {
    wchar_t mnemonic;
    UINT command;
  };
  const Case cases[] = {{L'e', ID_TRACK_EDIT}, {L's', ID_TRACK_TOGGLE_CHECK},
                        {L'c', ID_TRACK_MENU_CANCEL}};
  for (const Case& c : cases) {
    parent_.Clear();
    list_.FinishCellEdit(false);
    MenuWatch watch;
    watch.choose = c.mnemonic;
    {
      Script script = WatchMenu(watch);
      Mouse(WM_RBUTTONDOWN, CellPoint(3, 1));
      harness::Pump(50);
    }
    ASSERT_TRUE(watch.opened);
    const auto commands = Sent(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u) << c.mnemonic;
    EXPECT_EQ(LOWORD(commands[0].wParam), c.command);
    // What the main window does with them.
    const int checked = list_.GetRowCheck(3);
    if (c.command == ID_TRACK_EDIT) {
      list_.EditSelectedRow();
      EXPECT_TRUE(list_.IsCellEditActive());
      EXPECT_EQ(harness::TextOf(list_.Editor()), list_.GetCellText(3, 1)) << "the menu's column";
    } else if (c.command == ID_TRACK_TOGGLE_CHECK) {
      list_.ToggleSelectedRowCheck();
      EXPECT_EQ(list_.GetRowCheck(3), 1 - checked);
    }
  }
}

TEST_F(TrackListTest, ContextMenuKeyOpensTheMenuForTheSelectedRowsTitle) {
  {
    MenuWatch artist;
    Script script = WatchMenu(artist);
    Mouse(WM_RBUTTONDOWN, CellPoint(2, 1));
  }
  ASSERT_EQ(list_.MenuColumn(), 1);
  MenuWatch watch;
  watch.choose = L'e';
  {
    Script script = WatchMenu(watch);
    SetFocus(List());
    Key(VK_APPS);
    harness::Pump(50);
  }
  EXPECT_TRUE(watch.opened);
  EXPECT_EQ(list_.MenuColumn(), 0);
  ASSERT_EQ(Sent(WM_COMMAND).size(), 1u);
  list_.EditSelectedRow();
  EXPECT_EQ(harness::TextOf(list_.Editor()), L"Track 3");
}

TEST_F(TrackListTest, NothingChangesWhileNotInteractive) {
  list_.SetInteractive(false);
  EXPECT_FALSE(GetWindowLongW(List(), GWL_STYLE) & WS_TABSTOP);
  list_.SelectAndFocusRow(1);
  parent_.Clear();
  const UINT buttons[] = {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN,
                          WM_RBUTTONDBLCLK, WM_MBUTTONDOWN, WM_MBUTTONDBLCLK};
  for (UINT message : buttons) {
    MenuWatch watch;
    {
      Script script = WatchMenu(watch);
      Mouse(message, CheckPoint(3));
      Mouse(message, CellPoint(1, 0));
      Mouse(message, CellPoint(4, 1));
    }
    EXPECT_FALSE(watch.opened) << message;
  }
  SetFocus(List());
  for (UINT key : {VK_SPACE, VK_DOWN, VK_UP, VK_END, VK_APPS, VK_F2}) Key(key);
  Type(L"T");  // what the message loop made of a key-down: no type-ahead
  for (int row = 0; row < kRows; ++row) EXPECT_EQ(list_.GetRowCheck(row), 1) << row;
  EXPECT_TRUE(IsSelected(1) && IsFocused(1));
  EXPECT_EQ(SelectedCount(), 1);
  EXPECT_FALSE(list_.IsCellEditActive());
  EXPECT_TRUE(parent_.Records().empty());
  EXPECT_EQ(list_.MenuColumn(), -1);
}

}  // namespace
}  // namespace tracklist
