// Our engine hosted for a real window under Wine: the invisible host window,
// the remote host the engine asks, a visible player application asked to
// close, and a real engine event arriving as the window's message on the UI
// thread.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "mediaengine/player/player.h"
#include "engine/player_messages.h"
#include "engine/win32/player_host.h"
#include "os/win32/win32_clock.h"
#include "os/win32/win32_drives.h"
#include "os/win32/win32_file_system.h"
#include "os/win32/win32_modules.h"
#include "os/win32/win32_registry.h"
#include "os/win32/win32_system.h"
#include "os/win32/win32_top_windows.h"
#include "resources/win32/module_string_table.h"

namespace {

struct Received {
  UINT message;
  DWORD thread;
};
std::vector<Received> g_received;
bool g_closeRequested = false;

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= 0x800 && message <= 0x851) {
    g_received.push_back({message, GetCurrentThreadId()});
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK PlayerAppProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    g_closeRequested = true;
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeWindow(const wchar_t* className, WNDPROC proc, const wchar_t* title, bool visible) {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = proc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = className;
  RegisterClassW(&windowClass);
  return CreateWindowExW(0, className, title, WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0),
                         0, 0, 400, 300, nullptr, nullptr, windowClass.hInstance, nullptr);
}

void PumpUntil(const std::function<bool()>& done) {
  MSG message;
  for (int i = 0; i < 300 && !done(); ++i) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(10);
  }
}

std::wstring TempFolder(const wchar_t* name) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp) + name + std::to_wstring(GetCurrentProcessId());
}

class PlayerHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_received.clear();
    g_closeRequested = false;
    main_ = MakeWindow(L"MarimbaHostTestMain", MainProc, L"host test", false);
    ASSERT_NE(main_, nullptr);
  }
  void TearDown() override { DestroyWindow(main_); }

  os::win32::Win32Registry registry_;
  os::win32::Win32FileSystem files_;
  os::win32::Win32Drives drives_;
  os::win32::Win32Clock clock_;
  os::win32::Win32System system_;
  os::win32::Win32TopWindows windows_;
  os::win32::Win32Modules modules_;
  os::Platform platform_{registry_, files_, drives_, clock_, system_, windows_, modules_};
  res::win32::ModuleStringTable strings_{GetModuleHandleW(nullptr)};
  HWND main_ = nullptr;
};

TEST_F(PlayerHostTest, HostsTheEngineInAnInvisibleChildAndClosesAVisiblePlayerWindow) {
  HWND application = MakeWindow(L"MarimbaHostTestApp", PlayerAppProc, L"Windows Media Player", true);
  engine::win32::PlayerHost host(platform_, strings_, TempFolder(L"marimba-host-a"));
  ASSERT_TRUE(host.CreatePlayerHost(main_));
  EXPECT_TRUE(g_closeRequested) << "a visible player application is asked to close";

  HWND hostWindow = host.HostWindow();
  ASSERT_NE(hostWindow, nullptr);
  EXPECT_EQ(GetParent(hostWindow), main_);
  EXPECT_FALSE(IsWindowVisible(hostWindow)) << "the host window is never shown";
  EXPECT_TRUE(GetWindowLongW(hostWindow, GWL_STYLE) & WS_CLIPCHILDREN);
  EXPECT_EQ(host.VersionText().substr(0, 3), L"11.");
  EXPECT_NE(host.Controls(), nullptr);

  auto* player = dynamic_cast<mediaengine::Player*>(host.Player().get());
  ASSERT_NE(player, nullptr);
  EXPECT_EQ(player->HostServiceType(), L"Remote");
  EXPECT_EQ(player->HostName(), L"ルミナート");
  host.ReleasePlayerHost();
  EXPECT_EQ(host.Player(), nullptr);
  DestroyWindow(application);
}

TEST_F(PlayerHostTest, DeliversARealEngineEventAsAWindowMessageOnTheUiThread) {
  engine::win32::PlayerHost host(platform_, strings_, TempFolder(L"marimba-host-b"));
  ASSERT_TRUE(host.CreatePlayerHost(main_));
  ASSERT_TRUE(host.ConnectPlayerEvents(main_));

  wmp::PlaylistCollectionPtr playlists;
  ASSERT_EQ(host.Player()->PlaylistCollection(&playlists), wmp::kOk);
  wmp::PlaylistPtr created;
  ASSERT_EQ(playlists->NewPlaylist(L"Marimba host test", &created), wmp::kOk);
  EXPECT_TRUE(g_received.empty()) << "events wait for the UI thread's message loop";

  auto sawCollectionChange = [] {
    for (const Received& r : g_received) {
      if (r.message == engine::kMsgPlaylistCollectionChange) return true;
    }
    return false;
  };
  PumpUntil(sawCollectionChange);
  ASSERT_TRUE(sawCollectionChange());
  for (const Received& r : g_received) EXPECT_EQ(r.thread, GetCurrentThreadId());

  playlists->Remove(created.get());
  host.ReleasePlayerHost();
  g_received.clear();
  PumpUntil([] { return false; });
  EXPECT_TRUE(g_received.empty()) << "nothing arrives after the host is released";
}

TEST_F(PlayerHostTest, ReportsTheOlderMajorVersionWhenAskedTo) {
  SetEnvironmentVariableW(L"MARIMBA_ENGINE_MAJOR_VERSION", L"10");
  _wputenv(L"MARIMBA_ENGINE_MAJOR_VERSION=10");
  engine::win32::PlayerHost host(platform_, strings_, TempFolder(L"marimba-host-c"));
  ASSERT_TRUE(host.CreatePlayerHost(main_));
  EXPECT_EQ(host.VersionText().substr(0, 3), L"10.");
  _wputenv(L"MARIMBA_ENGINE_MAJOR_VERSION=");
  SetEnvironmentVariableW(L"MARIMBA_ENGINE_MAJOR_VERSION", nullptr);
}

TEST_F(PlayerHostTest, FailsWithoutAMainWindow) {
  engine::win32::PlayerHost host(platform_, strings_, TempFolder(L"marimba-host-d"));
  EXPECT_FALSE(host.CreatePlayerHost(nullptr));
  EXPECT_FALSE(host.ConnectPlayerEvents(main_)) << "no player to connect to";
}

}  // namespace
