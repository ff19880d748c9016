// The settings dialog's choice: what it starts with and what OK writes.
#include "ui/settings_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class RecordingModel : public ui::ISettingsModel {
 public:
  std::uint32_t GetRecordRate() const override { return rate; }
  void SetRecordRate(std::uint32_t bitsPerSecond) override {
    rate = bitsPerSecond;
    calls.push_back("rate " + std::to_string(bitsPerSecond));
  }
  std::int32_t ReadAutoSync() override { return autoSync; }
  void WriteAutoSync(std::int32_t value) override {
    calls.push_back("autosync " + std::to_string(value));
  }
  bool WritePreferences() override {
    calls.push_back("write " + std::to_string(rate));
    return false;
  }
  std::uint32_t rate = 0;
  std::int32_t autoSync = 0;
  std::vector<std::string> calls;
};

TEST(SettingsModel, StartsAt128OnlyForExactly128000) {
  struct Case {
    std::uint32_t rate;
    std::int32_t autoSync;
    bool rate128k, checked;
  };
  const Case cases[] = {{128000, 1, true, true},  {64000, 0, false, false},
                        {160000, 0, false, false}, {127999, 2, false, true},
                        {0, -1, false, true}};
  for (const Case& c : cases) {
    RecordingModel model;
    model.rate = c.rate;
    model.autoSync = c.autoSync;
    const ui::SettingsChoice choice = ui::LoadSettingsChoice(model);
    EXPECT_EQ(choice.rate128k, c.rate128k) << c.rate;
    EXPECT_EQ(choice.autoSync, c.checked) << c.autoSync;
    EXPECT_TRUE(model.calls.empty()) << "opening writes nothing";
  }
}

TEST(SettingsModel, OkWritesRateThenAutoSyncThenThePreferences) {
  RecordingModel model;
  model.rate = 160000;
  ui::SaveSettingsChoice(model, ui::SettingsChoice{false, true});
  EXPECT_EQ(model.calls,
            (std::vector<std::string>{"rate 64000", "autosync 1", "write 64000"}));
  model.calls.clear();
  ui::SaveSettingsChoice(model, ui::SettingsChoice{true, false});
  EXPECT_EQ(model.calls,
            (std::vector<std::string>{"rate 128000", "autosync 0", "write 128000"}));
}

}  // namespace
