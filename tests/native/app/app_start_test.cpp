// The application start: which checks end the run, with which message, and
// what stays held while the main window runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/app_start.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_drives.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_modules.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_system.h"
#include "fakes/fake_top_windows.h"
#include "resources/rc_string_table.h"
#include "resources/resource.h"

namespace {

using os::Hive;

const std::wstring kSetup =
    L"SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\"
    L"{6BF52A52-394A-11d3-B153-00C04F79FAA6}";

const res::RcStringTable& Strings() {
  static const res::RcStringTable table(MARIMBA_RESOURCE_DIR);
  return table;
}

// Records the order of what the start asked of the shell.
class RecordingShell : public app::IAppShell {
 public:
  explicit RecordingShell(fakes::FakeSystem& system) : system_(system) {}
  struct Com : ComScope {
    explicit Com(std::vector<std::string>& log) : log_(log) {}
    ~Com() override { log_.push_back("com-released"); }
    std::vector<std::string>& log_;
  };
  void ShowWaitCursor() override { log.push_back("wait"); }
  std::unique_ptr<ComScope> InitializeCom() override {
    log.push_back("com");
    return std::make_unique<Com>(log);
  }
  void ShowStartMessage(unsigned text, unsigned caption) override {
    messages.push_back({text, caption});
  }
  void RunMainWindow(const controller::CMarimbaApp& app) override {
    log.push_back("main");
    mutexHeldWhileRunning = system_.MutexHeld(app::kSingleInstanceMutexName);
    seenModel = app.machineDefaults.model;
  }
  std::vector<std::string> log;
  std::vector<std::pair<unsigned, unsigned>> messages;
  bool mutexHeldWhileRunning = false;
  std::int32_t seenModel = -1;

 private:
  fakes::FakeSystem& system_;
};

class AppStartTest : public ::testing::Test {
 protected:
  AppStartTest() {
    registry_.SeedDword(Hive::LocalMachine, kSetup, L"IsInstalled", 1);
    registry_.SeedString(Hive::LocalMachine, kSetup, L"Version", L"10,0,0,3646");
  }
  app::StartEnd Start() { return app::RunApplication(platform_, Strings(), shell_, app_); }

  fakes::FakeRegistry registry_;
  fakes::FakeFileSystem files_;
  fakes::FakeDrives drives_;
  fakes::FakeClock clock_;
  fakes::FakeSystem system_;
  fakes::FakeTopWindows windows_;
  fakes::FakeModules modules_;
  os::Platform platform_{registry_, files_, drives_, clock_, system_, windows_, modules_};
  RecordingShell shell_{system_};
  controller::CMarimbaApp app_;
};

TEST_F(AppStartTest, AcceptedSystemRunsTheMainWindowHoldingTheMutexAndReleasesInOrder) {
  registry_.SeedDword(Hive::LocalMachine, L"Software\\Orbit\\Cadenza\\", L"Model", 2);
  EXPECT_EQ(Start(), app::StartEnd::kMainWindowClosed);
  EXPECT_EQ(shell_.log, (std::vector<std::string>{"wait", "com", "main", "com-released"}));
  EXPECT_TRUE(shell_.mutexHeldWhileRunning);
  EXPECT_FALSE(system_.MutexHeld(app::kSingleInstanceMutexName)) << "released at the end";
  EXPECT_TRUE(shell_.messages.empty());
  EXPECT_EQ(app_.osLevel, 10);
  EXPECT_EQ(app_.playerMajorVersion, 10);
  EXPECT_EQ(shell_.seenModel, 2) << "machine defaults are read before the main window";
}

TEST_F(AppStartTest, SecondStartBringsTheFirstWindowForwardSilently) {
  const os::WindowRef first = windows_.Add(Strings().Load(IDS_APP_TITLE));
  windows_.Add(Strings().Load(IDS_APP_TITLE) + L" ");  // a look-alike title is not it
  os::ErrorCode ignored = os::kSuccess;
  auto held = system_.CreateOwnedMutex(app::kSingleInstanceMutexName, &ignored);
  EXPECT_EQ(Start(), app::StartEnd::kSecondInstance);
  EXPECT_EQ(windows_.Foregrounded(), (std::vector<os::WindowRef>{first}));
  EXPECT_TRUE(shell_.messages.empty());
  EXPECT_EQ(shell_.log, (std::vector<std::string>{"wait"})) << "no COM, no main window";
  EXPECT_TRUE(system_.MutexHeld(app::kSingleInstanceMutexName)) << "the first keeps its mutex";
}

TEST_F(AppStartTest, EachFailedCheckEndsWithItsOneMessage) {
  struct Case {
    const char* name;
    os::ErrorCode mutexError;
    os::OsVersion version;
    const wchar_t* playerVersion;  // null: no installation record
    app::StartEnd end;
    unsigned text;
    unsigned caption;
  };
  const os::OsVersion xp{2, 5, 1, 2600, L""};
  const Case cases[] = {
      {"another user's mutex", os::kErrorAccessDenied, xp, L"10,0", app::StartEnd::kOtherUser,
       IDS_MSG_OTHER_USER, IDS_CAPTION_WARNING},
      {"Windows 2000", os::kSuccess, {2, 5, 0, 2195, L""}, L"10,0",
       app::StartEnd::kUnsupportedOs, IDS_MSG_UNSUPPORTED_OS, IDS_APP_TITLE},
      {"Windows Me", os::kSuccess, {1, 4, 90, 0x045A0BB8, L""}, L"10,0",
       app::StartEnd::kUnsupportedOs, IDS_MSG_UNSUPPORTED_OS, IDS_APP_TITLE},
      {"player 9", os::kSuccess, xp, L"9,0,0,2980", app::StartEnd::kPlayerMissing,
       IDS_MSG_NEED_PLAYER_10, IDS_APP_TITLE},
      {"no player", os::kSuccess, xp, nullptr, app::StartEnd::kPlayerMissing,
       IDS_MSG_NEED_PLAYER_10, IDS_APP_TITLE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fakes::FakeRegistry registry;
    fakes::FakeSystem system;
    system.SetVersion(c.version);
    if (c.mutexError != os::kSuccess) system.DenyMutex(c.mutexError);
    if (c.playerVersion) {
      registry.SeedDword(Hive::LocalMachine, kSetup, L"IsInstalled", 1);
      registry.SeedString(Hive::LocalMachine, kSetup, L"Version", c.playerVersion);
    }
    os::Platform platform{registry, files_, drives_, clock_, system, windows_, modules_};
    RecordingShell shell(system);
    controller::CMarimbaApp app;
    EXPECT_EQ(app::RunApplication(platform, Strings(), shell, app), c.end);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0], std::make_pair(c.text, c.caption));
    EXPECT_EQ(std::count(shell.log.begin(), shell.log.end(), "main"), 0);
    EXPECT_FALSE(system.MutexHeld(app::kSingleInstanceMutexName)) << "released on the way out";
  }
}

TEST_F(AppStartTest, OtherMutexErrorsAndLaterSystemsCarryOn) {
  system_.DenyMutex(os::ErrorCode{1450});  // e.g. no system resources
  system_.SetVersion({2, 10, 0, 19045, L""});
  EXPECT_EQ(Start(), app::StartEnd::kMainWindowClosed);
  EXPECT_FALSE(shell_.mutexHeldWhileRunning);
  EXPECT_EQ(app_.osLevel, 255);
  EXPECT_TRUE(shell_.messages.empty());
}

}  // namespace
