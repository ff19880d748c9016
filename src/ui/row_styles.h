#pragma once
// Per-row, per-column text and background colours of the track list. The
// Win32 control draws each cell with them; the rules of adding columns and
// of applying a colour to a row or column live here.
#include <cstdint>
#include <vector>

namespace ui {

struct RowStyle {
  std::vector<std::uint32_t> text;  // 0x00BBGGRR per column
  std::vector<std::uint32_t> back;
};

class RowStyleTable {
 public:
  // New rows and columns start with these (the system's window-text and
  // window colours).
  RowStyleTable(std::uint32_t defaultText, std::uint32_t defaultBack);

  // A row with the default colours in each of the current columns, at `row`.
  void InsertRow(int row);
  void Clear();
  // One entry with the default colours at `column` in every row.
  void InsertColumn(int column);
  void RemoveColumn(int column);

  int RowCount() const { return static_cast<int>(rows_.size()); }
  int ColumnCount() const { return columns_; }
  // Colours of a cell; the defaults for a cell outside the table.
  std::uint32_t TextOf(int row, int column) const;
  std::uint32_t BackOf(int row, int column) const;

  // Applies `colour` to one row or all (-1), and within it to one column or
  // all (-1). False, changing nothing, when every cell already shares that
  // colour as cell (0, 0) does: the tool always colours all cells alike.
  bool SetText(int row, int column, std::uint32_t colour);
  bool SetBack(int row, int column, std::uint32_t colour);

  std::uint32_t DefaultText() const { return defaultText_; }
  std::uint32_t DefaultBack() const { return defaultBack_; }

 private:
  bool Apply(int row, int column, std::uint32_t colour, std::vector<std::uint32_t> RowStyle::*cells);

  std::uint32_t defaultText_;
  std::uint32_t defaultBack_;
  int columns_ = 0;
  std::vector<RowStyle> rows_;
};

}  // namespace ui
