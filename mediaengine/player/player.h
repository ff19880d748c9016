#pragma once
// Our media engine's player: the root object the tool drives. It owns the
// event queue and hub, the library and the CD drives; the host calls Poll
// every couple of seconds (discs are found by polling) and drains the event
// queue on the player's thread.
#include <cstdint>
#include <memory>
#include <string>

#include "mediaengine/base/engine_context.h"
#include "mediaengine/base/event_hub.h"
#include "mediaengine/base/event_queue.h"
#include "engine/model/player.h"
#include "mediaengine/library/library_types.h"

namespace mediaengine {

class CdDriveSet;
class DeviceSet;
class MediaLibrary;

// Warning events the player raises (type, param 0, a text for the log).
// The library file was damaged: set aside under another name, and the
// library starts empty.
constexpr long kWarningLibrarySetAside = 0x4D01;
// The library file could not be read or set aside: the library starts empty
// and does not write, so the file stays as it is.
constexpr long kWarningLibraryNotSaving = 0x4D02;
// The library could not be written; param is the error.
constexpr long kWarningLibrarySaveFailed = 0x4D03;

// The text a Warning event gives for how the library was loaded; empty when
// there is nothing to say.
std::wstring LibraryLoadWarning(const LoadReport& report);

struct EngineConfig {
  os::IFileSystem& files;
  os::IDrives& drives;
  os::IRegistry& registry;
  os::ISystem& system;
  os::IClock& clock;
  // Folder of the library file and the saved playlists.
  std::wstring libraryFolder;
  // Major version the player reports: 11 rips with startRip; 10 makes the
  // tool take the older task-pane path (a test mode).
  int majorVersion = 11;
  // The host, asked for its service type and name as the player starts.
  wmp::IRemoteHost* host = nullptr;
  // The CD-ROM drives' control codes, for discs that are not images; null
  // reads images only.
  os::ICdromDevices* cdroms = nullptr;
};

class Player : public wmp::IPlayer, public std::enable_shared_from_this<Player> {
 public:
  static std::shared_ptr<Player> Create(const EngineConfig& config);
  ~Player() override;
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;

  // Runs queued events on the calling (player) thread; how many ran.
  int DrainEvents() { return queue_.Drain(); }
  EventQueue& Queue() { return queue_; }
  // Looks at the drives and the players; raises the events of what changed.
  void Poll();
  // How the library was loaded (on a thread of its own); waits for the load.
  LoadReport LibraryLoad() const;
  // What the host answered when the player started.
  const std::wstring& HostServiceType() const { return hostServiceType_; }
  const std::wstring& HostName() const { return hostName_; }

  wmp::HResult VersionInfo(std::wstring* version) override;
  wmp::HResult Controls(wmp::ControlsPtr* controls) override;
  wmp::HResult Services(wmp::PlayerServicesPtr* services) override;
  wmp::HResult MediaCollection(wmp::MediaCollectionPtr* collection) override;
  wmp::HResult PlaylistCollection(wmp::PlaylistCollectionPtr* collection) override;
  wmp::HResult CdromCollection(wmp::CdromCollectionPtr* collection) override;
  wmp::HResult SyncServices(wmp::SyncServicesPtr* services) override;
  wmp::HResult NewMedia(const std::wstring& url, wmp::MediaPtr* item) override;
  wmp::HResult Close() override;
  wmp::HResult Advise(wmp::PlayerEventsPtr sink, std::uint32_t* cookie) override;
  wmp::HResult Unadvise(std::uint32_t cookie) override;

  // The older engines' way to start a rip: "CopyFromCD?AutoCopy:<index>".
  wmp::HResult StartRipByTask(const std::wstring& task);

 private:
  explicit Player(const EngineConfig& config);
  bool Closed() const { return closed_; }

  EngineConfig config_;
  EventQueue queue_;
  EventHub hub_;
  std::unique_ptr<MediaLibrary> library_;
  std::unique_ptr<EngineContext> context_;
  std::shared_ptr<CdDriveSet> cdroms_;
  std::shared_ptr<DeviceSet> devices_;
  std::wstring hostServiceType_;
  std::wstring hostName_;
  bool closed_ = false;
};

}  // namespace mediaengine
