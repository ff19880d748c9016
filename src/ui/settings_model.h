#pragma once
// What the settings dialog shows and changes: the rip bit rate of the player
// preferences and the automatic-transfer switch of the tool's settings. The
// main window implements the model over its preference accessor and its
// settings store; the dialog keeps its choice here until OK.
#include <cstdint>

namespace ui {

class ISettingsModel {
 public:
  virtual ~ISettingsModel() = default;
  // WMARecordRate of the player preferences, bits per second.
  virtual std::uint32_t GetRecordRate() const = 0;
  virtual void SetRecordRate(std::uint32_t bitsPerSecond) = 0;
  // The per-user AutoSync value, read afresh from the registry.
  virtual std::int32_t ReadAutoSync() = 0;
  virtual void WriteAutoSync(std::int32_t value) = 0;
  // Writes every player preference; true when all were written.
  virtual bool WritePreferences() = 0;
};

constexpr std::uint32_t kRate64k = 64000;
constexpr std::uint32_t kRate128k = 128000;

struct SettingsChoice {
  bool rate128k = false;  // the 128 kbps radio button; otherwise 64 kbps
  bool autoSync = false;  // the automatic-transfer check box
};

// The dialog's start: 128 kbps only for exactly 128000; checked for any
// non-zero AutoSync.
SettingsChoice LoadSettingsChoice(ISettingsModel& model);
// OK: the rate into the preferences, AutoSync written, then all preferences
// written (their result is not looked at).
void SaveSettingsChoice(ISettingsModel& model, const SettingsChoice& choice);

}  // namespace ui
