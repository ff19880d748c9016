// Rules of the track list's in-place editing: keys while editing, when a
// click opens the menu or the editor, and how an accepted edit reaches the
// track information.
#include "ui/track_list_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Kind = ui::EditKeyAction::Kind;

TEST(TrackListRules, KeysWhileEditing) {
  struct Case {
    unsigned key;
    int row, column, rows;
    Kind kind;
    int toRow, toColumn;
  };
  const Case cases[] = {
      {ui::kKeyTab, 2, 0, 5, Kind::kAcceptAndMove, 2, 1},
      {ui::kKeyTab, 2, 1, 5, Kind::kAcceptAndMove, 2, 0},
      {ui::kKeyEnter, 2, 1, 5, Kind::kAccept, 2, 1},
      {ui::kKeyEscape, 2, 0, 5, Kind::kDiscard, 2, 0},
      {ui::kKeyUp, 2, 1, 5, Kind::kAcceptAndMove, 1, 1},
      {ui::kKeyUp, 0, 1, 5, Kind::kPassOn, 0, 1},
      {ui::kKeyDown, 3, 0, 5, Kind::kAcceptAndMove, 4, 0},
      {ui::kKeyDown, 4, 0, 5, Kind::kPassOn, 4, 0},
      {ui::kKeyDown, 0, 0, 1, Kind::kPassOn, 0, 0},
      {'A', 1, 0, 5, Kind::kPassOn, 1, 0},
      {0x25 /* left */, 1, 0, 5, Kind::kPassOn, 1, 0},
  };
  for (const Case& c : cases) {
    const ui::EditKeyAction action = ui::EditKeyFor(c.key, c.row, c.column, c.rows);
    EXPECT_EQ(action.kind, c.kind) << "key " << c.key << " at " << c.row << "," << c.column;
    if (action.kind == Kind::kAcceptAndMove) {
      EXPECT_EQ(action.row, c.toRow) << "key " << c.key;
      EXPECT_EQ(action.column, c.toColumn) << "key " << c.key;
    }
  }
}

TEST(TrackListRules, RightClickMenuOnlyOnTitleOrArtistOutsideTheCheckBox) {
  struct Case {
    int row, column, x;
    bool checkBoxes, opens;
  };
  const Case cases[] = {
      {0, 0, 40, true, true},   {3, 1, 200, true, true},  {0, 0, 15, true, false},
      {0, 0, 16, true, true},   {0, 0, 5, false, true},   {0, 2, 250, true, false},
      {-1, 0, 40, true, false}, {-1, 1, 200, false, false}, {0, -1, 40, true, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ui::RightClickOpensMenu(c.row, c.column, c.x, c.checkBoxes), c.opens)
        << c.row << "," << c.column << " x=" << c.x << " boxes=" << c.checkBoxes;
  }
}

TEST(TrackListRules, ClickOpensTheEditorOnlyOnTheSelectedRowsTextCells) {
  ui::ClickFacts base;
  base.message = ui::kLeftButtonDown;
  base.column = ui::kTitleColumn;
  base.cellEditing = true;
  base.wasSelectedAndFocused = true;
  EXPECT_TRUE(ui::ClickStartsEdit(base));

  struct Case {
    const char* what;
    void (*change)(ui::ClickFacts&);
    bool starts;
  };
  const Case cases[] = {
      {"artist", [](ui::ClickFacts& f) { f.column = ui::kArtistColumn; }, true},
      {"double click", [](ui::ClickFacts& f) { f.message = ui::kLeftDoubleClick; }, true},
      {"length", [](ui::ClickFacts& f) { f.column = ui::kLengthColumn; }, false},
      {"no cell", [](ui::ClickFacts& f) { f.column = -1; }, false},
      {"right", [](ui::ClickFacts& f) { f.message = ui::kRightButtonDown; }, false},
      {"middle", [](ui::ClickFacts& f) { f.message = ui::kMiddleButtonDown; }, false},
      {"editing off", [](ui::ClickFacts& f) { f.cellEditing = false; }, false},
      {"check changed", [](ui::ClickFacts& f) { f.checkChanged = true; }, false},
      {"was editing", [](ui::ClickFacts& f) { f.wasEditing = true; }, false},
      {"not selected", [](ui::ClickFacts& f) { f.wasSelectedAndFocused = false; }, false},
  };
  for (const Case& c : cases) {
    ui::ClickFacts facts = base;
    c.change(facts);
    EXPECT_EQ(ui::ClickStartsEdit(facts), c.starts) << c.what;
  }
}

// Records what the list asked of its owner, in order.
class RecordingOwner : public ui::ITrackEditOwner {
 public:
  void NoteSelfEdit(int row) override { calls.push_back(L"note " + std::to_wstring(row)); }
  bool SetTrackTitle(int track, const std::wstring& title) override {
    calls.push_back(L"title " + std::to_wstring(track) + L" " + title);
    return succeed;
  }
  bool SetTrackArtist(int track, const std::wstring& artist) override {
    calls.push_back(L"artist " + std::to_wstring(track) + L" " + artist);
    return succeed;
  }
  bool succeed = true;
  std::vector<std::wstring> calls;
};

TEST(TrackListRules, AcceptedEditNotesTheOwnerBeforeTheSetter) {
  struct Case {
    int column;
    bool succeed;
    bool written;
    std::vector<std::wstring> calls;
  };
  const Case cases[] = {
      {0, true, true, {L"note 4", L"title 5 新"}},
      {1, true, true, {L"note 4", L"artist 5 新"}},
      {0, false, false, {L"note 4", L"title 5 新", L"title 5 旧"}},
      {1, false, false, {L"note 4", L"artist 5 新", L"artist 5 旧"}},
      {2, true, false, {}},
  };
  for (const Case& c : cases) {
    RecordingOwner owner;
    owner.succeed = c.succeed;
    EXPECT_EQ(ui::WriteCellEdit(owner, 4, c.column, L"新", L"旧"), c.written) << c.column;
    EXPECT_EQ(owner.calls, c.calls) << c.column << " " << c.succeed;
  }
}

}  // namespace
