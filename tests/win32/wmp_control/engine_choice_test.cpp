// The one choice between the installed engine and ours: the rule, the
// registry value that overrides it, the player host making it with the
// platform control that Wine installs (it picks ours and says why) and with
// an in-process stand-in control that answers for everything (it hosts
// that one in remote mode and drives it through the same object model).
// Also the rip statuses of the installed engine in our engine's wording.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/engine_choice.h"
#include "engine/win32/com_player.h"
#include "engine/win32/player_host.h"
#include "engine/win32/rip_status_text.h"
#include "fake_control.h"
#include "os/reg_key.h"
#include "recorder.h"
#include "support/win32_platform.h"

namespace {

using engine::EngineKind;
using engine::EngineSetting;
using engine::win32::ComPtr;

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out.push_back(c < 128 ? static_cast<char>(c) : '?');
  return out;
}

// --- the rule ----------------------------------------------------------------

engine::InstalledProbe Answering() {
  engine::InstalledProbe probe;
  probe.created = true;
  return probe;
}

engine::InstalledProbe Missing(const wchar_t* part, wmp::HResult result) {
  engine::InstalledProbe probe = Answering();
  probe.missingPart = part;
  probe.partResult = result;
  return probe;
}

TEST(EngineChoiceRule, PicksTheInstalledEngineOnlyWhenItAnswersForEverythingOrIsAskedFor) {
  const wmp::HResult classNotRegistered = static_cast<wmp::HResult>(REGDB_E_CLASSNOTREG);
  struct Case {
    EngineSetting setting;
    engine::InstalledProbe probe;
    EngineKind engine;
    const wchar_t* reason;
  } const cases[] = {
      {EngineSetting::Auto, Answering(), EngineKind::Installed,
       L"the installed engine answers for its CD-ROM collection, media collection and sync "
       L"services"},
      {EngineSetting::Auto, Missing(L"CD-ROM collection", wmp::kNotImplemented), EngineKind::Ours,
       L"the installed engine answers 0x80004001 for its CD-ROM collection: our engine is used"},
      {EngineSetting::Auto, Missing(L"sync services", static_cast<wmp::HResult>(E_NOINTERFACE)),
       EngineKind::Ours,
       L"the installed engine answers 0x80004002 for its sync services: our engine is used"},
      {EngineSetting::Auto, engine::InstalledNotCreated(classNotRegistered), EngineKind::Ours,
       L"the installed engine could not be created (0x80040154): our engine is used"},
      {EngineSetting::Ours, Answering(), EngineKind::Ours,
       L"the registry value Engine = 1 asks for our engine"},
      {EngineSetting::Installed, Missing(L"media collection", wmp::kNotImplemented),
       EngineKind::Installed, L"the registry value Engine = 2 asks for the installed engine"},
      {EngineSetting::Installed, engine::InstalledNotCreated(classNotRegistered), EngineKind::None,
       L"the registry value Engine = 2 asks for the installed engine, but the installed engine "
       L"could not be created (0x80040154)"},
  };
  for (const Case& c : cases) {
    const engine::EngineChoice choice = engine::ChooseEngine(c.setting, c.probe);
    EXPECT_EQ(choice.engine, c.engine) << Narrow(c.reason);
    EXPECT_EQ(choice.reason, c.reason);
  }
  EXPECT_EQ(engine::InstalledNotCreated(wmp::kOk).createResult, wmp::kFail)
      << "not created is a failure even without an error code";
}

TEST(RipStatusText, TheFigureBeforeAPercentSignIsKeptAndNothingElse) {
  struct Case {
    const wchar_t* status;
    const wchar_t* normalized;
  } const cases[] = {
      {L"Ripping (45%)", L"Ripping (45%)"},
      {L"取り込み中 (45%)", L"Ripping (45%)"},
      {L"取り込み中 (４５％)", L"Ripping (45%)"},
      {L"45 % ripped", L"Ripping (45%)"},
      {L"Ripped (100%)", L"Ripped (100%)"},
      {L"Ripping (250%)", L"Ripped (100%)"},
      {L"Track 3 (7%)", L"Ripping (7%)"},
      {L"Track 3", L""},
      {L"Pending", L""},
      {L"Ripped to library", L""},
      {L"", L""},
      {L"99999999999999999999%", L"Ripped (100%)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(engine::win32::NormalizeRipStatus(c.status), c.normalized) << Narrow(c.status);
  }
}

// --- the host ----------------------------------------------------------------

class EngineChoiceHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::g_live = 0;
    ClearSetting();
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"MarimbaChoiceTestMain";
    RegisterClassW(&windowClass);
    main_ = CreateWindowExW(0, windowClass.lpszClassName, L"choice test", WS_OVERLAPPEDWINDOW, 0,
                            0, 400, 300, nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(main_, nullptr);
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    library_ = std::wstring(temp) + L"marimba-choice-" + std::to_wstring(GetCurrentProcessId());
  }
  void TearDown() override {
    ClearSetting();
    DestroyWindow(main_);
  }

  void SetSetting(const os::RegType type, std::uint32_t value) {
    const os::RegKey key = os::RegKey::Create(real_.registry, os::Hive::CurrentUser,
                                              engine::kEngineSettingKeyPath, os::KeyAccess::Write);
    ASSERT_TRUE(key);
    real_.registry.SetValue(key.Handle(), engine::kEngineSettingValue, type,
                       reinterpret_cast<const std::uint8_t*>(&value), sizeof value);
  }
  void ClearSetting() {
    const os::RegKey key = os::RegKey::Open(real_.registry, os::Hive::CurrentUser,
                                            engine::kEngineSettingKeyPath, os::KeyAccess::Write);
    if (key) real_.registry.DeleteValue(key.Handle(), engine::kEngineSettingValue);
  }

  // A stand-in control that answers for every part; `setUp` shapes it.
  engine::win32::ControlFactory StandIn(std::function<void(fake::Player&)> setUp = {}) {
    return [this, setUp](ComPtr<IUnknown>* control) {
      ++factoryCalls_;
      ComPtr<fake::Player> player = fake::Make<fake::Player>();
      player->cdroms->drives.push_back(fake::Make<fake::Cdrom>(*player.Get(), L"D:"));
      if (setUp) setUp(*player.Get());
      made_ = ComPtr<fake::Player>::Share(player.Get());
      *control = ComPtr<IUnknown>::Share(static_cast<IWMPPlayer4*>(player.Get()));
      return S_OK;
    };
  }

  wine_test::Win32Platform real_;
  HWND main_ = nullptr;
  std::wstring library_;
  int factoryCalls_ = 0;
  ComPtr<fake::Player> made_;
};

TEST_F(EngineChoiceHostTest, RegistryValueIsReadOnlyAsADwordOfAKnownChoice) {
  EXPECT_EQ(engine::ReadEngineSetting(real_.registry), EngineSetting::Auto) << "no value";
  struct Case {
    os::RegType type;
    std::uint32_t value;
    EngineSetting setting;
  } const cases[] = {
      {os::RegType::Dword, 0, EngineSetting::Auto},
      {os::RegType::Dword, 1, EngineSetting::Ours},
      {os::RegType::Dword, 2, EngineSetting::Installed},
      {os::RegType::Dword, 3, EngineSetting::Auto},
      {os::RegType::Binary, 1, EngineSetting::Auto},
  };
  for (const Case& c : cases) {
    SetSetting(c.type, c.value);
    EXPECT_EQ(engine::ReadEngineSetting(real_.registry), c.setting) << c.value;
  }
}

TEST_F(EngineChoiceHostTest, UnderWineThePlatformControlIsHostedButOurEngineIsChosen) {
  engine::win32::PlayerHost host(real_.platform, real_.strings, library_);
  ASSERT_TRUE(host.CreatePlayerHost(main_));
  EXPECT_EQ(host.Choice().engine, EngineKind::Ours);
  // Wine's player control is created and activated by our container, then
  // refuses the CD-ROM collection.
  EXPECT_EQ(host.Choice().reason,
            L"the installed engine answers 0x80004001 for its CD-ROM collection: our engine is "
            L"used")
      << Narrow(host.Choice().reason);
  EXPECT_EQ(dynamic_cast<engine::win32::ComPlayer*>(host.Player().get()), nullptr);
  EXPECT_EQ(host.VersionText().substr(0, 3), L"11.") << "our engine's version";
  host.ReleasePlayerHost();
}

TEST_F(EngineChoiceHostTest, AControlThatAnswersForEverythingIsHostedRemotelyAndDriven) {
  engine::win32::PlayerHost host(real_.platform, real_.strings, library_, StandIn());
  ASSERT_TRUE(host.CreatePlayerHost(main_));
  EXPECT_EQ(host.Choice().engine, EngineKind::Installed) << Narrow(host.Choice().reason);
  auto* player = dynamic_cast<engine::win32::ComPlayer*>(host.Player().get());
  ASSERT_NE(player, nullptr);
  fake::Player& control = *made_.Get();
  EXPECT_EQ(player->Com(), static_cast<IWMPPlayer4*>(&control));
  EXPECT_EQ(host.VersionText(), L"11.0.5721.5145");
  EXPECT_NE(host.Controls(), nullptr);

  // Hosted in place in an invisible child of the main window, knowing its
  // remote host by the tool's name.
  HWND hostWindow = host.HostWindow();
  ASSERT_NE(hostWindow, nullptr);
  EXPECT_EQ(GetParent(hostWindow), main_);
  EXPECT_FALSE(IsWindowVisible(hostWindow));
  EXPECT_TRUE(control.activated);
  EXPECT_EQ(control.activationVerb, OLEIVERB_INPLACEACTIVATE);
  EXPECT_EQ(control.activationWindow, hostWindow);
  EXPECT_EQ(control.hostServiceType, L"Remote");
  EXPECT_EQ(control.hostApplicationName, L"ルミナート");

  // Its events reach the main window.
  test::Recorder recorder;
  ASSERT_TRUE(host.ConnectPlayerEvents(recorder.Window()));
  EXPECT_EQ(control.SinkCount(), 1u);
  control.RaiseCdromMediaChange(0);
  EXPECT_EQ(recorder.seen, std::vector<std::wstring>({L"CdromMediaChange 0"}));

  host.ReleasePlayerHost();
  EXPECT_EQ(control.SinkCount(), 0u);
  EXPECT_EQ(control.closes, 1) << "the player is told to close";
  EXPECT_TRUE(control.oleClosed);
  EXPECT_EQ(control.site.Get(), nullptr) << "the control loses its site";
  EXPECT_EQ(host.Player(), nullptr);
  made_.Reset();
  EXPECT_EQ(fake::g_live, 0) << "the host let go of every reference";
}

TEST_F(EngineChoiceHostTest, AControlWithoutCdDrivesIsClosedAndOursIsUsed) {
  engine::win32::PlayerHost host(
      real_.platform, real_.strings, library_,
      StandIn([](fake::Player& control) { control.cdromResult = E_NOTIMPL; }));
  ASSERT_TRUE(host.CreatePlayerHost(main_));
  EXPECT_EQ(host.Choice().engine, EngineKind::Ours);
  EXPECT_EQ(dynamic_cast<engine::win32::ComPlayer*>(host.Player().get()), nullptr);
  EXPECT_EQ(made_->closes, 1);
  EXPECT_EQ(made_->site.Get(), nullptr);
  made_.Reset();
  EXPECT_EQ(fake::g_live, 0) << "the control tried is let go at once";
  host.ReleasePlayerHost();
}

TEST_F(EngineChoiceHostTest, RegistryValueDecidesWithoutOrDespiteTheRule) {
  SetSetting(os::RegType::Dword, 1);
  {
    engine::win32::PlayerHost host(real_.platform, real_.strings, library_, StandIn());
    ASSERT_TRUE(host.CreatePlayerHost(main_));
    EXPECT_EQ(host.Choice().engine, EngineKind::Ours);
    EXPECT_EQ(factoryCalls_, 0) << "the installed engine is not even tried";
  }
  SetSetting(os::RegType::Dword, 2);
  {
    engine::win32::PlayerHost host(
        real_.platform, real_.strings, library_,
        StandIn([](fake::Player& control) { control.syncServices = false; }));
    ASSERT_TRUE(host.CreatePlayerHost(main_));
    EXPECT_EQ(host.Choice().engine, EngineKind::Installed);
    EXPECT_NE(dynamic_cast<engine::win32::ComPlayer*>(host.Player().get()), nullptr);
  }
  made_.Reset();
  {
    engine::win32::PlayerHost host(real_.platform, real_.strings, library_, [](ComPtr<IUnknown>*) {
      return static_cast<HRESULT>(REGDB_E_CLASSNOTREG);
    });
    EXPECT_FALSE(host.CreatePlayerHost(main_)) << "asked for, the installed engine must exist";
    EXPECT_EQ(host.Choice().engine, EngineKind::None);
    EXPECT_EQ(host.Player(), nullptr);
  }
  EXPECT_EQ(fake::g_live, 0);
}

}  // namespace
