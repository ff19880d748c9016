#include "ui/row_styles.h"

#include <algorithm>

namespace ui {

RowStyleTable::RowStyleTable(std::uint32_t defaultText, std::uint32_t defaultBack)
    : defaultText_(defaultText), defaultBack_(defaultBack) {}

void RowStyleTable::InsertRow(int row) {
  const int at = std::clamp(row, 0, RowCount());
  RowStyle style;
  style.text.assign(static_cast<std::size_t>(columns_), defaultText_);
  style.back.assign(static_cast<std::size_t>(columns_), defaultBack_);
  rows_.insert(rows_.begin() + at, std::move(style));
}

void RowStyleTable::Clear() { rows_.clear(); }

void RowStyleTable::InsertColumn(int column) {
  const int at = std::clamp(column, 0, columns_);
  for (RowStyle& style : rows_) {
    style.text.insert(style.text.begin() + at, defaultText_);
    style.back.insert(style.back.begin() + at, defaultBack_);
  }
  ++columns_;
}

void RowStyleTable::RemoveColumn(int column) {
  if (column < 0 || column >= columns_) return;
  for (RowStyle& style : rows_) {
    style.text.erase(style.text.begin() + column);
    style.back.erase(style.back.begin() + column);
  }
  --columns_;
}

std::uint32_t RowStyleTable::TextOf(int row, int column) const {
  if (row < 0 || row >= RowCount() || column < 0 || column >= columns_) return defaultText_;
  return rows_[static_cast<std::size_t>(row)].text[static_cast<std::size_t>(column)];
}

std::uint32_t RowStyleTable::BackOf(int row, int column) const {
  if (row < 0 || row >= RowCount() || column < 0 || column >= columns_) return defaultBack_;
  return rows_[static_cast<std::size_t>(row)].back[static_cast<std::size_t>(column)];
}

bool RowStyleTable::SetText(int row, int column, std::uint32_t colour) {
  return Apply(row, column, colour, &RowStyle::text);
}

bool RowStyleTable::SetBack(int row, int column, std::uint32_t colour) {
  return Apply(row, column, colour, &RowStyle::back);
}

bool RowStyleTable::Apply(int row, int column, std::uint32_t colour,
                          std::vector<std::uint32_t> RowStyle::*cells) {
  if (!rows_.empty() && columns_ > 0 && (rows_.front().*cells).front() == colour) return false;
  for (int r = 0; r < RowCount(); ++r) {
    if (row != -1 && row != r) continue;
    std::vector<std::uint32_t>& line = rows_[static_cast<std::size_t>(r)].*cells;
    for (int c = 0; c < columns_; ++c) {
      if (column == -1 || column == c) line[static_cast<std::size_t>(c)] = colour;
    }
  }
  return true;
}

}  // namespace ui
