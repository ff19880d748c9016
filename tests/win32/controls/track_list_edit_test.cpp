// The track list's in-place editor: keys while editing, the 80-character
// limit, what an accepted edit writes (and in which order), and who else
// ends an edit.
#include "track_list_fixture.h"

#include "ui/track_list_rules.h"

namespace tracklist {
namespace {

struct Cell {
  int row, column;
  bool operator==(const Cell& other) const { return row == other.row && column == other.column; }
};

TEST_F(TrackListTest, KeysMoveTheEditorAroundTheTitleAndArtistCells) {
  struct Case {
    Cell from;
    UINT key;
    bool stillEditing;
    Cell to;
  };
  const Case cases[] = {
      {{2, 0}, VK_TAB, true, {2, 1}},   {{2, 1}, VK_TAB, true, {2, 0}},
      {{2, 1}, VK_DOWN, true, {3, 1}},  {{2, 0}, VK_UP, true, {1, 0}},
      {{0, 1}, VK_UP, true, {0, 1}},    {{4, 0}, VK_DOWN, true, {4, 0}},
      {{3, 0}, VK_RETURN, false, {}},   {{3, 1}, VK_ESCAPE, false, {}},
      {{1, 0}, VK_LEFT, true, {1, 0}},
  };
  for (const Case& c : cases) {
    list_.FinishCellEdit(false);
    ASSERT_TRUE(list_.BeginCellEdit(c.from.row, c.from.column));
    Key(c.key);
    EXPECT_EQ(list_.IsCellEditActive(), c.stillEditing) << "key " << c.key;
    if (c.stillEditing) {
      EXPECT_EQ(harness::TextOf(list_.Editor()), list_.GetCellText(c.to.row, c.to.column))
          << "key " << c.key;
      EXPECT_TRUE(IsSelected(c.to.row) && IsFocused(c.to.row)) << "key " << c.key;
      EXPECT_EQ(GetFocus(), list_.Editor());
    } else {
      EXPECT_FALSE(IsWindowVisible(list_.Editor()));
      EXPECT_EQ(GetFocus(), List()) << "the focus goes back to the list";
    }
  }
  EXPECT_TRUE(owner_.calls.empty()) << "nothing was typed, nothing is written";
  EXPECT_TRUE(Sent(ui::kTrackCellEdited).empty());
}

TEST_F(TrackListTest, WhatTheKeysWrite) {
  struct Case {
    const char* what;
    Cell cell;
    std::wstring typed;
    UINT key;
    std::vector<std::wstring> calls;
    std::wstring cellAfter;
  };
  const Case cases[] = {
      {"Enter writes a title", {2, 0}, L"新しい題", VK_RETURN,
       {L"note 2", L"title 3 新しい題"}, L"新しい題"},
      {"Tab writes an artist", {1, 1}, L"Quartet", VK_TAB, {L"note 1", L"artist 2 Quartet"},
       L"Quartet"},
      {"Down writes before moving", {0, 0}, L"Prelude", VK_DOWN,
       {L"note 0", L"title 1 Prelude"}, L"Prelude"},
      {"Escape writes nothing", {3, 0}, L"捨てる", VK_ESCAPE, {}, L"夕暮れ"},
      {"the same text writes nothing", {4, 0}, L"夜想曲", VK_RETURN, {}, L"夜想曲"},
      {"case counts", {0, 1}, L"ensemble", VK_RETURN, {L"note 0", L"artist 1 ensemble"},
       L"ensemble"},
  };
  for (const Case& c : cases) {
    owner_.calls.clear();
    parent_.Clear();
    ASSERT_TRUE(list_.BeginCellEdit(c.cell.row, c.cell.column));
    Type(c.typed);
    Key(c.key);
    EXPECT_EQ(owner_.calls, c.calls) << c.what;
    EXPECT_EQ(list_.GetCellText(c.cell.row, c.cell.column), c.cellAfter) << c.what;
    const auto edited = Sent(ui::kTrackCellEdited);
    ASSERT_EQ(edited.size(), c.calls.empty() ? 0u : 1u) << c.what;
    if (!edited.empty()) {
      EXPECT_EQ(edited[0].wParam, static_cast<WPARAM>(c.cell.row));
      EXPECT_EQ(edited[0].lParam, c.cell.column);
    }
    list_.FinishCellEdit(false);
  }
}

TEST_F(TrackListTest, TitlesAndArtistsTakeAtMostEightyCharacters) {
  const std::wstring hundred = std::wstring(60, L'曲') + std::wstring(40, L'x');
  struct Case {
    int column;
    std::size_t kept;
  };
  const Case cases[] = {{0, 80}, {1, 80}, {2, 100}};
  for (const Case& c : cases) {
    ASSERT_TRUE(list_.BeginCellEdit(1, c.column));
    Type(hundred);
    EXPECT_EQ(harness::TextOf(list_.Editor()), hundred.substr(0, c.kept)) << c.column;
    EXPECT_EQ(SendMessageW(list_.Editor(), WM_GETFONT, 0, 0), SendMessageW(List(), WM_GETFONT, 0, 0))
        << "the list's font";
    list_.FinishCellEdit(false);
  }
}

TEST_F(TrackListTest, TheEditorTakesTheColumnsAlignment) {
  ASSERT_TRUE(list_.BeginCellEdit(0, 0));
  HWND left = list_.Editor();
  EXPECT_EQ(GetWindowLongW(left, GWL_STYLE) & (ES_CENTER | ES_RIGHT), 0);
  ASSERT_TRUE(list_.BeginCellEdit(0, 1));
  EXPECT_EQ(list_.Editor(), left) << "same alignment, same window";
  ASSERT_TRUE(list_.BeginCellEdit(0, 2));
  EXPECT_FALSE(IsWindow(left)) << "a right-aligned column needs a new editor";
  EXPECT_TRUE(GetWindowLongW(list_.Editor(), GWL_STYLE) & ES_RIGHT);
  RECT editor, cell = {};
  GetWindowRect(list_.Editor(), &editor);
  MapWindowPoints(nullptr, List(), reinterpret_cast<POINT*>(&editor), 2);
  cell.top = 2;
  cell.left = LVIR_LABEL;
  SendMessageW(List(), LVM_GETSUBITEMRECT, 0, reinterpret_cast<LPARAM>(&cell));
  EXPECT_EQ(editor.left, cell.left);
  EXPECT_EQ(editor.top, cell.top);
}

TEST_F(TrackListTest, BeginFailsOutsideTheListOrWithEditingOff) {
  EXPECT_FALSE(list_.BeginCellEdit(-1, 0));
  EXPECT_FALSE(list_.BeginCellEdit(kRows, 0));
  EXPECT_FALSE(list_.BeginCellEdit(0, 3));
  ASSERT_TRUE(list_.BeginCellEdit(2, 1));
  Type(L"X");
  list_.SetCellEditing(false);
  EXPECT_EQ(owner_.calls, (std::vector<std::wstring>{L"note 2", L"artist 3 X"}))
      << "switching editing off accepts the edit";
  EXPECT_FALSE(list_.BeginCellEdit(2, 1));
  EXPECT_FALSE(list_.IsCellEditActive());
}

TEST_F(TrackListTest, AFailingSetterGetsTheOldTextBackAndTheCellStays) {
  owner_.succeed = false;
  ASSERT_TRUE(list_.BeginCellEdit(3, 0));
  Type(L"失敗");
  EXPECT_TRUE(list_.FinishCellEdit(true)) << "the text differed";
  EXPECT_EQ(owner_.calls,
            (std::vector<std::wstring>{L"note 3", L"title 4 失敗", L"title 4 夕暮れ"}));
  EXPECT_EQ(list_.GetCellText(3, 0), L"夕暮れ");
  EXPECT_TRUE(Sent(ui::kTrackCellEdited).empty());
}

TEST_F(TrackListTest, WhoElseEndsAnEdit) {
  struct Case {
    const char* what;
    std::function<void()> act;
    bool written;
  };
  const Case cases[] = {
      {"a press on the header",
       [&] {
         HWND header = reinterpret_cast<HWND>(SendMessageW(List(), LVM_GETHEADER, 0, 0));
         SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
         SendMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
       },
       true},
      {"the wheel", [&] { SendMessageW(list_.Editor(), WM_MOUSEWHEEL, MAKEWPARAM(0, -120), 0); }, true},
      {"the scroll bar", [&] { SendMessageW(List(), WM_VSCROLL, SB_LINEDOWN, 0); }, true},
      {"a new row", [&] { list_.AddRow(L"追加"); }, true},
      {"hiding the check boxes", [&] { list_.ShowCheckBoxes(false); }, true},
      {"removing every row", [&] { EXPECT_EQ(list_.RemoveAllRows(), kRows); }, false},
  };
  for (const Case& c : cases) {
    TearDown();
    SetUp();
    owner_.calls.clear();
    ASSERT_TRUE(list_.BeginCellEdit(1, 0));
    Type(L"途中");
    c.act();
    EXPECT_FALSE(list_.IsCellEditActive()) << c.what;
    EXPECT_EQ(!owner_.calls.empty(), c.written) << c.what;
  }
}

TEST_F(TrackListTest, ARefillFromInsideTheSetterIsNotOverwritten) {
  // The engine reports the change while the setter runs, and the main
  // window refills the list from the engine.
  owner_.duringSetter = [this] {
    list_.RemoveAllRows();
    list_.AddRow(L"エンジンの題");
    list_.AddRow(L"二曲目");
  };
  ASSERT_TRUE(list_.BeginCellEdit(1, 0));
  Type(L"私の題");
  Key(VK_RETURN);
  EXPECT_EQ(list_.GetRowCount(), 2);
  EXPECT_EQ(list_.GetCellText(1, 0), L"二曲目");
  EXPECT_TRUE(Sent(ui::kTrackCellEdited).empty());
  EXPECT_FALSE(list_.IsCellEditActive());
}

TEST_F(TrackListTest, SnapshotOfTheCheckBoxes) {
  list_.SetRowCheck(1, false);
  list_.SetRowCheck(3, false);
  list_.SnapshotChecks(false);
  const bool expected[] = {true, false, true, false, true};
  for (int track = 1; track <= kRows; ++track) {
    EXPECT_EQ(list_.IsTrackChecked(track), expected[track - 1]) << track;
  }
  EXPECT_FALSE(list_.IsTrackChecked(0));
  EXPECT_FALSE(list_.IsTrackChecked(100));
  list_.SnapshotChecks(true);
  EXPECT_TRUE(list_.IsTrackChecked(2));
  EXPECT_TRUE(list_.IsTrackChecked(99));
}

}  // namespace
}  // namespace tracklist
