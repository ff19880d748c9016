#include "mediaengine/player/player.h"

#include <cwchar>

#include "mediaengine/cdrom/cd_drive_set.h"
#include "mediaengine/player/file_media.h"
#include "mediaengine/devices/device_set.h"
#include "mediaengine/library/media_library.h"
#include "os/text_encoding.h"

namespace mediaengine {
namespace {

std::wstring Hex(wmp::HResult value) {
  wchar_t text[16];
  std::swprintf(text, 16, L"%08X", static_cast<unsigned>(value));
  return text;
}

class PlayerControls : public wmp::IControls {
 public:
  // The engine plays nothing, so there is never playback to stop.
  wmp::HResult Stop() override { return wmp::kOk; }
};

class PlayerServices : public wmp::IPlayerServices {
 public:
  explicit PlayerServices(std::weak_ptr<Player> player) : player_(std::move(player)) {}
  wmp::HResult SetTaskPane(const std::wstring& task) override {
    auto player = player_.lock();
    return player ? player->StartRipByTask(task) : wmp::kFail;
  }

 private:
  std::weak_ptr<Player> player_;
};

constexpr std::chrono::milliseconds kLibraryWriteDelay{500};

}  // namespace

std::wstring LibraryLoadWarning(const LoadReport& report) {
  const std::wstring detail = os::WideFromUtf8(report.detail);
  switch (report.outcome) {
    case LoadOutcome::kDamagedSetAside:
      return L"The library file was damaged (" + detail + L"); it was kept as " +
             report.setAsidePath + L" and the library starts empty.";
    case LoadOutcome::kNotSaving:
      return L"The library file could not be read or set aside (error 0x" + Hex(report.error) +
             L"); the library starts empty and is not saved.";
    case LoadOutcome::kLoaded:
    case LoadOutcome::kNew:
      break;
  }
  return std::wstring();
}

std::shared_ptr<Player> Player::Create(const EngineConfig& config) {
  std::shared_ptr<Player> player(new Player(config));
  return player;
}

Player::Player(const EngineConfig& config) : config_(config), hub_(queue_) {
  if (config.host) {
    config.host->GetServiceType(&hostServiceType_);
    config.host->GetApplicationName(&hostName_);
  }
  library_ = std::make_unique<MediaLibrary>(config.files, config.libraryFolder,
                                            AsfTagReader(config.files));
  EventHub& hub = hub_;
  LibraryEvents events;
  events.mediaCollectionChange = [&hub] {
    hub.Raise([](wmp::IPlayerEvents& sink) { sink.MediaCollectionChange(); });
  };
  events.mediaChange = [&hub](const wmp::MediaPtr& item) {
    hub.Raise([item](wmp::IPlayerEvents& sink) { sink.MediaChange(item.get()); });
  };
  events.playlistCollectionChange = [&hub] {
    hub.Raise([](wmp::IPlayerEvents& sink) { sink.PlaylistCollectionChange(); });
  };
  events.playlistChange = [&hub](const wmp::PlaylistPtr& playlist, long change) {
    hub.Raise([playlist, change](wmp::IPlayerEvents& sink) {
      sink.PlaylistChange(playlist.get(), change);
    });
  };
  events.saveFailed = [&hub](wmp::HResult error) {
    hub.Raise([error](wmp::IPlayerEvents& sink) {
      sink.Warning(kWarningLibrarySaveFailed, static_cast<long>(error),
                   L"The library file could not be written (error 0x" + Hex(error) + L").");
    });
  };
  library_->SetEvents(std::move(events));
  // A big library's file takes a while to write: a rip's tracks, coming
  // a few a second, are written together.
  library_->WriteBehind(kLibraryWriteDelay);
  // A big library takes a while to read: the host's window does not wait
  // for it, only the calls that need the library do. The warning is said
  // once the host drains the events queued after the load.
  library_->LoadInBackground([&hub](const LoadReport& report) {
    const std::wstring warning = LibraryLoadWarning(report);
    if (warning.empty()) return;
    const long type = report.outcome == LoadOutcome::kDamagedSetAside ? kWarningLibrarySetAside
                                                                       : kWarningLibraryNotSaving;
    hub.Raise([type, warning](wmp::IPlayerEvents& sink) { sink.Warning(type, 0, warning); });
  });
  context_ = std::make_unique<EngineContext>(EngineContext{
      config.files, config.drives, config.registry, config.system, config.clock, hub_,
      *library_, config.cdroms});
  // The CD drives and the players go through the same letters: one look at
  // them serves both (each letter's type costs the platform several requests).
  os::DrivesOnce drives(config.drives);
  cdroms_ = std::make_shared<CdDriveSet>(*context_, drives);
  devices_ = std::make_shared<DeviceSet>(*context_, drives);
}

Player::~Player() { Close(); }

LoadReport Player::LibraryLoad() const { return library_->WaitForLoad(); }

void Player::Poll() {
  if (closed_) return;
  // A fresh look each poll, shared as at the start.
  os::DrivesOnce drives(config_.drives);
  cdroms_->Poll(drives);
  devices_->Poll(drives);
}

wmp::HResult Player::VersionInfo(std::wstring* version) {
  if (!version) return wmp::kPointer;
  *version = config_.majorVersion >= 11 ? std::to_wstring(config_.majorVersion) + L".0.5721.5145"
                                        : std::to_wstring(config_.majorVersion) + L".0.0.3646";
  return wmp::kOk;
}

wmp::HResult Player::Controls(wmp::ControlsPtr* controls) {
  if (!controls) return wmp::kPointer;
  *controls = std::make_shared<PlayerControls>();
  return wmp::kOk;
}

wmp::HResult Player::Services(wmp::PlayerServicesPtr* services) {
  if (!services) return wmp::kPointer;
  *services = std::make_shared<PlayerServices>(weak_from_this());
  return wmp::kOk;
}

wmp::HResult Player::MediaCollection(wmp::MediaCollectionPtr* collection) {
  if (!collection) return wmp::kPointer;
  *collection = library_->MediaCollection();
  return wmp::kOk;
}

wmp::HResult Player::PlaylistCollection(wmp::PlaylistCollectionPtr* collection) {
  if (!collection) return wmp::kPointer;
  *collection = library_->PlaylistCollection();
  return wmp::kOk;
}

wmp::HResult Player::CdromCollection(wmp::CdromCollectionPtr* collection) {
  if (!collection) return wmp::kPointer;
  *collection = cdroms_;
  return wmp::kOk;
}

wmp::HResult Player::SyncServices(wmp::SyncServicesPtr* services) {
  if (!services) return wmp::kPointer;
  *services = devices_;
  return wmp::kOk;
}

wmp::HResult Player::NewMedia(const std::wstring& url, wmp::MediaPtr* item) {
  if (!item) return wmp::kPointer;
  if (url.empty()) return wmp::kInvalidArg;
  *item = std::make_shared<FileMedia>(config_.files, url);
  return wmp::kOk;
}

wmp::HResult Player::Close() {
  if (closed_) return wmp::kOk;
  closed_ = true;
  hub_.Close();
  cdroms_->Shutdown();
  devices_->Shutdown();
  library_->Save();
  return wmp::kOk;
}

wmp::HResult Player::Advise(wmp::PlayerEventsPtr sink, std::uint32_t* cookie) {
  return hub_.Advise(std::move(sink), cookie);
}

wmp::HResult Player::Unadvise(std::uint32_t cookie) { return hub_.Unadvise(cookie); }

wmp::HResult Player::StartRipByTask(const std::wstring& task) {
  static const std::wstring kPrefix = L"CopyFromCD?AutoCopy:";
  if (task.compare(0, kPrefix.size(), kPrefix) != 0) return wmp::kInvalidArg;
  const std::wstring digits = task.substr(kPrefix.size());
  if (digits.empty() || digits.size() > 2 ||
      digits.find_first_not_of(L"0123456789") != std::wstring::npos) {
    return wmp::kInvalidArg;
  }
  auto drive = cdroms_->DriveAt(std::stol(digits));
  return drive ? drive->StartRip() : wmp::kInvalidArg;
}

}  // namespace mediaengine
