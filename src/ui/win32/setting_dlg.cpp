#include "ui/win32/setting_dlg.h"

#include "resources/resource.h"

namespace ui::win32 {
namespace {

struct ItemText {
  int control;
  unsigned text;
};
constexpr ItemText kTexts[] = {
    {IDC_RIP_GROUP, IDS_RIP_GROUP},           {IDC_FORMAT_VALUE, IDS_FORMAT_WMA},
    {IDC_PROTECTION_VALUE, IDS_PROTECTION_ON}, {IDC_QUALITY_LABEL, IDS_QUALITY_LABEL},
    {IDC_RATE_64, IDS_RATE_64},               {IDC_RATE_128, IDS_RATE_128},
    {IDC_AUTO_TRANSFER, IDS_AUTO_TRANSFER},
};

}  // namespace

CSettingDlg::CSettingDlg(const res::IStringTable& strings, ui::ISettingsModel& model)
    : Dialog(IDD_SETTINGS), strings_(strings), model_(model) {
  RefuseAutoPlay();
}

bool CSettingDlg::OnInit() {
  SetWindowTextW(Window(), strings_.Load(IDS_SETTINGS_CAPTION).c_str());
  for (const ItemText& item : kTexts) {
    SetDlgItemTextW(Window(), item.control, strings_.Load(item.text).c_str());
  }
  const ui::SettingsChoice choice = ui::LoadSettingsChoice(model_);
  CheckRadioButton(Window(), IDC_RATE_64, IDC_RATE_128,
                   choice.rate128k ? IDC_RATE_128 : IDC_RATE_64);
  CheckDlgButton(Window(), IDC_AUTO_TRANSFER, choice.autoSync ? BST_CHECKED : BST_UNCHECKED);
  return true;
}

void CSettingDlg::OnOK() {
  ui::SettingsChoice choice;
  choice.rate128k = IsDlgButtonChecked(Window(), IDC_RATE_128) == BST_CHECKED;
  choice.autoSync = IsDlgButtonChecked(Window(), IDC_AUTO_TRANSFER) == BST_CHECKED;
  ui::SaveSettingsChoice(model_, choice);
  End(IDOK);
}

bool CSettingDlg::PreTranslate(const MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  switch (message.wParam) {
    case VK_RETURN:
      // Only the two buttons act on Enter; on a radio button or the check
      // box it does nothing.
      PressFocusedButton(message);
      return true;
    case VK_ESCAPE:
    case VK_F1:
      return true;
    default:
      return false;
  }
}

INT_PTR RunSettingDlg(HWND parent, const res::IStringTable& strings, ui::ISettingsModel& model) {
  CSettingDlg dialog(strings, model);
  return dialog.DoModal(parent);
}

}  // namespace ui::win32
