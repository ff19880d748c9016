#pragma once
// One sync device of the engine: a player storage with its names, id,
// partnership and synchronisation. The device set polls its storage and
// tells it when it comes and goes; the tool reads it from its own thread
// while the synchronisation worker runs.
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "mediaengine/base/engine_context.h"
#include "mediaengine/devices/file_copier.h"
#include "mediaengine/devices/device_storage.h"
#include "mediaengine/devices/partnership_store.h"
#include "mediaengine/devices/sync_job.h"
#include "engine/model/sync.h"

namespace mediaengine {

class SyncDevice : public wmp::ISyncDevice, public std::enable_shared_from_this<SyncDevice> {
 public:
  // Starts disconnected; Connect makes it present.
  SyncDevice(EngineContext& context, PartnershipStore& partnerships,
             const DeviceDescription& description,
             std::uint32_t chunkBytes = FileCopier::kDefaultChunkBytes);
  ~SyncDevice() override;
  SyncDevice(const SyncDevice&) = delete;
  SyncDevice& operator=(const SyncDevice&) = delete;

  const std::wstring& Key() const { return key_; }
  DeviceDescription Description() const;
  // The storage is there as described; DeviceConnect is raised when it was
  // not and `announce` is set.
  void Connect(const DeviceDescription& description, bool announce);
  // The storage is gone: DeviceDisconnect once, and a running
  // synchronisation is told to stop (it ends on its own thread).
  void Disconnect();
  // Stops a synchronisation and waits for its worker; the engine is closing.
  // Afterwards every operation that needs the engine fails.
  void Shutdown();
  bool StopRequested() const { return stop_; }

  wmp::HResult FriendlyName(std::wstring* name) override;
  wmp::HResult DeviceName(std::wstring* name) override;
  wmp::HResult DeviceId(std::wstring* id) override;
  wmp::HResult PartnershipIndex(long* index) override;
  wmp::HResult Connected(bool* connected) override;
  wmp::HResult Status(long* status) override;
  wmp::HResult SyncState(long* state) override;
  wmp::HResult Progress(long* percent) override;
  wmp::HResult GetItemInfo(const std::wstring& attribute, std::wstring* value) override;
  wmp::HResult CreatePartnership() override;
  wmp::HResult DeletePartnership() override;
  wmp::HResult Start() override;
  wmp::HResult Stop() override;
  wmp::HResult IsIdentical(wmp::ISyncDevice* other, bool* identical) override;

 private:
  long StatusOf(int index) const;
  std::vector<SyncItem> ItemsOf(int partnership);
  void Synchronize(DeviceDescription description, std::vector<SyncItem> items);
  void JoinWorker();
  void RaiseStatus(long status);

  EngineContext& context_;
  PartnershipStore& partnerships_;
  const std::wstring key_;
  const std::uint32_t chunkBytes_;
  CopyPool pool_;  // its threads stay for the next synchronisation

  mutable std::mutex mutex_;
  DeviceDescription description_;
  bool connected_ = false;
  bool synchronizing_ = false;

  std::mutex workerMutex_;  // guards worker_
  std::thread worker_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> closed_{false};
  std::atomic<long> syncState_{static_cast<long>(wmp::SyncState::Stopped)};
  std::atomic<long> progress_{0};
};

}  // namespace mediaengine
