#pragma once
// Hosts the media engine for the main window: an invisible child window of
// the main window that owns the engine's thread affinity (its events are
// delivered there), the remote host the engine asks about its host, the
// player and its controls, and the event connection that turns engine
// events into the main window's messages.
//
// The engine is chosen once, when the host is created (engine_choice.h):
// the installed engine, the platform's player control in remote mode
// (control_host.h, com_player.h), when it can be created and answers for
// its CD-ROM collection, media collection and sync services; otherwise our
// own engine (mediaengine/). Both are driven through the same object model.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "engine/engine_choice.h"
#include "engine/event_dispatch.h"
#include "engine/model/player.h"
#include "engine/remote_host.h"
#include "engine/win32/control_host.h"
#include "os/platform.h"
#include "os/win32/win32_cdrom.h"
#include "resources/string_table.h"

namespace mediaengine {
class Player;
namespace win32 {
class EngineWindow;
}  // namespace win32
}  // namespace mediaengine

namespace engine::win32 {
class ComPlayer;
class WindowMessageTarget;
}  // namespace engine::win32

namespace engine::win32 {

class PlayerHost {
 public:
  // `libraryFolder` empty: "<application data>\Marimba\Library". The major
  // version our engine reports is 11, or the value of the environment
  // variable MARIMBA_ENGINE_MAJOR_VERSION (10 exercises the older paths).
  // `installedControl` makes the installed engine's control (tests pass a
  // stand-in); empty: the platform's player control.
  PlayerHost(os::Platform& platform, const res::IStringTable& strings,
             std::wstring libraryFolder = std::wstring(),
             ControlFactory installedControl = ControlFactory());
  ~PlayerHost();
  PlayerHost(const PlayerHost&) = delete;
  PlayerHost& operator=(const PlayerHost&) = delete;

  // Chooses the engine, creates the host window, the remote host and the
  // player; closes a visible player application window. False on any
  // failure.
  bool CreatePlayerHost(HWND mainWindow);
  // Advises the event sink that sends the main window its messages.
  bool ConnectPlayerEvents(HWND mainWindow);
  // Unadvises, closes the player and lets go of everything, in that order.
  void ReleasePlayerHost();

  wmp::PlayerPtr Player() const;
  wmp::ControlsPtr Controls() const { return controls_; }
  const std::wstring& VersionText() const { return version_; }
  HWND HostWindow() const;
  // Which engine CreatePlayerHost chose, and why.
  const EngineChoice& Choice() const { return choice_; }
  // Our engine was chosen but its codec DLLs are missing or not the ones it
  // was built with (the DLL, and entry point, that did not answer).
  const std::wstring& MissingCodec() const { return missingCodec_; }

 private:
  InstalledProbe TryInstalledEngine(HWND mainWindow, const RECT& area);
  bool CreateOurEngine(HWND mainWindow, const RECT& area);
  void ReleaseInstalledEngine();

  os::Platform& platform_;
  const res::IStringTable& strings_;
  std::wstring libraryFolder_;
  ControlFactory installedControl_;
  EngineChoice choice_;
  std::wstring missingCodec_;
  std::shared_ptr<CRemoteHost> remoteHost_;
  // Our engine, and the drives' control codes it reads real discs through.
  os::win32::Win32CdromDevices cdroms_;
  std::shared_ptr<mediaengine::Player> player_;
  std::unique_ptr<mediaengine::win32::EngineWindow> hostWindow_;
  // The installed engine.
  std::unique_ptr<OleApartment> apartment_;
  std::unique_ptr<ControlHost> controlHost_;
  std::shared_ptr<ComPlayer> comPlayer_;

  wmp::ControlsPtr controls_;
  std::wstring version_;
  std::unique_ptr<WindowMessageTarget> target_;
  std::shared_ptr<CWMPEventDispatch> sink_;
  std::uint32_t cookie_ = 0;
};

}  // namespace engine::win32
