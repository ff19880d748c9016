#include "mediaengine/cdrom/cd_drive_set.h"

namespace mediaengine {

CdDriveSet::CdDriveSet(EngineContext& context, os::IDrives& drives) : context_(context) {
  AddNewDrives(drives);
  // What is in the drives at start is the state, not a change to announce.
  for (const auto& drive : drives_) drive->Poll();
  started_ = true;
}

CdDriveSet::~CdDriveSet() { Shutdown(); }

void CdDriveSet::Shutdown() {
  std::vector<std::shared_ptr<CdDrive>> drives;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    drives = drives_;
  }
  for (const auto& drive : drives) drive->Shutdown();
}

void CdDriveSet::AddNewDrives(os::IDrives& drives) {
  const std::uint32_t mask = drives.LogicalDriveMask();
  std::lock_guard<std::mutex> lock(mutex_);
  for (int i = 0; i < 26; ++i) {
    if (!(mask & (1u << i))) continue;
    const wchar_t letter = static_cast<wchar_t>(L'A' + i);
    if (drives.TypeOf(os::DriveRoot(letter)) != os::DriveType::CdRom) continue;
    bool known = false;
    for (const auto& drive : drives_) known |= drive->Letter() == letter;
    if (known) continue;
    drives_.push_back(
        std::make_shared<CdDrive>(context_, letter, [this, letter] { RaiseMediaChange(letter); }));
  }
}

void CdDriveSet::Poll(os::IDrives& drives) {
  AddNewDrives(drives);
  std::vector<std::shared_ptr<CdDrive>> known;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    known = drives_;
  }
  for (const auto& drive : known) drive->Poll();
}

void CdDriveSet::RaiseMediaChange(wchar_t letter) {
  if (!started_) return;
  long index = -1;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (std::size_t i = 0; i < drives_.size(); ++i) {
      if (drives_[i]->Letter() == letter) index = static_cast<long>(i);
    }
  }
  if (index < 0) return;
  context_.events.Raise([index](wmp::IPlayerEvents& sink) { sink.CdromMediaChange(index); });
}

std::shared_ptr<CdDrive> CdDriveSet::DriveAt(long index) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (index < 0 || index >= static_cast<long>(drives_.size())) return nullptr;
  return drives_[static_cast<std::size_t>(index)];
}

wmp::HResult CdDriveSet::Count(long* count) {
  if (!count) return wmp::kPointer;
  std::lock_guard<std::mutex> lock(mutex_);
  *count = static_cast<long>(drives_.size());
  return wmp::kOk;
}

wmp::HResult CdDriveSet::Item(long index, wmp::CdromPtr* drive) {
  if (!drive) return wmp::kPointer;
  auto found = DriveAt(index);
  if (!found) return wmp::kInvalidArg;
  *drive = found;
  return wmp::kOk;
}

}  // namespace mediaengine
