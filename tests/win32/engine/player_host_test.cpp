// Our engine hosted for a real window under Wine: the invisible host window,
// the remote host the engine asks, a visible player application asked to
// close, and a real engine event arriving as the window's message on the UI
// thread.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <vector>

#include "engine/player_messages.h"
#include "engine/win32/player_host.h"
#include "mediaengine/player/player.h"
#include "support/files.h"
#include "support/test_window.h"
#include "support/win32_platform.h"

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

// Up to three seconds of the UI thread's message loop.
void PumpUntil(const std::function<bool()>& done) { wine_test::PumpUntil(done, 3000); }

class PlayerHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_received.clear();
    g_closeRequested = false;
    main_ = wine_test::MakeWindow(L"MarimbaHostTestMain", MainProc, L"host test", false);
    ASSERT_NE(main_.Get(), nullptr);
    ASSERT_TRUE(work_.Created());
  }

  // The engine's library folder of one test.
  std::wstring Library() const { return work_.Path() + L"\\library"; }

  wine_test::TempFolder work_{L"marimba-host-"};
  wine_test::Win32Platform win32_;
  wine_test::OwnedWindow main_;
};

TEST_F(PlayerHostTest, HostsTheEngineInAnInvisibleChildAndClosesAVisiblePlayerWindow) {
  const wine_test::OwnedWindow application =
      wine_test::MakeWindow(L"MarimbaHostTestApp", PlayerAppProc, L"Windows Media Player", true);
  engine::win32::PlayerHost host(win32_.platform, win32_.strings, Library());
  ASSERT_TRUE(host.CreatePlayerHost(main_.Get()));
  EXPECT_TRUE(g_closeRequested) << "a visible player application is asked to close";

  HWND hostWindow = host.HostWindow();
  ASSERT_NE(hostWindow, nullptr);
  EXPECT_EQ(GetParent(hostWindow), main_.Get());
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
}

TEST_F(PlayerHostTest, DeliversARealEngineEventAsAWindowMessageOnTheUiThread) {
  engine::win32::PlayerHost host(win32_.platform, win32_.strings, Library());
  ASSERT_TRUE(host.CreatePlayerHost(main_.Get()));
  ASSERT_TRUE(host.ConnectPlayerEvents(main_.Get()));

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

TEST_F(PlayerHostTest, AnEventThatThrowsIsDroppedAndTheOnesBehindItStillArrive) {
  engine::win32::PlayerHost host(win32_.platform, win32_.strings, Library());
  ASSERT_TRUE(host.CreatePlayerHost(main_.Get()));
  auto* player = dynamic_cast<mediaengine::Player*>(host.Player().get());
  ASSERT_NE(player, nullptr);
  std::vector<int> delivered;
  player->Queue().Post([&delivered] { delivered.push_back(1); });
  player->Queue().Post([] { throw std::runtime_error("a sink failed"); });
  player->Queue().Post([&delivered] { delivered.push_back(3); });
  // Unguarded, the exception would unwind out of DispatchMessageW into this loop.
  PumpUntil([&delivered] { return delivered.size() >= 2; });
  EXPECT_EQ(delivered, (std::vector<int>{1, 3}));

  player->Queue().Post([&delivered] { delivered.push_back(4); });
  PumpUntil([&delivered] { return delivered.size() >= 3; });
  EXPECT_EQ(delivered, (std::vector<int>{1, 3, 4})) << "the engine window keeps delivering";
  host.ReleasePlayerHost();
}

TEST_F(PlayerHostTest, ReportsTheOlderMajorVersionWhenAskedTo) {
  SetEnvironmentVariableW(L"MARIMBA_ENGINE_MAJOR_VERSION", L"10");
  _wputenv(L"MARIMBA_ENGINE_MAJOR_VERSION=10");
  engine::win32::PlayerHost host(win32_.platform, win32_.strings, Library());
  ASSERT_TRUE(host.CreatePlayerHost(main_.Get()));
  EXPECT_EQ(host.VersionText().substr(0, 3), L"10.");
  _wputenv(L"MARIMBA_ENGINE_MAJOR_VERSION=");
  SetEnvironmentVariableW(L"MARIMBA_ENGINE_MAJOR_VERSION", nullptr);
}

TEST_F(PlayerHostTest, FailsWithoutAMainWindow) {
  engine::win32::PlayerHost host(win32_.platform, win32_.strings, Library());
  EXPECT_FALSE(host.CreatePlayerHost(nullptr));
  EXPECT_FALSE(host.ConnectPlayerEvents(main_.Get())) << "no player to connect to";
}

}  // namespace
