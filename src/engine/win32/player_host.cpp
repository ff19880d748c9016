#include "engine/win32/player_host.h"

#include <shlobj.h>

#include <cstdlib>

#include "engine/win32/com_player.h"
#include "engine/win32/com_remote_host.h"
#include "engine/win32/window_message_target.h"
#include "mediaengine/player/player.h"
#include "mediaengine/win32/codec_libraries.h"
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
                       std::wstring libraryFolder, ControlFactory installedControl)
    : platform_(platform),
      strings_(strings),
      libraryFolder_(std::move(libraryFolder)),
      installedControl_(installedControl ? std::move(installedControl)
                                         : ControlFactory(&ControlHost::CreateInstalledControl)) {}

PlayerHost::~PlayerHost() { ReleasePlayerHost(); }

wmp::PlayerPtr PlayerHost::Player() const {
  if (comPlayer_) return comPlayer_;
  return player_;
}

HWND PlayerHost::HostWindow() const {
  if (controlHost_) return controlHost_->Window();
  return hostWindow_ ? hostWindow_->Window() : nullptr;
}

InstalledProbe PlayerHost::TryInstalledEngine(HWND mainWindow, const RECT& area) {
  // An ActiveX control needs OLE on this thread; the host does not count on
  // the application for it.
  apartment_ = std::make_unique<OleApartment>();
  ComPtr<ComRemoteHost> remote = ComRemoteHost::Create(remoteHost_);
  if (!remote) return InstalledNotCreated(wmp::kOutOfMemory);
  HRESULT hr = S_OK;
  controlHost_ = ControlHost::Create(mainWindow, area, std::move(remote), installedControl_, &hr);
  if (!controlHost_) return InstalledNotCreated(hr);
  comPlayer_ = std::make_shared<ComPlayer>(controlHost_->Player());
  return ProbeInstalledEngine(*comPlayer_);
}

void PlayerHost::ReleaseInstalledEngine() {
  comPlayer_.reset();
  controlHost_.reset();
  apartment_.reset();
}

bool PlayerHost::CreateOurEngine(HWND mainWindow, const RECT& area) {
  if (!mediaengine::win32::CodecLibrariesAnswer(&missingCodec_)) return false;
  if (libraryFolder_.empty()) libraryFolder_ = DefaultLibraryFolder();
  // The site is known before the player exists: the engine asks it for the
  // service type and the application name as it starts.
  mediaengine::EngineConfig config{platform_.files,  platform_.drives, platform_.registry,
                                   platform_.system, platform_.clock,  libraryFolder_,
                                   ReportedMajorVersion(), remoteHost_.get(), &cdroms_};
  auto player = mediaengine::Player::Create(config);
  auto window = std::make_unique<mediaengine::win32::EngineWindow>(player, mainWindow, area);
  if (!window->IsValid() || libraryFolder_.empty()) {
    window.reset();
    player->Close();
    return false;
  }
  player_ = std::move(player);
  hostWindow_ = std::move(window);
  return true;
}

bool PlayerHost::CreatePlayerHost(HWND mainWindow) {
  bool created = false;
  if (mainWindow) {
    remoteHost_ = std::make_shared<CRemoteHost>(strings_);
    RECT client = {};
    GetClientRect(mainWindow, &client);
    const EngineSetting setting = ReadEngineSetting(platform_.registry);
    InstalledProbe probe;
    if (setting != EngineSetting::Ours) probe = TryInstalledEngine(mainWindow, client);
    choice_ = ChooseEngine(setting, probe);
    if (choice_.engine == EngineKind::Installed) {
      created = true;
    } else {
      // The installed engine was only tried: it is closed before ours starts.
      if (comPlayer_) comPlayer_->Close();
      ReleaseInstalledEngine();
      if (choice_.engine == EngineKind::Ours) created = CreateOurEngine(mainWindow, client);
    }
  }

  // A player application that is open would compete for the same library
  // and devices: it is asked to close whatever happened above.
  const os::WindowRef application = FindPlayerApplicationWindow(platform_.windows);
  if (application != os::kNoWindow && platform_.windows.IsVisible(application)) {
    platform_.windows.RequestClose(application);
  }
  if (!created) return false;
  const wmp::PlayerPtr player = Player();
  if (wmp::Failed(player->VersionInfo(&version_)) || version_.empty()) return false;
  controls_.reset();
  return wmp::Succeeded(player->Controls(&controls_)) && controls_ != nullptr;
}

bool PlayerHost::ConnectPlayerEvents(HWND mainWindow) {
  const wmp::PlayerPtr player = Player();
  if (!player || !mainWindow) return false;
  auto sink = std::make_shared<CWMPEventDispatch>();
  target_ = std::make_unique<WindowMessageTarget>(mainWindow);
  sink->SetMainWindow(target_.get());
  std::uint32_t cookie = 0;
  if (wmp::Failed(player->Advise(sink, &cookie))) {
    sink->SetMainWindow(nullptr);
    return false;
  }
  sink_ = std::move(sink);
  cookie_ = cookie;
  return true;
}

void PlayerHost::ReleasePlayerHost() {
  if (const wmp::PlayerPtr player = Player()) {
    if (cookie_ != 0) player->Unadvise(cookie_);
    cookie_ = 0;
    if (sink_) sink_->SetMainWindow(nullptr);
    sink_.reset();
    player->Close();
  }
  cookie_ = 0;
  sink_.reset();
  controls_.reset();
  hostWindow_.reset();
  player_.reset();
  ReleaseInstalledEngine();
  remoteHost_.reset();
  target_.reset();
}

}  // namespace engine::win32
