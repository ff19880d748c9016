#pragma once
// A track list in memory: rows of three cells with a check box and a text
// and background colour per cell, the interactive flag and the focused row.
#include <cstdint>
#include <string>
#include <vector>

#include "ui/track_list.h"

namespace fakes {

class FakeTrackList : public ui::CReportCtrl {
 public:
  static constexpr int kColumns = 3;
  static constexpr std::uint32_t kSystemText = 0x000000;
  static constexpr std::uint32_t kSystemBack = 0xFFFFFF;

  struct Row {
    std::wstring cells[kColumns];
    bool checked = false;
    std::uint32_t text[kColumns] = {kSystemText, kSystemText, kSystemText};
    std::uint32_t back[kColumns] = {kSystemBack, kSystemBack, kSystemBack};
  };

  bool SetInteractive(bool on) override {
    interactive_ = on;
    return true;
  }
  int AddRow(const std::wstring& text) override {
    if (failAdds_) return -1;
    rows_.emplace_back();
    rows_.back().cells[0] = text;
    return static_cast<int>(rows_.size()) - 1;
  }
  bool SetCell(int row, int column, const std::wstring& text) override {
    if (!Valid(row) || column < 0 || column >= kColumns) return false;
    rows_[static_cast<std::size_t>(row)].cells[column] = text;
    return true;
  }
  int RemoveAllRows() override {
    const int removed = static_cast<int>(rows_.size());
    rows_.clear();
    focused_ = -1;
    editing_ = false;  // the open edit is discarded with its row
    return removed;
  }
  int GetRowCount() const override { return static_cast<int>(rows_.size()); }
  bool SetRowCheck(int row, bool checked) override {
    if (!Valid(row)) return false;
    rows_[static_cast<std::size_t>(row)].checked = checked;
    return true;
  }
  int GetRowCheck(int row) const override {
    if (!Valid(row)) return -1;
    return rows_[static_cast<std::size_t>(row)].checked ? 1 : 0;
  }
  void SetTextColour(int row, int column, std::uint32_t colour, bool redraw) override {
    Paint(row, column, colour == kDefaultColour ? kSystemText : colour, &Row::text);
    if (redraw) ++redraws_;
  }
  void SetBackColour(int row, int column, std::uint32_t colour, bool redraw) override {
    Paint(row, column, colour == kDefaultColour ? kSystemBack : colour, &Row::back);
    if (redraw) ++redraws_;
  }
  void SelectAndFocusRow(int row) override { focused_ = Valid(row) ? row : -1; }
  bool IsInteractive() const override { return interactive_; }
  bool IsCellEditActive() const override { return editing_; }
  bool FinishCellEdit(bool accept) override {
    finishes_.push_back(accept);
    const bool wasEditing = editing_;
    editing_ = false;
    return wasEditing && accept && editChanges_;
  }
  void EditSelectedRow() override {
    ++editRequests_;
    editing_ = focused_ >= 0;
  }
  void ToggleSelectedRowCheck() override {
    if (Valid(focused_)) SetRowCheck(focused_, GetRowCheck(focused_) == 0);
  }

  // What the user did: clicks a check box.
  void Check(int row, bool checked) { SetRowCheck(row, checked); }
  void FailAdds(bool fail) { failAdds_ = fail; }
  // What the user did: opens the editor on a cell; `changes` says whether
  // accepting it will report a changed text.
  void StartEdit(bool changes) {
    editing_ = true;
    editChanges_ = changes;
  }

  const std::vector<Row>& Rows() const { return rows_; }
  const Row& At(int row) const { return rows_.at(static_cast<std::size_t>(row)); }
  bool Interactive() const { return interactive_; }
  int Focused() const { return focused_; }
  int Redraws() const { return redraws_; }
  // The accept argument of every FinishCellEdit call, in order.
  const std::vector<bool>& Finishes() const { return finishes_; }
  int EditRequests() const { return editRequests_; }

 private:
  bool Valid(int row) const { return row >= 0 && row < static_cast<int>(rows_.size()); }
  void Paint(int row, int column, std::uint32_t colour, std::uint32_t (Row::*cells)[kColumns]) {
    for (int r = 0; r < GetRowCount(); ++r) {
      if (row != kAllRows && row != r) continue;
      for (int c = 0; c < kColumns; ++c) {
        if (column == kAllColumns || column == c) (rows_[static_cast<std::size_t>(r)].*cells)[c] = colour;
      }
    }
  }

  std::vector<Row> rows_;
  bool interactive_ = false;
  bool failAdds_ = false;
  int focused_ = -1;
  int redraws_ = 0;
  bool editing_ = false;
  bool editChanges_ = false;
  std::vector<bool> finishes_;
  int editRequests_ = 0;
};

}  // namespace fakes
