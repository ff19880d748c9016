#include "ui/track_list_rules.h"

namespace ui {

bool IsListMouseButton(unsigned message) {
  switch (message) {
    case kLeftButtonDown:
    case kLeftDoubleClick:
    case kRightButtonDown:
    case kRightDoubleClick:
    case kMiddleButtonDown:
    case kMiddleDoubleClick:
      return true;
    default:
      return false;
  }
}

EditKeyAction EditKeyFor(unsigned virtualKey, int row, int column, int rowCount) {
  switch (virtualKey) {
    case kKeyTab:
      return {EditKeyAction::kAcceptAndMove, row,
              column == kArtistColumn ? kTitleColumn : column + 1};
    case kKeyEnter:
      return {EditKeyAction::kAccept, row, column};
    case kKeyEscape:
      return {EditKeyAction::kDiscard, row, column};
    case kKeyUp:
      if (row > 0) return {EditKeyAction::kAcceptAndMove, row - 1, column};
      break;
    case kKeyDown:
      if (row < rowCount - 1) return {EditKeyAction::kAcceptAndMove, row + 1, column};
      break;
    default:
      break;
  }
  return {EditKeyAction::kPassOn, row, column};
}

bool RightClickOpensMenu(int row, int column, int x, bool checkBoxes) {
  if (column != kTitleColumn && column != kArtistColumn) return false;
  if (checkBoxes && x < kCheckBoxAreaWidth) return false;
  return row >= 0;
}

bool ClickStartsEdit(const ClickFacts& facts) {
  if (facts.message != kLeftButtonDown && facts.message != kLeftDoubleClick) return false;
  return facts.cellEditing && !facts.checkChanged && !facts.wasEditing &&
         facts.wasSelectedAndFocused &&
         (facts.column == kTitleColumn || facts.column == kArtistColumn);
}

bool WriteCellEdit(ITrackEditOwner& owner, int row, int column, const std::wstring& text,
                   const std::wstring& oldText) {
  bool (ITrackEditOwner::*setter)(int, const std::wstring&) = nullptr;
  if (column == kTitleColumn) {
    setter = &ITrackEditOwner::SetTrackTitle;
  } else if (column == kArtistColumn) {
    setter = &ITrackEditOwner::SetTrackArtist;
  } else {
    return false;
  }
  owner.NoteSelfEdit(row);
  if ((owner.*setter)(row + 1, text)) return true;
  (owner.*setter)(row + 1, oldText);
  return false;
}

}  // namespace ui
