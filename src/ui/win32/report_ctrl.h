#pragma once
// CReportCtrl: the track list of the main window (list view 1016),
// subclassed. Per-cell colours by custom draw, the interactive look, check
// boxes, an in-place editor for titles and artists that writes through the
// owner, the mouse and key rules, and the context menu 134.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "ui/row_styles.h"
#include "ui/track_edit_owner.h"
#include "ui/track_list.h"
#include "ui/win32/my_header.h"

namespace ui::win32 {

class CReportCtrl final : public ui::CReportCtrl {
 public:
  // Text colours of the two looks and the list's background.
  static constexpr COLORREF kInteractiveText = RGB(255, 255, 255);
  static constexpr COLORREF kIdleText = RGB(110, 112, 98);
  static constexpr COLORREF kBackground = RGB(62, 62, 62);

  CReportCtrl();
  ~CReportCtrl() override;

  // Binds and subclasses the list view `list` (styles, full-row selection,
  // the skinned header). False when it cannot be subclassed.
  bool Attach(HWND list);
  HWND Window() const { return list_; }
  // The owner told of accepted edits (the main window); may be null, then
  // no edit is written.
  void SetEditOwner(ui::ITrackEditOwner* owner) { owner_ = owner; }
  // The parent's WM_NOTIFY from this list, reflected to it: the per-cell
  // colours. True (with `result`) when answered.
  bool OnParentNotify(const NMHDR& header, LRESULT* result);

  // Allows or forbids in-place editing; forbidding ends an edit, accepting it.
  void SetCellEditing(bool enable);
  // Shows or hides the check boxes; ends an edit, accepting it.
  void ShowCheckBoxes(bool show);
  // Inserts column `index` (format LVCFMT_LEFT, _RIGHT or _CENTER); its
  // index, or -1.
  int AddColumn(int index, const std::wstring& title, int width, int format);

  bool SetInteractive(bool on) override;
  bool IsInteractive() const override { return interactive_; }
  int AddRow(const std::wstring& text) override;
  bool SetCell(int row, int column, const std::wstring& text) override;
  int RemoveAllRows() override;
  int GetRowCount() const override;
  bool SetRowCheck(int row, bool checked) override;
  int GetRowCheck(int row) const override;
  void SetTextColour(int row, int column, std::uint32_t colour, bool redraw) override;
  void SetBackColour(int row, int column, std::uint32_t colour, bool redraw) override;
  void SelectAndFocusRow(int row) override;

  // Opens the editor on a cell; false when editing is off or the cell does not exist.
  bool BeginCellEdit(int row, int column);
  bool FinishCellEdit(bool accept) override;
  bool IsCellEditActive() const override;
  void EditSelectedRow() override;
  void ToggleSelectedRowCheck() override;

  std::wstring GetCellText(int row, int column) const;
  int GetColumnCount() const;
  // The column the context menu was last opened for (-1: never).
  int MenuColumn() const { return menuColumn_; }
  const CMyHeader& Header() const { return header_; }
  // The editor window (null before the first edit).
  HWND Editor() const { return editor_; }
  // Colours a cell is drawn with.
  COLORREF CellTextColour(int row, int column) const { return styles_.TextOf(row, column); }
  COLORREF CellBackColour(int row, int column) const { return styles_.BackOf(row, column); }

 private:
  static LRESULT CALLBACK ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR id, DWORD_PTR data);
  static LRESULT CALLBACK EditorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR data);
  LRESULT OnListMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnEditorMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMouseButton(UINT message, WPARAM wParam, LPARAM lParam);
  // A key-down while editing; true when swallowed.
  bool OnEditKey(UINT virtualKey);
  void OnContextMenuKey();
  void OpenContextMenu(POINT screen);
  int ColumnAt(POINT client) const;
  int FirstSelectedRow() const;
  bool PrepareEditor(int column);
  void Detach();

  HWND list_ = nullptr;
  HWND editor_ = nullptr;
  CMyHeader header_;
  ui::ITrackEditOwner* owner_ = nullptr;
  ui::RowStyleTable styles_;
  bool cellEditing_ = false;
  bool checkBoxes_ = true;
  bool interactive_ = false;
  int editRow_ = -1;
  int editColumn_ = -1;
  int editAlign_ = ES_LEFT;
  int menuColumn_ = -1;
  // Guards against an edit ended again from inside its own setter (the
  // engine reports the change while the setter runs).
  bool finishing_ = false;
  // Counts refills, so that an edit whose rows were replaced meanwhile is
  // not written into the new rows.
  unsigned rowsGeneration_ = 0;
};

}  // namespace ui::win32
