#pragma once
// Small forgiving owners of engine references. Each holds one reference,
// which may be null; without one every operation answers its
// not-available value and calls nothing: -1 for integers, 0 for counts and
// 64-bit sizes, "" for texts, false for tests, kFail for engine results.
// Taking a new reference releases the old one first. Engine failures never
// escape as anything but these values.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "engine/model/attribute_names.h"
#include "engine/model/cdrom.h"
#include "engine/model/media.h"
#include "engine/model/player.h"
#include "engine/model/sync.h"
#include "os/clock.h"

namespace engine {

// Movable, never copied: a copy would be a second owner of the reference.
template <typename Interface>
class EngineRef {
 public:
  using Pointer = std::shared_ptr<Interface>;

  EngineRef() = default;
  explicit EngineRef(Pointer reference) : reference_(std::move(reference)) {}
  EngineRef(const EngineRef&) = delete;
  EngineRef& operator=(const EngineRef&) = delete;
  EngineRef(EngineRef&&) noexcept = default;
  EngineRef& operator=(EngineRef&& other) noexcept {
    if (this != &other) Reset(std::move(other.reference_));
    return *this;
  }

  // A reference that does not own `object`, for an event's argument, which
  // lives only while the event is delivered: never keep it beyond that.
  static Pointer Borrow(Interface* object) { return Pointer(Pointer(), object); }

  // The old reference goes before the new one is stored.
  void Reset(Pointer reference = nullptr) {
    reference_.reset();
    reference_ = std::move(reference);
  }
  Interface* Get() const { return reference_.get(); }
  const Pointer& Shared() const { return reference_; }
  explicit operator bool() const { return reference_ != nullptr; }

 protected:
  ~EngineRef() = default;

 private:
  Pointer reference_;
};

// How an item being ripped reports its progress.
enum class RipProgressMode : int {
  Status = 0,       // "Status" text such as "Ripping (45%)"
  RipProgress = 1,  // "RipProgress" as a number
};

// Percent of `item`'s rip; -2 when the attribute is empty (the track has not
// started), -1 when it cannot be read or there is no item.
std::int32_t RipProgressReader(wmp::IMedia* item, RipProgressMode mode);

class MediaRef : public EngineRef<wmp::IMedia> {
 public:
  using EngineRef::EngineRef;

  // "WM/TrackNumber" above 0, else -1.
  std::int32_t GetTrackNumber() const;
  // "FileSize" in bytes when 0 or above, else -1.
  std::int32_t GetFileSize() const;
  // "Bitrate" in whole kbit/s when the text is above 0, else -1.
  std::int32_t GetBitrateKbps() const;
  // "FileType" such as "wma".
  std::wstring GetFileType() const;
  std::wstring GetDurationText() const;
  std::wstring GetName() const;
  bool SetName(const std::wstring& name) const;
  // The file path of a ripped track.
  std::wstring GetSourceUrl() const;
  bool IsIdentical(wmp::IMedia* other) const;
  bool IsIdentical(const MediaRef& other) const { return IsIdentical(other.Get()); }
  std::int32_t GetRipProgress(RipProgressMode mode) const { return RipProgressReader(Get(), mode); }

  // Any attribute; kFail for an empty name. `value` is empty unless it succeeds.
  wmp::HResult GetAttribute(const std::wstring& name, std::wstring* value) const;
  wmp::HResult SetAttribute(const std::wstring& name, const std::wstring& value) const;
  // Seconds; `seconds` is 0 unless it succeeds.
  wmp::HResult GetDuration(double* seconds) const;
};

class PlaylistRef : public EngineRef<wmp::IPlaylist> {
 public:
  using EngineRef::EngineRef;

  // 0 when not available.
  long GetCount() const;
  // kFail for a negative index, no playlist or a null item, else the
  // engine's result. `item` is released first and empty on failure.
  wmp::HResult GetItem(long index, MediaRef* item) const;
  wmp::HResult AppendItem(wmp::IMedia* item) const;
  wmp::HResult RemoveItem(wmp::IMedia* item) const;
  // kFail for an empty name or no playlist, else the engine's result.
  wmp::HResult GetAttribute(const std::wstring& name, std::wstring* value) const;
  std::wstring GetName() const;
  bool SetName(const std::wstring& name) const;
  bool IsIdentical(wmp::IPlaylist* other) const;
  bool IsIdentical(const PlaylistRef& other) const { return IsIdentical(other.Get()); }
};

class CdromRipRef : public EngineRef<wmp::ICdromRip> {
 public:
  using EngineRef::EngineRef;

  wmp::HResult StartRip() const;
  wmp::HResult StopRip() const;
  // The engine's RipState value, -1 when not available.
  long GetRipState() const;
  // 0..100, -1 when not available.
  long GetRipProgress() const;
};

class CdromRef : public EngineRef<wmp::ICdrom> {
 public:
  using EngineRef::EngineRef;

  // Letter and colon, such as "E:".
  std::wstring GetDriveSpecifier() const;
  // The disc's playlist; kFail without drive or playlist.
  wmp::HResult GetPlaylist(PlaylistRef* playlist) const;
  wmp::HResult Eject() const;
  // kFail when the drive has no rip face.
  wmp::HResult GetRip(CdromRipRef* rip) const;
};

class CdromCollectionRef : public EngineRef<wmp::ICdromCollection> {
 public:
  using EngineRef::EngineRef;

  // Replaces the held collection with the player's; true only when the
  // player gives one.
  bool TakeFromPlayer(wmp::IPlayer* player);
  // 0 when not available.
  long GetCount() const;
  // kFail for a negative index, no collection or a null drive.
  wmp::HResult GetItem(long index, CdromRef* drive) const;
  // Index of the first drive whose specifier equals `drive` ("E:"), -1 when
  // none does.
  std::int32_t GetDriveIndex(const std::wstring& drive) const;
  // The rip face of drive `index`; kFail when it has none.
  wmp::HResult GetRipInterface(long index, CdromRipRef* rip) const;
};

class SyncDeviceRef : public EngineRef<wmp::ISyncDevice> {
 public:
  using EngineRef::EngineRef;

  bool IsSameDevice(wmp::ISyncDevice* other) const;
  bool IsSameDevice(const SyncDeviceRef& other) const { return IsSameDevice(other.Get()); }
  bool IsConnected() const;
  // 1..16 with a partnership, 0 without, -1 when not available.
  long GetPartnershipIndex() const;
  // Asks without any user interface; the engine answers later.
  bool CreatePartnership() const;
  bool Start() const;
  // `percent` is 0 unless it succeeds.
  bool GetProgress(long* percent) const;
  // wmp::DeviceStatus value, 0 when not available.
  long GetStatus() const;
  // wmp::SyncState value, 0 when not available.
  long GetSyncState() const;
  // Nothing to delete for a declined partnership; otherwise retried every
  // 100 ms up to ten more times while the engine refuses.
  bool DeletePartnership(os::IClock& clock) const;
  // Stops unless the device is already stopped.
  bool StopSync() const;
  std::wstring GetFriendlyName() const;
  std::wstring GetDeviceName() const;
  std::wstring GetDeviceId() const;
  std::wstring GetSerialNumber() const;
  // Bytes, 0 when not available.
  std::int64_t GetFreeSpace() const;
  std::int64_t GetTotalSpace() const;
};

class SyncServicesRef : public EngineRef<wmp::ISyncServices> {
 public:
  using EngineRef::EngineRef;

  // Replaces the held services with the player's; true only when the player
  // gives them.
  bool TakeFromPlayer(wmp::IPlayer* player);
  // 0 when not available.
  long GetDeviceCount() const;
  // kFail for a negative index, no services or a null device.
  wmp::HResult GetDevice(long index, SyncDeviceRef* device) const;
};

}  // namespace engine
