#pragma once
// Rules of the track list's in-place editing, mouse and keys, kept apart
// from the Win32 control so they can be checked natively.
#include <string>

#include "ui/track_edit_owner.h"

namespace ui {

// Columns of the track list.
constexpr int kTitleColumn = 0;
constexpr int kArtistColumn = 1;
constexpr int kLengthColumn = 2;

// Longest title or artist the in-place editor takes (CD-TEXT holds 80).
constexpr int kCellTextLimit = 80;
// Width of the check-box area at the left of a row, in pixels.
constexpr int kCheckBoxAreaWidth = 16;

// Messages the list sends its parent (WM_APP + 10000, WM_APP + 10002).
// wParam = row; lParam = the mouse message that changed the check.
constexpr unsigned kTrackCheckClicked = 0xA710;
// wParam = row, lParam = column of an accepted and written edit.
constexpr unsigned kTrackCellEdited = 0xA712;

// Mouse messages the list handles, numbered as the platform's.
constexpr unsigned kLeftButtonDown = 0x201;
constexpr unsigned kLeftDoubleClick = 0x203;
constexpr unsigned kRightButtonDown = 0x204;
constexpr unsigned kRightDoubleClick = 0x206;
constexpr unsigned kMiddleButtonDown = 0x207;
constexpr unsigned kMiddleDoubleClick = 0x209;
bool IsListMouseButton(unsigned message);

// Keys, numbered as the platform's virtual keys.
constexpr unsigned kKeyTab = 0x09;
constexpr unsigned kKeyEnter = 0x0D;
constexpr unsigned kKeyEscape = 0x1B;
constexpr unsigned kKeyUp = 0x26;
constexpr unsigned kKeyDown = 0x28;
constexpr unsigned kKeyContextMenu = 0x5D;

// What a key press does while a cell is being edited.
struct EditKeyAction {
  enum Kind {
    kPassOn,        // the key goes on to the editor
    kAccept,        // accept the edit; key swallowed
    kDiscard,       // discard the edit; key swallowed
    kAcceptAndMove  // accept, then edit (row, column); key swallowed
  };
  Kind kind = kPassOn;
  int row = -1;
  int column = -1;
};
// Tab alternates title and artist; Enter accepts; Esc discards; Up and Down
// move to the same column of the neighbouring row, and pass at the ends.
EditKeyAction EditKeyFor(unsigned virtualKey, int row, int column, int rowCount);

// Whether a right click opens the context menu: only on the title or artist
// column of a row, outside the check-box area.
bool RightClickOpensMenu(int row, int column, int x, bool checkBoxes);

// Whether a click opens the editor: a left click or left double click on
// the title or artist cell of the row that was selected and focused before,
// when it changed no check box and no edit was open.
struct ClickFacts {
  unsigned message = 0;
  int column = -1;
  bool cellEditing = false;
  bool checkChanged = false;
  bool wasEditing = false;
  bool wasSelectedAndFocused = false;
};
bool ClickStartsEdit(const ClickFacts& facts);

// Writes an accepted edit of `column` (title or artist) of `row` into the
// track information through the owner; when the setter fails, sets the old
// text again so that the track information keeps what the list shows.
// True when the new text was written. Other columns are not track
// information and are never written.
bool WriteCellEdit(ITrackEditOwner& owner, int row, int column, const std::wstring& text,
                   const std::wstring& oldText);

}  // namespace ui
