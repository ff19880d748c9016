#pragma once
// The player: the root of the engine object model.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/model/cdrom.h"
#include "engine/model/events.h"
#include "engine/model/library.h"
#include "engine/model/sync.h"

namespace wmp {

// Published play states the tool looks at.
constexpr long kPlayStatePlaying = 3;
constexpr long kPlayStateReady = 10;
// Playlist change type of a rename.
constexpr long kPlaylistChangeName = 8;

class IControls {
 public:
  virtual ~IControls() = default;
  virtual HResult Stop() = 0;
};
using ControlsPtr = std::shared_ptr<IControls>;

class IPlayerServices {
 public:
  virtual ~IPlayerServices() = default;
  // Older engines start a rip with "CopyFromCD?AutoCopy:<drive index>".
  virtual HResult SetTaskPane(const std::wstring& task) = 0;
};
using PlayerServicesPtr = std::shared_ptr<IPlayerServices>;

// Who hosts the player: the engine asks it, as the platform's engine asks
// its remote host, for the service type and the application name.
class IRemoteHost {
 public:
  virtual ~IRemoteHost() = default;
  virtual HResult GetServiceType(std::wstring* type) = 0;
  virtual HResult GetApplicationName(std::wstring* name) = 0;
};

class IPlayer {
 public:
  virtual ~IPlayer() = default;
  // Dotted text whose first number is the major version, e.g. "11.0.5721.5145".
  virtual HResult VersionInfo(std::wstring* version) = 0;
  virtual HResult Controls(ControlsPtr* controls) = 0;
  virtual HResult Services(PlayerServicesPtr* services) = 0;
  virtual HResult MediaCollection(MediaCollectionPtr* collection) = 0;
  virtual HResult PlaylistCollection(PlaylistCollectionPtr* collection) = 0;
  virtual HResult CdromCollection(CdromCollectionPtr* collection) = 0;
  virtual HResult SyncServices(SyncServicesPtr* services) = 0;
  // A media item for a file, not (yet) in the library.
  virtual HResult NewMedia(const std::wstring& url, MediaPtr* item) = 0;
  // Ends all engine work: rips and synchronisations stop, events cease.
  virtual HResult Close() = 0;

  // The connection point: events go to the sink until Unadvise.
  virtual HResult Advise(PlayerEventsPtr sink, std::uint32_t* cookie) = 0;
  virtual HResult Unadvise(std::uint32_t cookie) = 0;
};
using PlayerPtr = std::shared_ptr<IPlayer>;

}  // namespace wmp
