#pragma once
// The track list (one row per CD track, a check box each) as the CD drive
// access sees it. The Win32 list control implements the primitives; the
// check snapshot, which survives a refill of the list, is kept here.
#include <array>
#include <cstdint>
#include <string>

namespace ui {

// Which of tracks 1..99 were checked when the list was last recorded: what a
// transfer takes, handed to whoever picks its tracks.
class CheckSnapshot {
 public:
  static constexpr int kTracks = 99;  // the most an audio CD holds
  void CheckAll() { bits_.fill(0xFF); }
  void Set(int trackNumber, bool checked);
  // False for any number outside 1..99.
  bool IsTrackChecked(int trackNumber) const;

 private:
  // Bit i (byte i / 8, bit i % 8): track i + 1. 13 bytes hold 104 bits.
  std::array<std::uint8_t, 13> bits_{};
};

class CReportCtrl {
 public:
  // Tracks 1..99 are recorded: the most an audio CD holds.
  static constexpr int kSnapshotTracks = CheckSnapshot::kTracks;
  // Colour argument that stands for the system's default colour.
  static constexpr std::uint32_t kDefaultColour = 0xFFFFFFFFu;
  static constexpr int kAllRows = -1;
  static constexpr int kAllColumns = -1;

  virtual ~CReportCtrl() = default;
  CReportCtrl(const CReportCtrl&) = delete;
  CReportCtrl& operator=(const CReportCtrl&) = delete;

  // Whether the list reacts to the mouse and keyboard (and its text colour).
  virtual bool SetInteractive(bool on) = 0;
  // Appends a row with the text of column 0; its index, or -1.
  virtual int AddRow(const std::wstring& text) = 0;
  virtual bool SetCell(int row, int column, const std::wstring& text) = 0;
  // Number of rows removed.
  virtual int RemoveAllRows() = 0;
  virtual int GetRowCount() const = 0;
  virtual bool SetRowCheck(int row, bool checked) = 0;
  // 1 checked, 0 unchecked, -1 no check box (or no such row).
  virtual int GetRowCheck(int row) const = 0;
  // Row and column may be kAllRows / kAllColumns; colour 0x00BBGGRR or
  // kDefaultColour.
  virtual void SetTextColour(int row, int column, std::uint32_t colour, bool redraw) = 0;
  virtual void SetBackColour(int row, int column, std::uint32_t colour, bool redraw) = 0;
  // Clears the selection, then selects and focuses `row`.
  virtual void SelectAndFocusRow(int row) = 0;

  // Whether the list reacts to the mouse and keyboard.
  virtual bool IsInteractive() const = 0;
  // Whether a title or artist cell is being edited in place.
  virtual bool IsCellEditActive() const = 0;
  // Ends an in-place edit, writing the text through when `accept`; true
  // when an accepted text differed from the cell.
  virtual bool FinishCellEdit(bool accept) = 0;
  // The context menu's "edit": edits the first selected row in the column
  // the menu was opened on.
  virtual void EditSelectedRow() = 0;
  // The context menu's "select/clear": inverts the first selected row's check box.
  virtual void ToggleSelectedRowCheck() = 0;

  // Records the check boxes of rows 0..98; with allChecked every track
  // counts as checked.
  void SnapshotChecks(bool allChecked);
  // Whether track `trackNumber` (1..99) was checked at the last snapshot;
  // false for any other number.
  bool IsTrackChecked(int trackNumber) const { return snapshot_.IsTrackChecked(trackNumber); }
  const CheckSnapshot& Checks() const { return snapshot_; }

 protected:
  CReportCtrl() = default;

 private:
  CheckSnapshot snapshot_;
};

}  // namespace ui
