#include "mediaengine/devices/sync_device.h"

#include <algorithm>

#include "mediaengine/devices/wmp_info_file.h"
#include "mediaengine/library/library_io.h"
#include "mediaengine/library/library_records.h"
#include "mediaengine/library/media_library.h"
#include "os/paths.h"

namespace mediaengine {

SyncDevice::SyncDevice(EngineContext& context, PartnershipStore& partnerships,
                       const DeviceDescription& description, std::uint32_t chunkBytes)
    : context_(context), partnerships_(partnerships), key_(description.key),
      chunkBytes_(chunkBytes), pool_(context.files, chunkBytes), description_(description) {}

SyncDevice::~SyncDevice() {
  Shutdown();
  // The worker itself let go of the last reference: it is on its way out.
  std::lock_guard<std::mutex> lock(workerMutex_);
  if (worker_.joinable()) worker_.detach();
}

DeviceDescription SyncDevice::Description() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return description_;
}

void SyncDevice::Connect(const DeviceDescription& description, bool announce) {
  bool sweep = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (closed_) return;
    description_ = description;
    if (connected_) return;
    connected_ = true;
    sweep = !synchronizing_;
  }
  // A copy cut short by pulling the player out is still there.
  if (sweep) SweepTemporaryCopies(context_.files, description.root);
  if (!announce) return;
  auto self = shared_from_this();
  context_.events.Raise([self](wmp::IPlayerEvents& sink) { sink.DeviceConnect(self.get()); });
}

void SyncDevice::Disconnect() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!connected_) return;
    connected_ = false;
    if (synchronizing_) stop_ = true;
  }
  auto self = shared_from_this();
  context_.events.Raise([self](wmp::IPlayerEvents& sink) { sink.DeviceDisconnect(self.get()); });
}

void SyncDevice::Shutdown() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
    connected_ = false;
  }
  stop_ = true;
  JoinWorker();
}

void SyncDevice::JoinWorker() {
  std::lock_guard<std::mutex> lock(workerMutex_);
  if (worker_.joinable() && worker_.get_id() != std::this_thread::get_id()) worker_.join();
}

wmp::HResult SyncDevice::FriendlyName(std::wstring* name) {
  if (!name) return wmp::kPointer;
  std::lock_guard<std::mutex> lock(mutex_);
  *name = description_.friendlyName;
  return wmp::kOk;
}

wmp::HResult SyncDevice::DeviceName(std::wstring* name) {
  if (!name) return wmp::kPointer;
  std::lock_guard<std::mutex> lock(mutex_);
  *name = description_.deviceName;
  return wmp::kOk;
}

wmp::HResult SyncDevice::DeviceId(std::wstring* id) {
  if (!id) return wmp::kPointer;
  std::lock_guard<std::mutex> lock(mutex_);
  *id = description_.deviceId;
  return wmp::kOk;
}

wmp::HResult SyncDevice::PartnershipIndex(long* index) {
  if (!index) return wmp::kPointer;
  if (closed_) return wmp::kFail;
  *index = partnerships_.IndexOf(Description().deviceId);
  return wmp::kOk;
}

wmp::HResult SyncDevice::Connected(bool* connected) {
  if (!connected) return wmp::kPointer;
  std::lock_guard<std::mutex> lock(mutex_);
  *connected = connected_;
  return wmp::kOk;
}

long SyncDevice::StatusOf(int index) const {
  return static_cast<long>(index > 0 ? wmp::DeviceStatus::PartnershipExists
                                     : wmp::DeviceStatus::NewDevice);
}

wmp::HResult SyncDevice::Status(long* status) {
  if (!status) return wmp::kPointer;
  if (closed_) return wmp::kFail;
  *status = StatusOf(partnerships_.IndexOf(Description().deviceId));
  return wmp::kOk;
}

wmp::HResult SyncDevice::SyncState(long* state) {
  if (!state) return wmp::kPointer;
  *state = syncState_;
  return wmp::kOk;
}

wmp::HResult SyncDevice::Progress(long* percent) {
  if (!percent) return wmp::kPointer;
  *percent = progress_;
  return wmp::kOk;
}

wmp::HResult SyncDevice::GetItemInfo(const std::wstring& attribute, std::wstring* value) {
  if (!value) return wmp::kPointer;
  DeviceDescription description;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    description = description_;
    if (!connected_) return wmp::kNotReady;
  }
  value->clear();
  if (attribute == attr::kSerialNumber) {
    *value = description.serial;
  } else if (attribute == attr::kFreeSpace || attribute == attr::kTotalSpace) {
    StorageSpace space;
    if (!SpaceOf(context_.files, description, &space)) return wmp::kNotReady;
    *value = std::to_wstring(attribute == attr::kFreeSpace ? space.free : space.total);
  }
  return wmp::kOk;
}

void SyncDevice::RaiseStatus(long status) {
  auto self = shared_from_this();
  context_.events.Raise(
      [self, status](wmp::IPlayerEvents& sink) { sink.DeviceStatusChange(self.get(), status); });
}

wmp::HResult SyncDevice::CreatePartnership() {
  DeviceDescription description;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!connected_) return wmp::kNotReady;
    description = description_;
  }
  const int before = partnerships_.IndexOf(description.deviceId);
  // The id in the root comes first: with it any reader can tie the drive to
  // this device, and a device that refuses it cannot take part.
  os::ErrorCode error = WriteWmpInfo(context_.files, description.root, description.deviceId);
  int index = before;
  if (error == os::kSuccess && index == 0) index = partnerships_.Create(description.deviceId, &error);
  const wmp::HResult result = error == os::kSuccess ? wmp::kOk : HResultOfError(error);
  // A partnered device is one the tool is about to fill.
  if (error == os::kSuccess) pool_.StartThreads();
  if (index != before) RaiseStatus(StatusOf(index));
  // The answer comes as an event, after this call has returned.
  auto self = shared_from_this();
  context_.events.Raise([self, result](wmp::IPlayerEvents& sink) {
    sink.CreatePartnershipComplete(self.get(), result);
  });
  return wmp::kOk;
}

wmp::HResult SyncDevice::DeletePartnership() {
  if (closed_) return wmp::kFail;
  Stop();
  if (partnerships_.Delete(Description().deviceId)) {
    RaiseStatus(StatusOf(0));
  }
  return wmp::kOk;
}

std::vector<SyncItem> SyncDevice::ItemsOf(int partnership) {
  std::vector<SyncItem> items;
  std::vector<std::wstring> keys;
  for (const wmp::PlaylistPtr& playlist :
       context_.library.PlaylistsWhere(wmp::SyncAttribute(partnership), L"1")) {
    long count = 0;
    if (wmp::Failed(playlist->Count(&count))) continue;
    for (long i = 0; i < count; ++i) {
      SyncItem item;
      if (wmp::Failed(playlist->Item(i, &item.media)) || !item.media) continue;
      if (wmp::Failed(item.media->SourceUrl(&item.source)) || item.source.empty()) continue;
      std::wstring size;
      if (wmp::Succeeded(item.media->GetItemInfo(attr::kFileSize, &size)) && !size.empty() &&
          size.size() < 20 && size.find_first_not_of(L"0123456789") == std::wstring::npos) {
        item.size = std::stoull(size);
      }
      // An item in two marked playlists goes over once.
      const std::wstring key = os::PathKey(item.source);
      if (std::find(keys.begin(), keys.end(), key) != keys.end()) continue;
      keys.push_back(key);
      items.push_back(std::move(item));
    }
  }
  return items;
}

wmp::HResult SyncDevice::Start() {
  DeviceDescription description;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!connected_) return wmp::kNotReady;
    if (synchronizing_) return wmp::kOk;
    description = description_;
  }
  const int partnership = partnerships_.IndexOf(description.deviceId);
  if (partnership == 0) return wmp::kFail;
  std::vector<SyncItem> items = ItemsOf(partnership);

  std::lock_guard<std::mutex> workerLock(workerMutex_);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!connected_) return wmp::kNotReady;
    if (synchronizing_) return wmp::kOk;
    synchronizing_ = true;
    stop_ = false;
    progress_ = 0;
    syncState_ = static_cast<long>(wmp::SyncState::Synchronizing);
  }
  // The last worker has finished: it clears `synchronizing_` last and only
  // raises its final event after that.
  if (worker_.joinable()) worker_.join();
  auto self = shared_from_this();
  context_.events.Raise([self](wmp::IPlayerEvents& sink) {
    sink.DeviceSyncStateChange(self.get(), static_cast<long>(wmp::SyncState::Synchronizing));
  });
  worker_ = std::thread([self, description, items = std::move(items)]() mutable {
    self->Synchronize(std::move(description), std::move(items));
  });
  return wmp::kOk;
}

wmp::HResult SyncDevice::Stop() {
  if (closed_) return wmp::kOk;
  stop_ = true;
  JoinWorker();
  return wmp::kOk;
}

void SyncDevice::Synchronize(DeviceDescription description, std::vector<SyncItem> items) {
  SyncJob job(context_.files, std::move(description), std::move(items), &pool_, chunkBytes_);
  const SyncReport report = job.Run(stop_, [this](long percent) { progress_ = percent; });
  auto self = shared_from_this();
  if (report.end == SyncEnd::DeviceGone) Disconnect();
  if (report.end == SyncEnd::ItemFailed) {
    wmp::MediaPtr item = report.failedItem;
    context_.events.Raise(
        [self, item](wmp::IPlayerEvents& sink) { sink.DeviceSyncError(self.get(), item.get()); });
  }
  if (report.end == SyncEnd::Completed) progress_ = 100;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    syncState_ = static_cast<long>(wmp::SyncState::Stopped);
    synchronizing_ = false;
  }
  context_.events.Raise([self](wmp::IPlayerEvents& sink) {
    sink.DeviceSyncStateChange(self.get(), static_cast<long>(wmp::SyncState::Stopped));
  });
}

wmp::HResult SyncDevice::IsIdentical(wmp::ISyncDevice* other, bool* identical) {
  if (!identical) return wmp::kPointer;
  if (!other) return wmp::kInvalidArg;
  auto* device = dynamic_cast<SyncDevice*>(other);
  *identical = device == this || (device && device->Key() == key_);
  return wmp::kOk;
}

}  // namespace mediaengine
