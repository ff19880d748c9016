#include "ui/win32/report_ctrl.h"

#include <vector>

#include "ui/track_list_rules.h"

namespace ui::win32 {
namespace {

constexpr UINT_PTR kSubclassId = 1;
// Full-row selection and sub-item images stay whatever else changes.
constexpr DWORD kKeptExtendedStyle = LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES;

}  // namespace

CReportCtrl::CReportCtrl() : styles_(GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW)) {}

CReportCtrl::~CReportCtrl() { Detach(); }

bool CReportCtrl::Attach(HWND list) {
  Detach();
  if (!list || !SetWindowSubclass(list, ListProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
    return false;
  }
  list_ = list;
  LONG style = GetWindowLongW(list_, GWL_STYLE);
  style &= ~static_cast<LONG>(LVS_EDITLABELS | LVS_NOSCROLL | LVS_SMALLICON);
  style |= WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | LVS_REPORT;
  SetWindowLongW(list_, GWL_STYLE, style);
  SetWindowPos(list_, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, kKeptExtendedStyle);

  // Rows and columns already present get default colours.
  for (int c = 0, columns = GetColumnCount(); c < columns; ++c) styles_.InsertColumn(c);
  for (int r = 0, rows = GetRowCount(); r < rows; ++r) styles_.InsertRow(r);
  header_.Attach(reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETHEADER, 0, 0)), this);
  return true;
}

void CReportCtrl::Detach() {
  if (!list_) return;
  RemoveAllRows();
  if (editor_) DestroyWindow(editor_);
  editor_ = nullptr;
  header_.Detach();
  RemoveWindowSubclass(list_, ListProc, kSubclassId);
  list_ = nullptr;
}

bool CReportCtrl::OnParentNotify(const NMHDR& header, LRESULT* result) {
  if (header.hwndFrom != list_ || header.code != static_cast<UINT>(NM_CUSTOMDRAW)) return false;
  auto& draw = reinterpret_cast<NMLVCUSTOMDRAW&>(const_cast<NMHDR&>(header));
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      *result = CDRF_NOTIFYITEMDRAW;
      return true;
    case CDDS_ITEMPREPAINT:
      *result = CDRF_NOTIFYSUBITEMDRAW;
      return true;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
      const int row = static_cast<int>(draw.nmcd.dwItemSpec);
      draw.clrText = styles_.TextOf(row, draw.iSubItem);
      draw.clrTextBk = styles_.BackOf(row, draw.iSubItem);
      *result = CDRF_DODEFAULT;
      return true;
    }
    default:
      *result = CDRF_DODEFAULT;
      return true;
  }
}

void CReportCtrl::SetCellEditing(bool enable) {
  if (!enable) FinishCellEdit(true);
  cellEditing_ = enable;
}

void CReportCtrl::ShowCheckBoxes(bool show) {
  checkBoxes_ = show;
  FinishCellEdit(true);
  if (!list_) return;
  SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | kKeptExtendedStyle,
               (show ? LVS_EX_CHECKBOXES : 0) | kKeptExtendedStyle);
}

int CReportCtrl::AddColumn(int index, const std::wstring& title, int width, int format) {
  FinishCellEdit(true);
  if (!list_) return -1;
  std::wstring text = title;
  LVCOLUMNW column = {};
  column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
  column.fmt = format;
  column.cx = width;
  column.pszText = text.data();
  column.iSubItem = index;
  const int added =
      static_cast<int>(SendMessageW(list_, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column)));
  if (added >= 0) styles_.InsertColumn(added);
  return added;
}

bool CReportCtrl::SetInteractive(bool on) {
  if (on == interactive_) return true;
  interactive_ = on;
  SetTextColour(kAllRows, kAllColumns, on ? kInteractiveText : kIdleText, true);
  if (list_) {
    const LONG style = GetWindowLongW(list_, GWL_STYLE);
    SetWindowLongW(list_, GWL_STYLE, on ? style | WS_TABSTOP : style & ~static_cast<LONG>(WS_TABSTOP));
  }
  return true;
}

int CReportCtrl::AddRow(const std::wstring& text) {
  FinishCellEdit(true);
  if (!list_) return -1;
  std::wstring label = text;
  LVITEMW item = {};
  item.mask = LVIF_TEXT;
  item.iItem = GetRowCount();
  item.pszText = label.data();
  const int added =
      static_cast<int>(SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  if (added >= 0) styles_.InsertRow(added);
  return added;
}

bool CReportCtrl::SetCell(int row, int column, const std::wstring& text) {
  if (!list_ || row < 0 || row >= GetRowCount()) return false;
  std::wstring label = text;
  LVITEMW item = {};
  item.iSubItem = column;
  item.pszText = label.data();
  return SendMessageW(list_, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)) != FALSE;
}

std::wstring CReportCtrl::GetCellText(int row, int column) const {
  if (!list_) return std::wstring();
  for (std::size_t size = 256;; size *= 2) {
    std::vector<wchar_t> buffer(size, L'\0');
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(size);
    const auto length = static_cast<std::size_t>(
        SendMessageW(list_, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
    if (length + 1 < size) return std::wstring(buffer.data(), length);
  }
}

int CReportCtrl::RemoveAllRows() {
  FinishCellEdit(false);
  if (!list_) return 0;
  const int count = GetRowCount();
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
  styles_.Clear();
  ++rowsGeneration_;
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
  return count;
}

int CReportCtrl::GetRowCount() const {
  return list_ ? static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)) : 0;
}

int CReportCtrl::GetColumnCount() const {
  HWND header = list_ ? reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETHEADER, 0, 0)) : nullptr;
  return header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

bool CReportCtrl::SetRowCheck(int row, bool checked) {
  if (!list_ || row < 0 || row >= GetRowCount()) return false;
  LVITEMW item = {};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
  return SendMessageW(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item)) != FALSE;
}

int CReportCtrl::GetRowCheck(int row) const {
  if (!list_ || row < 0 || row >= GetRowCount()) return -1;
  const auto state = static_cast<UINT>(SendMessageW(list_, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
  const int image = static_cast<int>((state & LVIS_STATEIMAGEMASK) >> 12);
  return image == 0 ? -1 : image - 1;
}

void CReportCtrl::SetTextColour(int row, int column, std::uint32_t colour, bool redraw) {
  if (colour == kDefaultColour) colour = styles_.DefaultText();
  if (styles_.SetText(row, column, colour) && redraw && list_) {
    RedrawWindow(list_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  }
}

void CReportCtrl::SetBackColour(int row, int column, std::uint32_t colour, bool redraw) {
  if (colour == kDefaultColour) colour = styles_.DefaultBack();
  if (styles_.SetBack(row, column, colour) && redraw && list_) {
    RedrawWindow(list_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  }
}

void CReportCtrl::SelectAndFocusRow(int row) {
  if (!list_) return;
  LVITEMW clear = {};
  clear.stateMask = LVIS_SELECTED;
  SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
  if (row < 0 || row >= GetRowCount()) return;
  LVITEMW item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

int CReportCtrl::FirstSelectedRow() const {
  if (!list_) return -1;
  return static_cast<int>(
      SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void CReportCtrl::EditSelectedRow() {
  const int row = FirstSelectedRow();
  if (row >= 0) BeginCellEdit(row, menuColumn_);
}

void CReportCtrl::ToggleSelectedRowCheck() {
  const int row = FirstSelectedRow();
  if (row >= 0) SetRowCheck(row, !(GetRowCheck(row) > 0));
}

LRESULT CALLBACK CReportCtrl::ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<CReportCtrl*>(data);
  try {
    return self->OnListMessage(message, wParam, lParam);
  } catch (...) {
    return DefSubclassProc(window, message, wParam, lParam);  // nothing may escape
  }
}

}  // namespace ui::win32
