#pragma once
// CSettingDlg (dialog 131): the rip bit rate and the automatic-transfer
// switch. Nothing is written unless the user leaves with OK.
#include <windows.h>

#include "resources/string_table.h"
#include "ui/settings_model.h"
#include "ui/win32/dialog.h"

namespace ui::win32 {

class CSettingDlg : private Dialog {
 public:
  CSettingDlg(const res::IStringTable& strings, ui::ISettingsModel& model);

  // IDOK after OK wrote the choice, IDCANCEL otherwise; -1 when the dialog
  // could not be shown.
  INT_PTR DoModal(HWND parent) { return RunModal(parent); }

 private:
  bool OnInit() override;
  bool PreTranslate(const MSG& message) override;
  bool OnCommand(int id, int code) override { return OnOkOrCancel(id, code); }
  void OnOK() override;

  const res::IStringTable& strings_;
  ui::ISettingsModel& model_;
};

// Runs the settings dialog over `parent`; IDOK or IDCANCEL.
INT_PTR RunSettingDlg(HWND parent, const res::IStringTable& strings, ui::ISettingsModel& model);

}  // namespace ui::win32
