#include "engine/win32/player_host.h"

#include <shlobj.h>

#include <cstdlib>

#include "mediaengine/player/player.h"
#include "engine/win32/window_message_target.h"
#include "mediaengine/win32/engine_window.h"

namespace engine::win32 {
namespace {

std::wstring DefaultLibraryFolder() {
  wchar_t appData[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr,
                              SHGFP_TYPE_CURRENT, appData))) {
    return std::wstring();
  }
  const std::wstring marimba = std::wstring(appData) + L"\\Marimba";
  CreateDirectoryW(marimba.c_str(), nullptr);
  return marimba + L"\\Library";
}

int ReportedMajorVersion() {
  const wchar_t* setting = _wgetenv(L"MARIMBA_ENGINE_MAJOR_VERSION");
  const int version = setting ? _wtoi(setting) : 0;
  return version >= 10 ? version : 11;
}

}  // namespace

PlayerHost::PlayerHost(os::Platform& platform, const res::IStringTable& strings,
                       std::wstring libraryFolder)
    : platform_(platform), strings_(strings), libraryFolder_(std::move(libraryFolder)) {}

PlayerHost::~PlayerHost() { ReleasePlayerHost(); }

wmp::PlayerPtr PlayerHost::Player() const { return player_; }

HWND PlayerHost::HostWindow() const { return hostWindow_ ? hostWindow_->Window() : nullptr; }

bool PlayerHost::CreatePlayerHost(HWND mainWindow) {
  bool created = false;
  if (mainWindow) {
    if (libraryFolder_.empty()) libraryFolder_ = DefaultLibraryFolder();
    remoteHost_ = std::make_unique<CRemoteHost>(strings_);
    // The site is known before the player exists: the engine asks it for the
    // service type and the application name as it starts.
    mediaengine::EngineConfig config{platform_.files, platform_.drives, platform_.registry, platform_.system,
                        platform_.clock, libraryFolder_, ReportedMajorVersion(),
                        remoteHost_.get()};
    auto player = mediaengine::Player::Create(config);
    RECT client = {};
    GetClientRect(mainWindow, &client);
    auto window = std::make_unique<mediaengine::win32::EngineWindow>(player, mainWindow, client);
    if (window->IsValid() && !libraryFolder_.empty()) {
      player_ = std::move(player);
      hostWindow_ = std::move(window);
      created = true;
    } else {
      window.reset();
      player->Close();
    }
  }

  // A player application that is open would compete for the same library
  // and devices: it is asked to close whatever happened above.
  const os::WindowRef application = FindPlayerApplicationWindow(platform_.windows);
  if (application != os::kNoWindow && platform_.windows.IsVisible(application)) {
    platform_.windows.RequestClose(application);
  }
  if (!created) return false;
  if (wmp::Failed(player_->VersionInfo(&version_)) || version_.empty()) return false;
  controls_.reset();
  return wmp::Succeeded(player_->Controls(&controls_)) && controls_ != nullptr;
}

bool PlayerHost::ConnectPlayerEvents(HWND mainWindow) {
  if (!player_ || !mainWindow) return false;
  auto sink = std::make_shared<CWMPEventDispatch>();
  target_ = std::make_unique<WindowMessageTarget>(mainWindow);
  sink->SetMainWindow(target_.get());
  std::uint32_t cookie = 0;
  if (wmp::Failed(player_->Advise(sink, &cookie))) {
    sink->SetMainWindow(nullptr);
    return false;
  }
  sink_ = std::move(sink);
  cookie_ = cookie;
  return true;
}

void PlayerHost::ReleasePlayerHost() {
  if (player_ && cookie_ != 0) player_->Unadvise(cookie_);
  cookie_ = 0;
  if (sink_) sink_->SetMainWindow(nullptr);
  sink_.reset();
  if (player_) player_->Close();
  controls_.reset();
  hostWindow_.reset();
  player_.reset();
  remoteHost_.reset();
  target_.reset();
}

}  // namespace engine::win32
