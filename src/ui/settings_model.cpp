#include "ui/settings_model.h"

namespace ui {

SettingsChoice LoadSettingsChoice(ISettingsModel& model) {
  SettingsChoice choice;
  choice.rate128k = model.GetRecordRate() == kRate128k;
  choice.autoSync = model.ReadAutoSync() != 0;
  return choice;
}

void SaveSettingsChoice(ISettingsModel& model, const SettingsChoice& choice) {
  model.SetRecordRate(choice.rate128k ? kRate128k : kRate64k);
  model.WriteAutoSync(choice.autoSync ? 1 : 0);
  model.WritePreferences();
}

}  // namespace ui
