// The track list's own messages: the six mouse buttons, keys, scrolling,
// the wheel and the context menu.
#include <windowsx.h>

#include "resources/resource.h"
#include "ui/track_list_rules.h"
#include "ui/win32/report_ctrl.h"

namespace ui::win32 {
namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr DWORD kKeptExtendedStyle = LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES;

// Owner of a menu loaded from the resources.
class LoadedMenu {
 public:
  explicit LoadedMenu(int id) : menu_(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id))) {}
  ~LoadedMenu() {
    if (menu_) DestroyMenu(menu_);
  }
  LoadedMenu(const LoadedMenu&) = delete;
  LoadedMenu& operator=(const LoadedMenu&) = delete;
  HMENU Popup() const { return menu_ ? GetSubMenu(menu_, 0) : nullptr; }

 private:
  HMENU menu_;
};

}  // namespace

LRESULT CReportCtrl::OnListMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND list = list_;
  if (ui::IsListMouseButton(message)) return OnMouseButton(message, wParam, lParam);
  switch (message) {
    case WM_CHAR:
      // The message loop has already made characters of the key-downs
      // dropped below: they must not reach the list's type-ahead either.
      if (!interactive_) return 0;
      break;
    case WM_KEYDOWN:
      if (!interactive_) return 0;
      if (IsCellEditActive()) {
        if (OnEditKey(static_cast<UINT>(wParam))) return 0;
      } else if (wParam == ui::kKeyContextMenu) {
        OnContextMenuKey();
      }
      break;
    case WM_MOUSEWHEEL:
      if (IsCellEditActive()) {
        FinishCellEdit(true);
        return 0;
      }
      break;
    case WM_VSCROLL:
    case WM_HSCROLL:
      FinishCellEdit(true);
      break;
    case WM_COMMAND:
      // The menu's commands, should they reach the list itself.
      switch (LOWORD(wParam)) {
        case ID_TRACK_EDIT:
          EditSelectedRow();
          return 0;
        case ID_TRACK_TOGGLE_CHECK:
          ToggleSelectedRowCheck();
          return 0;
        case ID_TRACK_MENU_CANCEL:
          return 0;
        default:
          break;
      }
      break;
    case LVM_SETEXTENDEDLISTVIEWSTYLE:
      if (wParam != 0) wParam |= kKeptExtendedStyle;
      lParam |= kKeptExtendedStyle;
      break;
    case WM_DESTROY:
      RemoveAllRows();
      if (editor_) DestroyWindow(editor_);
      editor_ = nullptr;
      break;
    case WM_NCDESTROY:
      header_.Detach();
      RemoveWindowSubclass(list, ListProc, kSubclassId);
      list_ = nullptr;
      return DefSubclassProc(list, message, wParam, lParam);
    default:
      break;
  }
  return DefSubclassProc(list, message, wParam, lParam);
}

LRESULT CReportCtrl::OnMouseButton(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!interactive_) return 0;  // nothing can be selected, checked or edited
  HWND list = list_;
  POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  LVHITTESTINFO hit = {};
  hit.pt = point;
  SendMessageW(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  const int row = hit.iItem >= 0 && hit.iItem < GetRowCount() ? hit.iItem : -1;
  const int column = row >= 0 ? hit.iSubItem : ColumnAt(point);

  const bool wasChecked = GetRowCheck(row) > 0;
  const bool wasEditing = IsCellEditActive();
  FinishCellEdit(true);
  const UINT both = LVIS_SELECTED | LVIS_FOCUSED;
  const bool wasSelectedAndFocused =
      row >= 0 && static_cast<UINT>(SendMessageW(list, LVM_GETITEMSTATE, row, both)) == both;

  const LRESULT result = DefSubclassProc(list, message, wParam, lParam);
  if (!list_) return result;

  if (message == ui::kRightButtonDown) {
    if (column != ui::kTitleColumn && column != ui::kArtistColumn) return result;
    menuColumn_ = column;
    if (!ui::RightClickOpensMenu(row, column, point.x, checkBoxes_)) return result;
    POINT screen = point;
    ClientToScreen(list, &screen);
    OpenContextMenu(screen);
    if (!list_) return result;
  }

  bool checkChanged = false;
  if (row >= 0 && row < GetRowCount() && checkBoxes_ && (GetRowCheck(row) > 0) != wasChecked) {
    checkChanged = true;
    SelectAndFocusRow(row);
    SendMessageW(GetParent(list), ui::kTrackCheckClicked, row, message);
  }

  ui::ClickFacts facts;
  facts.message = message;
  facts.column = column;
  facts.cellEditing = cellEditing_;
  facts.checkChanged = checkChanged;
  facts.wasEditing = wasEditing;
  facts.wasSelectedAndFocused = wasSelectedAndFocused;
  if (row >= 0 && list_ && ui::ClickStartsEdit(facts)) {
    SendMessageW(list, LVM_ENSUREVISIBLE, row, FALSE);
    BeginCellEdit(row, column);
  }
  return result;
}

int CReportCtrl::ColumnAt(POINT client) const {
  HWND header = reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETHEADER, 0, 0));
  if (!header) return -1;
  // The header scrolls with the list; its items tell the columns apart.
  POINT inHeader = client;
  MapWindowPoints(list_, header, &inHeader, 1);
  for (int i = 0, count = GetColumnCount(); i < count; ++i) {
    RECT r;
    if (SendMessageW(header, HDM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r)) &&
        inHeader.x >= r.left && inHeader.x < r.right) {
      return i;
    }
  }
  return -1;
}

void CReportCtrl::OnContextMenuKey() {
  const int row = FirstSelectedRow();
  if (row < 0) return;
  menuColumn_ = ui::kTitleColumn;
  POINT position = {};
  RECT bounds = {};
  bounds.left = LVIR_BOUNDS;
  SendMessageW(list_, LVM_GETITEMPOSITION, row, reinterpret_cast<LPARAM>(&position));
  SendMessageW(list_, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds));
  POINT screen = {position.x + ui::kCheckBoxAreaWidth, position.y + (bounds.bottom - bounds.top)};
  ClientToScreen(list_, &screen);
  OpenContextMenu(screen);
}

void CReportCtrl::OpenContextMenu(POINT screen) {
  LoadedMenu menu(IDM_TRACK_MENU);
  HMENU popup = menu.Popup();
  if (!popup) return;
  // Tracked for the main window: its command handlers are the ones that run.
  HWND mainWindow = GetAncestor(list_, GA_ROOT);
  TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, mainWindow,
                 nullptr);
}

}  // namespace ui::win32
