// The track list's in-place editor: one edit box, a child of the list,
// created on first use and moved over the cell being edited.
#include "ui/track_list_rules.h"
#include "ui/win32/report_ctrl.h"

namespace ui::win32 {
namespace {

constexpr UINT_PTR kEditorSubclassId = 2;
constexpr int kEditorId = 1;

int AlignmentOf(int format) {
  switch (format & LVCFMT_JUSTIFYMASK) {
    case LVCFMT_CENTER:
      return ES_CENTER;
    case LVCFMT_RIGHT:
      return ES_RIGHT;
    default:
      return ES_LEFT;
  }
}

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// Sets a flag for the lifetime of the scope.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = false; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
};

}  // namespace

bool CReportCtrl::IsCellEditActive() const {
  return cellEditing_ && editRow_ >= 0 && editRow_ < GetRowCount() && editColumn_ >= 0 &&
         editColumn_ < GetColumnCount();
}

bool CReportCtrl::BeginCellEdit(int row, int column) {
  if (!cellEditing_ || !list_ || row < 0 || row >= GetRowCount() || column < 0 ||
      column >= GetColumnCount()) {
    return false;
  }
  if (row == editRow_ && column == editColumn_ && IsCellEditActive()) return true;
  FinishCellEdit(true);
  editRow_ = row;
  editColumn_ = column;
  SelectAndFocusRow(row);
  if (!PrepareEditor(column)) {
    editRow_ = editColumn_ = -1;  // no editor: nothing is being edited
    return false;
  }

  SendMessageW(editor_, WM_SETFONT, SendMessageW(list_, WM_GETFONT, 0, 0), FALSE);
  // Titles and artists hold 80 characters at most; other cells are not limited.
  const bool trackText = column == ui::kTitleColumn || column == ui::kArtistColumn;
  SendMessageW(editor_, EM_LIMITTEXT, trackText ? ui::kCellTextLimit : 0, 0);
  RECT cell = {};
  cell.top = column;
  cell.left = LVIR_LABEL;
  SendMessageW(list_, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
  MoveWindow(editor_, cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top, TRUE);
  SetWindowTextW(editor_, GetCellText(row, column).c_str());
  ShowWindow(editor_, SW_SHOW);
  SendMessageW(editor_, EM_SETSEL, 0, -1);
  SendMessageW(editor_, EM_SCROLLCARET, 0, 0);
  SetFocus(editor_);
  return true;
}

bool CReportCtrl::PrepareEditor(int column) {
  LVCOLUMNW description = {};
  description.mask = LVCF_FMT;
  SendMessageW(list_, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&description));
  const int align = AlignmentOf(description.fmt);
  if (align != editAlign_) {
    // An edit box cannot change its alignment: a new one is made.
    editAlign_ = align;
    if (editor_) DestroyWindow(editor_);
    editor_ = nullptr;
  }
  if (editor_) return true;
  editor_ = CreateWindowExW(0, L"EDIT", L"",
                            WS_CHILD | WS_BORDER | ES_AUTOHSCROLL | ES_NOHIDESEL | editAlign_, 0,
                            0, 1, 1, list_, reinterpret_cast<HMENU>(kEditorId),
                            GetModuleHandleW(nullptr), nullptr);
  if (!editor_) return false;
  SetWindowSubclass(editor_, EditorProc, kEditorSubclassId, reinterpret_cast<DWORD_PTR>(this));
  return true;
}

bool CReportCtrl::FinishCellEdit(bool accept) {
  if (finishing_ || !IsCellEditActive() || !editor_) return false;
  FlagScope guard(finishing_);
  const int row = editRow_;
  const int column = editColumn_;
  const std::wstring text = TextOf(editor_);
  const std::wstring old = GetCellText(row, column);
  const bool changed = accept && text != old;
  if (changed && owner_) {
    const unsigned generation = rowsGeneration_;
    const bool written = ui::WriteCellEdit(*owner_, row, column, text, old);
    // The setter lets the engine report the change; should that have
    // refilled the list meanwhile, these rows are not the edited ones.
    if (written && list_ && generation == rowsGeneration_) {
      SetCell(row, column, text);
      SendMessageW(GetParent(list_), ui::kTrackCellEdited, row, column);
    }
  }
  if (editor_) {
    if (GetFocus() == editor_ && list_) SetFocus(list_);
    ShowWindow(editor_, SW_HIDE);
  }
  editRow_ = editColumn_ = -1;
  return changed;
}

bool CReportCtrl::OnEditKey(UINT virtualKey) {
  const ui::EditKeyAction action = ui::EditKeyFor(virtualKey, editRow_, editColumn_, GetRowCount());
  switch (action.kind) {
    case ui::EditKeyAction::kPassOn:
      return false;
    case ui::EditKeyAction::kAccept:
      FinishCellEdit(true);
      return true;
    case ui::EditKeyAction::kDiscard:
      FinishCellEdit(false);
      return true;
    case ui::EditKeyAction::kAcceptAndMove:
      FinishCellEdit(true);
      if (action.row != editRow_) SendMessageW(list_, LVM_ENSUREVISIBLE, action.row, FALSE);
      BeginCellEdit(action.row, action.column);
      return true;
  }
  return false;
}

LRESULT CALLBACK CReportCtrl::EditorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<CReportCtrl*>(data);
  try {
    if (message == WM_NCDESTROY) {
      RemoveWindowSubclass(window, EditorProc, kEditorSubclassId);
      if (self->editor_ == window) self->editor_ = nullptr;
    } else if (self->editor_ == window) {
      return self->OnEditorMessage(message, wParam, lParam);
    }
  } catch (...) {
    // nothing may escape into the system
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CReportCtrl::OnEditorMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND editor = editor_;
  switch (message) {
    case WM_GETDLGCODE:
      // Tab, Enter and Esc belong to the editor, not to the dialog.
      return DefSubclassProc(editor, message, wParam, lParam) | DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
      if (!interactive_) return 0;
      if (IsCellEditActive() && OnEditKey(static_cast<UINT>(wParam))) return 0;
      break;
    case WM_CHAR:
      // The characters of the keys handled above would only beep, and a
      // switched-off list takes none.
      if (!interactive_ || wParam == L'\t' || wParam == L'\r' || wParam == 0x1B) return 0;
      break;
    case WM_MOUSEWHEEL:
      if (IsCellEditActive()) {
        FinishCellEdit(true);
        return 0;
      }
      break;
    default:
      break;
  }
  return DefSubclassProc(editor, message, wParam, lParam);
}

}  // namespace ui::win32
