#pragma once
// The engine's CD-ROM collection: every drive of type CD-ROM, in letter order.
// Polling finds inserted, changed and removed discs and raises
// CdromMediaChange with the drive's index.
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "mediaengine/cdrom/cd_drive.h"
#include "engine/model/cdrom.h"

namespace mediaengine {

class CdDriveSet : public wmp::ICdromCollection {
 public:
  // `drives`: the start's look at the drive letters (shared with the players').
  CdDriveSet(EngineContext& context, os::IDrives& drives);
  ~CdDriveSet() override;

  // Finds new CD-ROM drives among `drives` and looks at every drive's disc.
  void Poll(os::IDrives& drives);
  // Stops every rip and waits for the workers.
  void Shutdown();
  std::shared_ptr<CdDrive> DriveAt(long index) const;

  wmp::HResult Count(long* count) override;
  wmp::HResult Item(long index, wmp::CdromPtr* drive) override;

 private:
  void AddNewDrives(os::IDrives& drives);
  void RaiseMediaChange(wchar_t letter);

  EngineContext& context_;
  mutable std::mutex mutex_;
  std::vector<std::shared_ptr<CdDrive>> drives_;
  std::atomic<bool> started_{false};
};

}  // namespace mediaengine
