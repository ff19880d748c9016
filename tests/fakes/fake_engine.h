#pragma once
// In-memory fakes of the engine object model, for native tests of the code
// that drives the engine.
//
// As the engine does, the fakes hand out a fresh object on every call that
// returns a media item, a playlist or a sync device; objects that stand for
// the same thing share its state, and only IsIdentical tells them apart.
// Library queries answer snapshot playlists: editing one never touches the
// library. Attribute names and their other spellings are the engine's
// (engine/model/attribute_names.h); a missing attribute reads as "" with
// success.
//
// Every fake can be told to answer a scripted result instead of doing an
// operation (Script().Fail(op, result, times)): a failure leaves everything
// as it was; a success code makes the call do nothing and, for a call that
// hands out an object, hand out none. Set-up helpers (Set..., Add...) are
// never scripted or counted.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/model/attribute_names.h"
#include "engine/model/player.h"
#include "os/file_system.h"

namespace fakes {

// Times for a script that never runs out.
constexpr int kAlways = -1;

// Scripted answers and call counts of one object's operations.
template <typename Op>
class OpScript {
 public:
  // The next `times` calls of `op` (all with kAlways) answer `result`.
  void Fail(Op op, wmp::HResult result = wmp::kFail, int times = 1) {
    scripts_[op] = Entry{result, times};
  }
  void Clear(Op op) { scripts_.erase(op); }
  // Calls made, scripted ones included.
  int Calls(Op op) const {
    auto it = calls_.find(op);
    return it == calls_.end() ? 0 : it->second;
  }
  // Counts the call; true when it is scripted, with the answer in `result`.
  bool Take(Op op, wmp::HResult* result) {
    ++calls_[op];
    auto it = scripts_.find(op);
    if (it == scripts_.end()) return false;
    *result = it->second.result;
    if (it->second.times != kAlways && --it->second.times <= 0) scripts_.erase(it);
    return true;
  }

 private:
  struct Entry {
    wmp::HResult result;
    int times;
  };
  std::map<Op, Entry> scripts_;
  std::map<Op, int> calls_;
};

// ---------------------------------------------------------------- media

enum class MediaOp {
  Name, SetName, SourceUrl, Duration, DurationString, GetItemInfo, SetItemInfo, IsIdentical,
};

// What one media item is; shared by every object that stands for it.
struct MediaState {
  std::uint64_t identity = 0;
  std::wstring url;
  double seconds = 0;
  std::wstring durationText;  // empty: made from `seconds`
  std::map<std::wstring, std::wstring> attributes;  // canonical names
  OpScript<MediaOp> script;
  // Attribute reads and writes scripted by attribute name (canonical).
  std::map<std::wstring, std::pair<wmp::HResult, int>> readFailures;
  std::map<std::wstring, std::pair<wmp::HResult, int>> writeFailures;
  // Successful SetItemInfo and SetName calls, in order: canonical name, value.
  std::vector<std::pair<std::wstring, std::wstring>> writes;
};

class FakeMedia : public wmp::IMedia {
 public:
  explicit FakeMedia(std::shared_ptr<MediaState> state) : state_(std::move(state)) {}
  // A new item of its own identity.
  static std::shared_ptr<FakeMedia> Create(const std::wstring& title = {},
                                           const std::wstring& url = {});
  // Another object standing for the same item.
  std::shared_ptr<FakeMedia> Fresh() const { return std::make_shared<FakeMedia>(state_); }
  const std::shared_ptr<MediaState>& State() const { return state_; }

  FakeMedia& Set(const std::wstring& attribute, const std::wstring& value);
  // Removes the attribute; it then reads as "".
  FakeMedia& Unset(const std::wstring& attribute);
  FakeMedia& SetUrl(const std::wstring& url);
  FakeMedia& SetSeconds(double seconds);
  FakeMedia& SetDurationText(const std::wstring& text);
  std::wstring Attribute(const std::wstring& attribute) const;
  bool HasAttribute(const std::wstring& attribute) const;
  std::wstring Title() const { return Attribute(L"Title"); }
  const std::wstring& Url() const { return state_->url; }
  bool SameItemAs(const FakeMedia& other) const { return other.state_ == state_; }

  OpScript<MediaOp>& Script() { return state_->script; }
  // The next `times` reads (writes) of one attribute answer `result`.
  void FailRead(const std::wstring& attribute, wmp::HResult result = wmp::kFail, int times = 1);
  void FailWrite(const std::wstring& attribute, wmp::HResult result = wmp::kFail, int times = 1);
  const std::vector<std::pair<std::wstring, std::wstring>>& Writes() const {
    return state_->writes;
  }

  wmp::HResult Name(std::wstring* name) override;
  wmp::HResult SetName(const std::wstring& name) override;
  wmp::HResult SourceUrl(std::wstring* url) override;
  wmp::HResult Duration(double* seconds) override;
  wmp::HResult DurationString(std::wstring* text) override;
  wmp::HResult GetItemInfo(const std::wstring& attribute, std::wstring* value) override;
  wmp::HResult SetItemInfo(const std::wstring& attribute, const std::wstring& value) override;
  wmp::HResult IsIdentical(wmp::IMedia* other, bool* identical) override;

 private:
  std::shared_ptr<MediaState> state_;
};
using FakeMediaPtr = std::shared_ptr<FakeMedia>;

// ---------------------------------------------------------------- playlists

enum class PlaylistOp {
  Count, Item, Name, SetName, GetItemInfo, SetItemInfo, AppendItem, RemoveItem, MoveItem,
  IsIdentical,
};

struct PlaylistState {
  std::uint64_t identity = 0;
  // Name ("Title") and attributes; for a saved playlist also its library item.
  std::shared_ptr<MediaState> info;
  std::vector<std::shared_ptr<MediaState>> items;
  OpScript<PlaylistOp> script;
};

class FakePlaylist : public wmp::IPlaylist {
 public:
  explicit FakePlaylist(std::shared_ptr<PlaylistState> state) : state_(std::move(state)) {}
  static std::shared_ptr<FakePlaylist> Create(const std::wstring& name = {});
  std::shared_ptr<FakePlaylist> Fresh() const { return std::make_shared<FakePlaylist>(state_); }
  const std::shared_ptr<PlaylistState>& State() const { return state_; }

  // Appends the item itself (not a copy).
  FakePlaylist& Add(const FakeMediaPtr& item);
  FakePlaylist& SetTitle(const std::wstring& name);
  FakePlaylist& Set(const std::wstring& attribute, const std::wstring& value);
  std::wstring Title() const;
  std::wstring Attribute(const std::wstring& attribute) const;
  std::size_t Size() const { return state_->items.size(); }
  // Fresh objects of the items, in order.
  std::vector<FakeMediaPtr> Items() const;
  FakeMediaPtr At(std::size_t index) const;
  // The media item that carries the name and attributes.
  FakeMediaPtr AsMedia() const { return std::make_shared<FakeMedia>(state_->info); }
  bool SameListAs(const FakePlaylist& other) const { return other.state_ == state_; }

  OpScript<PlaylistOp>& Script() { return state_->script; }

  wmp::HResult Count(long* count) override;
  wmp::HResult Item(long index, wmp::MediaPtr* item) override;
  wmp::HResult Name(std::wstring* name) override;
  wmp::HResult SetName(const std::wstring& name) override;
  wmp::HResult GetItemInfo(const std::wstring& attribute, std::wstring* value) override;
  wmp::HResult SetItemInfo(const std::wstring& attribute, const std::wstring& value) override;
  wmp::HResult AppendItem(wmp::IMedia* item) override;
  wmp::HResult RemoveItem(wmp::IMedia* item) override;
  wmp::HResult MoveItem(long oldIndex, long newIndex) override;
  wmp::HResult IsIdentical(wmp::IPlaylist* other, bool* identical) override;

 private:
  std::shared_ptr<PlaylistState> state_;
};
using FakePlaylistPtr = std::shared_ptr<FakePlaylist>;

enum class PlaylistArrayOp { Count, Item };

class FakePlaylistArray : public wmp::IPlaylistArray {
 public:
  explicit FakePlaylistArray(std::vector<FakePlaylistPtr> playlists = {})
      : playlists_(std::move(playlists)) {}
  OpScript<PlaylistArrayOp>& Script() { return script_; }

  wmp::HResult Count(long* count) override;
  wmp::HResult Item(long index, wmp::PlaylistPtr* playlist) override;

 private:
  std::vector<FakePlaylistPtr> playlists_;
  OpScript<PlaylistArrayOp> script_;
};

// ---------------------------------------------------------------- discs

struct FakeTrack {
  std::wstring title;
  std::wstring artist;
  double seconds = 0;
};

// A disc playlist: one item per track in disc order, with "Title",
// "Artist", "WM/AlbumTitle", "WM/AlbumArtist" (= the artist of track 1),
// "WM/TrackNumber" and the duration; the playlist is named `album` and
// carries "TOC" (made from the track lengths unless `toc` is given).
FakePlaylistPtr MakeDisc(const std::wstring& album, const std::vector<FakeTrack>& tracks,
                         const std::wstring& toc = {});
// `count` tracks "Track 01".. by "Artist", 180 + n seconds, album "Album".
FakePlaylistPtr MakeDisc(int count);
// The playlist of an empty drive.
FakePlaylistPtr MakeNoDisc();

enum class CdromRipOp { StartRip, StopRip, RipState, RipProgress };

class FakeCdromRip : public wmp::ICdromRip {
 public:
  void SetState(wmp::RipState state) { state_ = static_cast<long>(state); }
  void SetProgress(long percent) { progress_ = percent; }
  OpScript<CdromRipOp>& Script() { return script_; }
  int Starts() const { return script_.Calls(CdromRipOp::StartRip); }
  int Stops() const { return script_.Calls(CdromRipOp::StopRip); }

  // StartRip sets the state to Ripping, StopRip to Stopped.
  wmp::HResult StartRip() override;
  wmp::HResult StopRip() override;
  wmp::HResult RipState(long* state) override;
  wmp::HResult RipProgress(long* percent) override;

 private:
  long state_ = static_cast<long>(wmp::RipState::Unknown);
  long progress_ = 0;
  OpScript<CdromRipOp> script_;
};

enum class CdromOp { DriveSpecifier, Playlist, Eject, Rip };

class FakeCdrom : public wmp::ICdrom {
 public:
  // An empty drive that can rip.
  explicit FakeCdrom(std::wstring drive);

  void Insert(FakePlaylistPtr disc) { disc_ = std::move(disc); }
  // What Eject does: the drive becomes empty.
  void Remove() { disc_ = MakeNoDisc(); }
  const FakePlaylistPtr& Disc() const { return disc_; }
  // The rip face; null makes the drive one that cannot rip.
  const std::shared_ptr<FakeCdromRip>& RipFace() const { return rip_; }
  void SetRipFace(std::shared_ptr<FakeCdromRip> rip) { rip_ = std::move(rip); }
  OpScript<CdromOp>& Script() { return script_; }
  // Ejects that succeeded.
  int Ejects() const { return ejects_; }

  wmp::HResult DriveSpecifier(std::wstring* drive) override;
  // A fresh object of the disc's playlist.
  wmp::HResult Playlist(wmp::PlaylistPtr* playlist) override;
  wmp::HResult Eject() override;
  // A scripted call answers null, as for a drive that cannot rip.
  wmp::CdromRipPtr Rip() override;

 private:
  std::wstring drive_;
  FakePlaylistPtr disc_;
  std::shared_ptr<FakeCdromRip> rip_ = std::make_shared<FakeCdromRip>();
  OpScript<CdromOp> script_;
  int ejects_ = 0;
};
using FakeCdromPtr = std::shared_ptr<FakeCdrom>;

enum class CdromCollectionOp { Count, Item };

class FakeCdromCollection : public wmp::ICdromCollection {
 public:
  // Appends a drive ("E:"), empty unless `disc` is given.
  FakeCdromPtr AddDrive(const std::wstring& drive, FakePlaylistPtr disc = nullptr);
  const std::vector<FakeCdromPtr>& Drives() const { return drives_; }
  OpScript<CdromCollectionOp>& Script() { return script_; }

  wmp::HResult Count(long* count) override;
  wmp::HResult Item(long index, wmp::CdromPtr* drive) override;

 private:
  std::vector<FakeCdromPtr> drives_;
  OpScript<CdromCollectionOp> script_;
};

// ---------------------------------------------------------------- library

enum class MediaCollectionOp { Add, GetByAttribute, GetByAlbum, GetByName, GetAll, Remove };

// How MakeRipped files a track of a disc.
struct RipOptions {
  std::wstring folder = L"C:\\Music";  // CDRecordPath
  std::uint32_t bitrate = 128000;       // bits per second
  std::wstring fileType = L"wma";
  // "FileSize"; negative: seconds × bitrate ÷ 8.
  std::int64_t fileSize = -1;
};

class FakeMediaCollection : public wmp::IMediaCollection {
 public:
  // With `files`, Remove(item, true) deletes the item's file through it.
  explicit FakeMediaCollection(os::IFileSystem* files = nullptr) : files_(files) {}

  // Puts an item into the library (the item itself, not a copy).
  FakeMediaPtr AddItem(FakeMediaPtr item);
  // An audio item for a file: "Title" and "MediaType" set.
  FakeMediaPtr AddFile(const std::wstring& url, const std::wstring& title = {});
  // The library item a finished rip makes of track `index` of `disc`:
  // folder\album artist\album\"NN title.wma" with the disc's tags, its
  // "TOC", "Bitrate", "FileSize", "FileType" and "MediaType" "audio".
  FakeMediaPtr AddRipped(const FakePlaylist& disc, std::size_t index,
                         const RipOptions& options = {});
  // Every track of the disc, in order.
  std::vector<FakeMediaPtr> AddRippedDisc(const FakePlaylist& disc,
                                          const RipOptions& options = {});
  // Fresh objects of the library's items, in library order.
  std::vector<FakeMediaPtr> Items() const;
  std::size_t Size() const { return items_.size(); }
  bool Contains(const wmp::IMedia* item) const;
  FakeMediaPtr FindByUrl(const std::wstring& url) const;

  struct Removal {
    std::wstring url;
    bool deleteFile;
  };
  const std::vector<Removal>& Removals() const { return removals_; }
  // URLs given to Add, in order.
  const std::vector<std::wstring>& AddedUrls() const { return addedUrls_; }
  OpScript<MediaCollectionOp>& Script() { return script_; }

  // Finds the item of a file already in the library; otherwise adds a new
  // item named after the file.
  wmp::HResult Add(const std::wstring& url, wmp::MediaPtr* item) override;
  wmp::HResult GetByAttribute(const std::wstring& attribute, const std::wstring& value,
                              wmp::PlaylistPtr* items) override;
  wmp::HResult GetByAlbum(const std::wstring& album, wmp::PlaylistPtr* items) override;
  wmp::HResult GetByName(const std::wstring& name, wmp::PlaylistPtr* items) override;
  wmp::HResult GetAll(wmp::PlaylistPtr* items) override;
  wmp::HResult Remove(wmp::IMedia* item, bool deleteFile) override;

  // For FakePlaylistCollection: a saved playlist's item joins and leaves.
  void Insert(std::shared_ptr<MediaState> state) { items_.push_back(std::move(state)); }
  void Erase(const std::shared_ptr<MediaState>& state);

 private:
  wmp::HResult Answer(MediaCollectionOp op, const std::wstring& name,
                      const std::wstring& attribute, const std::wstring& value,
                      wmp::PlaylistPtr* items);

  os::IFileSystem* files_;
  std::vector<std::shared_ptr<MediaState>> items_;
  std::vector<Removal> removals_;
  std::vector<std::wstring> addedUrls_;
  OpScript<MediaCollectionOp> script_;
};

enum class PlaylistCollectionOp { NewPlaylist, GetByName, GetAll, Remove };

class FakePlaylistCollection : public wmp::IPlaylistCollection {
 public:
  // Saved playlists appear in `library` as items of "MediaType" "playlist"
  // whose source URL is a file in `folder`.
  explicit FakePlaylistCollection(FakeMediaCollection* library = nullptr,
                                  std::wstring folder = L"C:\\Music\\Playlists")
      : library_(library), folder_(std::move(folder)) {}

  // Set-up: a saved playlist, as NewPlaylist makes it.
  FakePlaylistPtr AddPlaylist(const std::wstring& name);
  const std::vector<FakePlaylistPtr>& Playlists() const { return playlists_; }
  FakePlaylistPtr FindByName(const std::wstring& name) const;
  // Names of the playlists removed, in order.
  const std::vector<std::wstring>& Removed() const { return removed_; }
  OpScript<PlaylistCollectionOp>& Script() { return script_; }

  wmp::HResult NewPlaylist(const std::wstring& name, wmp::PlaylistPtr* playlist) override;
  // Arrays of fresh objects.
  wmp::HResult GetByName(const std::wstring& name, wmp::PlaylistArrayPtr* playlists) override;
  wmp::HResult GetAll(wmp::PlaylistArrayPtr* playlists) override;
  wmp::HResult Remove(wmp::IPlaylist* playlist) override;

 private:
  FakeMediaCollection* library_;
  std::wstring folder_;
  std::vector<FakePlaylistPtr> playlists_;
  std::vector<std::wstring> removed_;
  OpScript<PlaylistCollectionOp> script_;
};

// ---------------------------------------------------------------- devices

enum class SyncDeviceOp {
  FriendlyName, DeviceName, DeviceId, PartnershipIndex, Connected, Status, SyncState, Progress,
  GetItemInfo, CreatePartnership, DeletePartnership, Start, Stop, IsIdentical,
};

struct SyncDeviceState {
  std::uint64_t identity = 0;
  std::wstring friendlyName;
  std::wstring deviceName;
  std::wstring deviceId;
  long partnershipIndex = 0;
  bool connected = true;
  long status = static_cast<long>(wmp::DeviceStatus::NewDevice);
  long syncState = static_cast<long>(wmp::SyncState::Stopped);
  long progress = 0;
  std::map<std::wstring, std::wstring> info;  // "SerialNumber", "FreeSpace", ...
  OpScript<SyncDeviceOp> script;
};

class FakeSyncDevice : public wmp::ISyncDevice {
 public:
  explicit FakeSyncDevice(std::shared_ptr<SyncDeviceState> state) : state_(std::move(state)) {}
  // A connected device without partnership.
  static std::shared_ptr<FakeSyncDevice> Create(const std::wstring& friendlyName,
                                                const std::wstring& deviceName,
                                                const std::wstring& serialNumber = {});
  std::shared_ptr<FakeSyncDevice> Fresh() const {
    return std::make_shared<FakeSyncDevice>(state_);
  }
  SyncDeviceState& State() { return *state_; }
  const SyncDeviceState& State() const { return *state_; }

  FakeSyncDevice& SetDeviceId(const std::wstring& id);
  FakeSyncDevice& SetConnected(bool connected);
  // Index 1..16 with status PartnershipExists; 0 with NewDevice.
  FakeSyncDevice& SetPartnership(long index);
  FakeSyncDevice& SetStatus(wmp::DeviceStatus status);
  FakeSyncDevice& SetSyncState(wmp::SyncState state);
  FakeSyncDevice& SetProgress(long percent);
  FakeSyncDevice& SetInfo(const std::wstring& name, const std::wstring& value);
  // "FreeSpace" and "TotalSpace" as decimal byte counts.
  FakeSyncDevice& SetSpace(std::uint64_t freeBytes, std::uint64_t totalBytes);

  OpScript<SyncDeviceOp>& Script() { return state_->script; }
  int Calls(SyncDeviceOp op) const { return state_->script.Calls(op); }

  wmp::HResult FriendlyName(std::wstring* name) override;
  wmp::HResult DeviceName(std::wstring* name) override;
  wmp::HResult DeviceId(std::wstring* id) override;
  wmp::HResult PartnershipIndex(long* index) override;
  wmp::HResult Connected(bool* connected) override;
  wmp::HResult Status(long* status) override;
  wmp::HResult SyncState(long* state) override;
  wmp::HResult Progress(long* percent) override;
  wmp::HResult GetItemInfo(const std::wstring& attribute, std::wstring* value) override;
  // Asynchronous in the engine: nothing changes until the test calls
  // SetPartnership and raises CreatePartnershipComplete.
  wmp::HResult CreatePartnership() override;
  // Index 0 and status NewDevice.
  wmp::HResult DeletePartnership() override;
  // Synchronizing, progress 0; Stop: Stopped.
  wmp::HResult Start() override;
  wmp::HResult Stop() override;
  wmp::HResult IsIdentical(wmp::ISyncDevice* other, bool* identical) override;

 private:
  std::shared_ptr<SyncDeviceState> state_;
};
using FakeSyncDevicePtr = std::shared_ptr<FakeSyncDevice>;

enum class SyncServicesOp { DeviceCount, GetDevice };

class FakeSyncServices : public wmp::ISyncServices {
 public:
  FakeSyncDevicePtr AddDevice(const std::wstring& friendlyName, const std::wstring& deviceName,
                              const std::wstring& serialNumber = {});
  // The device leaves the engine's list.
  void RemoveDevice(const FakeSyncDevice& device);
  std::size_t Size() const { return devices_.size(); }
  FakeSyncDevicePtr At(std::size_t index) const { return devices_.at(index)->Fresh(); }
  OpScript<SyncServicesOp>& Script() { return script_; }

  wmp::HResult DeviceCount(long* count) override;
  // A fresh object of the device.
  wmp::HResult GetDevice(long index, wmp::SyncDevicePtr* device) override;

 private:
  std::vector<FakeSyncDevicePtr> devices_;
  OpScript<SyncServicesOp> script_;
};

// ---------------------------------------------------------------- player

enum class ControlsOp { Stop };

class FakeControls : public wmp::IControls {
 public:
  int Stops() const { return script_.Calls(ControlsOp::Stop); }
  OpScript<ControlsOp>& Script() { return script_; }
  wmp::HResult Stop() override;

 private:
  OpScript<ControlsOp> script_;
};

enum class PlayerServicesOp { SetTaskPane };

class FakePlayerServices : public wmp::IPlayerServices {
 public:
  // Every text given, scripted calls included.
  const std::vector<std::wstring>& Tasks() const { return tasks_; }
  OpScript<PlayerServicesOp>& Script() { return script_; }
  wmp::HResult SetTaskPane(const std::wstring& task) override;

 private:
  std::vector<std::wstring> tasks_;
  OpScript<PlayerServicesOp> script_;
};

enum class PlayerOp {
  VersionInfo, Controls, Services, MediaCollection, PlaylistCollection, CdromCollection,
  SyncServices, NewMedia, Close, Advise, Unadvise,
};

// CONNECT_E_NOCONNECTION: Unadvise of an unknown cookie.
constexpr wmp::HResult kNoConnection = static_cast<wmp::HResult>(0x80040200);

class FakePlayer : public wmp::IPlayer {
 public:
  // Version 11, an empty library with its playlist collection, no CD drive,
  // no device, transport and services.
  FakePlayer();
  explicit FakePlayer(os::IFileSystem* files);

  FakeMediaCollection& Library() { return *library_; }
  FakePlaylistCollection& Playlists() { return *playlists_; }
  FakeCdromCollection& Drives() { return *drives_; }
  FakeSyncServices& Devices() { return *devices_; }
  FakeControls& Transport() { return *controls_; }
  FakePlayerServices& TaskPane() { return *services_; }

  void SetVersion(const std::wstring& version) { version_ = version; }
  // A collection the player does not give: the getter succeeds with null.
  void DropCdromCollection() { drivesGiven_ = false; }
  void DropSyncServices() { devicesGiven_ = false; }
  void DropMediaCollection() { libraryGiven_ = false; }
  void DropPlaylistCollection() { playlistsGiven_ = false; }
  void DropServices() { servicesGiven_ = false; }

  OpScript<PlayerOp>& Script() { return script_; }
  bool Closed() const { return closeCount_ > 0; }
  int CloseCount() const { return closeCount_; }
  std::size_t SinkCount() const { return sinks_.size(); }
  // Items NewMedia made, in order.
  const std::vector<FakeMediaPtr>& NewMediaItems() const { return newMedia_; }

  // Delivers an event synchronously to every advised sink, as the engine
  // does on the player's thread; nothing after Close.
  void Raise(const std::function<void(wmp::IPlayerEvents&)>& event);
  void RaiseCdromMediaChange(long cdromIndex);
  void RaiseMediaChange(wmp::IMedia* item);
  void RaisePlaylistChange(wmp::IPlaylist* playlist, long change);
  void RaiseDeviceConnect(wmp::ISyncDevice* device);
  void RaiseDeviceDisconnect(wmp::ISyncDevice* device);
  void RaiseDeviceStatusChange(wmp::ISyncDevice* device, long status);
  void RaiseDeviceSyncStateChange(wmp::ISyncDevice* device, long state);
  void RaiseDeviceSyncError(wmp::ISyncDevice* device, wmp::IMedia* item);
  void RaiseCreatePartnershipComplete(wmp::ISyncDevice* device, wmp::HResult result);

  // What the engine does when a partnership it was asked for is made: the
  // device gets `index` and CreatePartnershipComplete follows.
  void CompletePartnership(FakeSyncDevice& device, long index);
  // What the engine does while it rips track `index` of `disc`: the item's
  // "Status" reads "Ripping (percent%)" and MediaChange follows with a fresh
  // object of the disc's item.
  void ReportRipProgress(const FakePlaylist& disc, std::size_t index, long percent);

  wmp::HResult VersionInfo(std::wstring* version) override;
  wmp::HResult Controls(wmp::ControlsPtr* controls) override;
  wmp::HResult Services(wmp::PlayerServicesPtr* services) override;
  wmp::HResult MediaCollection(wmp::MediaCollectionPtr* collection) override;
  wmp::HResult PlaylistCollection(wmp::PlaylistCollectionPtr* collection) override;
  wmp::HResult CdromCollection(wmp::CdromCollectionPtr* collection) override;
  wmp::HResult SyncServices(wmp::SyncServicesPtr* services) override;
  // A new item for the file, outside the library; it starts with the tags
  // of the library's item of the same file, as if read from the file.
  wmp::HResult NewMedia(const std::wstring& url, wmp::MediaPtr* item) override;
  wmp::HResult Close() override;
  wmp::HResult Advise(wmp::PlayerEventsPtr sink, std::uint32_t* cookie) override;
  wmp::HResult Unadvise(std::uint32_t cookie) override;

 private:
  std::wstring version_ = L"11.0.5721.5145";
  std::shared_ptr<FakeMediaCollection> library_;
  std::shared_ptr<FakePlaylistCollection> playlists_;
  std::shared_ptr<FakeCdromCollection> drives_ = std::make_shared<FakeCdromCollection>();
  std::shared_ptr<FakeSyncServices> devices_ = std::make_shared<FakeSyncServices>();
  std::shared_ptr<FakeControls> controls_ = std::make_shared<FakeControls>();
  std::shared_ptr<FakePlayerServices> services_ = std::make_shared<FakePlayerServices>();
  bool libraryGiven_ = true;
  bool playlistsGiven_ = true;
  bool drivesGiven_ = true;
  bool devicesGiven_ = true;
  bool servicesGiven_ = true;
  std::map<std::uint32_t, wmp::PlayerEventsPtr> sinks_;
  std::uint32_t nextCookie_ = 1;
  int closeCount_ = 0;
  std::vector<FakeMediaPtr> newMedia_;
  OpScript<PlayerOp> script_;
};

}  // namespace fakes
