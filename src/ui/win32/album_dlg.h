#pragma once
// CAlbumDlg (dialog 135): renames the album of the inserted CD. OK can only
// be pressed while the name is not empty; while it is empty Cancel is the
// default button.
#include <windows.h>

#include "resources/string_table.h"
#include "ui/album_name_model.h"
#include "ui/win32/dialog.h"

namespace ui::win32 {

class CAlbumDlg : private Dialog {
 public:
  CAlbumDlg(const res::IStringTable& strings, ui::IAlbumNameModel& model);

  // IDOK after the name was handed to the model, IDCANCEL otherwise; -1
  // when the dialog could not be shown.
  INT_PTR DoModal(HWND parent) { return RunModal(parent); }

 private:
  bool OnInit() override;
  bool OnCommand(int id, int code) override;
  bool PreTranslate(const MSG& message) override;
  void UpdateOkState();
  void OnOK() override;

  const res::IStringTable& strings_;
  ui::IAlbumNameModel& model_;
};

// Runs the album name dialog over `parent`; IDOK or IDCANCEL.
INT_PTR RunAlbumDlg(HWND parent, const res::IStringTable& strings, ui::IAlbumNameModel& model);

}  // namespace ui::win32
