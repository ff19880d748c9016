#pragma once
// A track list as the main window sets it up, in a recording parent window:
// three columns sized from the client width, white on dark grey, check
// boxes, editing allowed, five tracks.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.h"
#include "ui/track_edit_owner.h"
#include "ui/win32/report_ctrl.h"

namespace tracklist {

// The main window as the list's owner: records what the list asked of it.
class RecordingOwner : public ui::ITrackEditOwner {
 public:
  void NoteSelfEdit(int row) override { calls.push_back(L"note " + std::to_wstring(row)); }
  bool SetTrackTitle(int track, const std::wstring& title) override {
    calls.push_back(L"title " + std::to_wstring(track) + L" " + title);
    if (duringSetter) duringSetter();
    return succeed;
  }
  bool SetTrackArtist(int track, const std::wstring& artist) override {
    calls.push_back(L"artist " + std::to_wstring(track) + L" " + artist);
    if (duringSetter) duringSetter();
    return succeed;
  }
  bool succeed = true;
  std::function<void()> duringSetter;
  std::vector<std::wstring> calls;
};

class TrackListTest : public ::testing::Test {
 protected:
  static constexpr int kRows = 5;

  void SetUp() override;
  void TearDown() override;

  HWND List() const { return list_.Window(); }
  // Centre of a cell's label, in list client coordinates.
  POINT CellPoint(int row, int column) const;
  // Inside the check box of a row.
  POINT CheckPoint(int row) const;
  // A mouse message as the user's button sends it, with what follows it
  // (the release), so that the list's own mouse tracking ends.
  void Mouse(UINT message, POINT at);
  void Click(POINT at) { Mouse(WM_LBUTTONDOWN, at); }
  void DoubleClick(POINT at);
  // Keys and characters typed into the window with the focus.
  void Key(UINT virtualKey);
  void Type(const std::wstring& text);
  bool IsSelected(int row) const;
  bool IsFocused(int row) const;
  int SelectedCount() const;
  std::vector<harness::ParentWindow::Record> Sent(UINT message) const {
    return parent_.RecordsOf(message);
  }

  harness::ParentWindow parent_{560, 420};
  ui::win32::CReportCtrl list_;
  RecordingOwner owner_;
  HFONT font_ = nullptr;
};

}  // namespace tracklist
