// The engine side of a transfer: the engine device of the selected entry,
// its partnership, the temporary playlist and the synchronisation.
#include "device/dap_acc.h"

#include "common/text_format.h"
#include "engine/model/placeholders.h"
#include "os/paths.h"
#include "resources/resource.h"

namespace device {
namespace {

const wchar_t kDriveDeviceMark[] = L"Digital Audio";
const wchar_t kWmpInfoFile[] = L"\\WMPInfo.xml";
using namespace wmp::attr;

// The engine whose devices are matched by the drive in their friendly name.
constexpr int kFriendlyNameEngine = 10;
// The file's first line as far as the device id is looked for in it.
constexpr std::size_t kWmpInfoLineChars = 1999;
constexpr long kLastPartnership = 16;
constexpr std::uint32_t kCleanUpWaitMs = 1000;
constexpr int kFinished = 100;
constexpr int kFailed = -1;
constexpr int kCancelled = -2;

}  // namespace

bool CDAPAcc::WmpInfoNamesDevice(const std::wstring& drive, const std::wstring& deviceId,
                                 bool* opened) {
  std::wstring line;
  *opened = ReadFirstLine(files_, drive + kWmpInfoFile, kWmpInfoLineChars, decodeAnsi_, &line);
  return *opened && line.find(deviceId) != std::wstring::npos;
}

std::int32_t CDAPAcc::FindSyncNumberOfDrive(const std::wstring& drive) {
  // Without a drive every name would "contain" it and the root of the
  // current drive would be read.
  if (drive.empty()) return -1;
  const long count = syncServices_.GetDeviceCount();
  for (long i = 0; i < count; ++i) {
    engine::SyncDeviceRef device;
    if (wmp::Failed(syncServices_.GetDevice(i, &device)) || !device.IsConnected()) continue;
    if (engineMajor_ == kFriendlyNameEngine) {
      const std::wstring friendlyName = device.GetFriendlyName();
      if (!friendlyName.empty() && friendlyName.find(drive) != std::wstring::npos) {
        return static_cast<std::int32_t>(i);
      }
      continue;
    }
    const std::wstring deviceId = device.GetDeviceId();
    if (device.GetDeviceName().find(kDriveDeviceMark) == std::wstring::npos || deviceId.empty()) {
      continue;
    }
    bool opened = false;
    if (WmpInfoNamesDevice(drive, deviceId, &opened)) return static_cast<std::int32_t>(i);
    // A partnership makes the engine write the file that ties drive and device.
    if (!opened) device.CreatePartnership();
  }
  return -1;
}

bool CDAPAcc::SelectSyncDevice(int entryIndex) {
  partnership_ = -1;
  if (entryIndex < 0 || entryIndex >= static_cast<int>(devices_.size())) return false;
  CDevInfo& entry = devices_[static_cast<std::size_t>(entryIndex)];
  if (entry.syncNumber < 0) entry.syncNumber = FindSyncNumberOfDrive(entry.drive);
  const std::int32_t number = entry.syncNumber;
  if (number < 0) return false;

  bool found = false;
  engine::SyncDeviceRef device;
  if (wmp::Succeeded(syncServices_.GetDevice(number, &device)) &&
      (entry.serialNumber.empty() || device.GetSerialNumber() == entry.serialNumber)) {
    syncDevice_ = std::move(device);
    found = true;
  } else if (!entry.serialNumber.empty()) {
    const long count = syncServices_.GetDeviceCount();
    for (long i = 0; i < count && !found; ++i) {
      engine::SyncDeviceRef candidate;
      if (wmp::Failed(syncServices_.GetDevice(i, &candidate)) ||
          candidate.GetSerialNumber() != entry.serialNumber) {
        continue;
      }
      syncDevice_ = std::move(candidate);
      found = true;
    }
  }
  const long index = syncDevice_.GetPartnershipIndex();
  if (index != number) entry.syncNumber = static_cast<std::int32_t>(index);
  partnership_ = index;
  return found;
}

void CDAPAcc::RecordPartnership(int entryIndex, long index) {
  CDevInfo& entry = devices_[static_cast<std::size_t>(entryIndex)];
  if (index == partnership_ && index == entry.syncNumber) return;
  partnership_ = index;
  entry.syncNumber = static_cast<std::int32_t>(index);
  // Only a serial number can find the device again by a partnership index;
  // a drive entry would take whatever device sits at that position, so it
  // keeps the device the index was just read from.
  if (!entry.serialNumber.empty()) SelectSyncDevice(entryIndex);
}

bool CDAPAcc::EnsurePartnership() {
  if (GetState() <= common::kNothingFound || devices_.empty()) return false;
  const int selected = GetSelectedIndex();
  if (selected < 0 || selected >= static_cast<int>(devices_.size())) return false;
  if (!SelectSyncDevice(selected)) return false;

  const long status = syncDevice_.GetStatus();
  const bool partnered = status == static_cast<long>(wmp::DeviceStatus::PartnershipExists);
  // Each run of the tool begins with a fresh partnership.
  if (partnered && firstPartnership_) {
    DeletePartnership();
    firstPartnership_ = false;
  }
  const long index = syncDevice_.GetPartnershipIndex();
  if (index <= 0 || index > kLastPartnership) {
    const std::wstring& drive = devices_[static_cast<std::size_t>(selected)].drive;
    if (partnered && !drive.empty()) files_.Delete(drive + kWmpInfoFile);
    syncDevice_.CreatePartnership();
    firstPartnership_ = false;
    return true;
  }
  SetState(common::kOpened);
  RecordPartnership(selected, index);
  return true;
}

bool CDAPAcc::OnPartnershipComplete(wmp::ISyncDevice* device) {
  const int selected = GetSelectedIndex();
  if (selected < 0 || selected >= static_cast<int>(devices_.size())) return false;
  if (!syncDevice_.IsSameDevice(device)) return false;
  SetState(common::kOpened);
  const engine::SyncDeviceRef completed(engine::SyncDeviceRef::Borrow(device));
  RecordPartnership(selected, completed.GetPartnershipIndex());
  if (partnership_ > 0) tempPlaylist_.ClearSyncMarks(partnership_);
  return true;
}

bool CDAPAcc::DeletePartnership() { return syncDevice_.DeletePartnership(clock_); }

bool CDAPAcc::PrepareSync(wmp::IPlaylist* sourcePlaylist, const ui::CheckSnapshot* checks) {
  if (GetState() != common::kOpened || partnership_ <= 0 || !sourcePlaylist) return false;
  if (wmp::Failed(tempPlaylist_.ClearSyncMarks(partnership_))) return false;

  const engine::PlaylistRef source(engine::PlaylistRef::Borrow(sourcePlaylist));
  std::wstring baseName;
  if (engineMajor_ > kFriendlyNameEngine) {
    engine::MediaRef first;
    if (wmp::Succeeded(source.GetItem(0, &first))) first.GetAttribute(kAlbum, &baseName);
  }
  if (wmp::Failed(tempPlaylist_.CreateTempPlaylist(baseName))) return false;

  transfer_.sourceFiles.clear();
  bool firstTaken = false;
  const long count = source.GetCount();
  for (long i = 0; i < count; ++i) {
    engine::MediaRef item;
    if (wmp::Failed(source.GetItem(i, &item))) continue;
    const std::int32_t track = item.GetTrackNumber();
    if (checks && track >= 1 && !checks->IsTrackChecked(track)) continue;
    const std::wstring url = item.GetSourceUrl();
    if (!url.empty()) transfer_.sourceFiles.push_back(os::AfterLastBackslash(url));
    if (!firstTaken) {
      firstTaken = true;
      transfer_.albumFolder = common::FolderOfPath(url, false);
      transfer_.artistFolder = common::FolderOfPath(common::FolderOfPath(url, true), false);
      if (wmp::Failed(item.GetAttribute(kAlbumArtist, &transfer_.albumArtist)) ||
          transfer_.albumArtist.empty()) {
        transfer_.albumArtist = wmp::kUnknownArtist;
      }
      item.GetAttribute(kAlbum, &transfer_.albumTitle);
    }
    if (wmp::Failed(tempPlaylist_.Playlist().AppendItem(item.Get()))) return false;
  }
  return wmp::Succeeded(tempPlaylist_.MarkSyncPlaylist(partnership_));
}

bool CDAPAcc::StartSync() {
  if (GetState() != common::kOpened) return false;
  stopRequested_ = false;
  syncDevice_.GetStatus();
  // Taken before the engine starts copying, so no file of this transfer can
  // be older than the start.
  const std::int64_t now = clock_.SecondsSince1970();
  if (syncDevice_.Start()) {
    transfer_.syncStart = now;
    return true;
  }
  stopRequested_ = true;
  return false;
}

void CDAPAcc::CleanUpTransfer() {
  if (wmp::Succeeded(tempPlaylist_.DeleteTempPlaylist())) DeletePartnership();
}

int CDAPAcc::PollSync() {
  if (GetState() != common::kOpened || stopRequested_ || !syncDevice_) {
    clock_.Wait(kCleanUpWaitMs);
    CleanUpTransfer();
    CloseStatus();
    return kFailed;
  }
  if (IsStatusShown() && StatusWindow()) {
    StatusWindow()->PumpOne();
    if (StatusWindow()->IsCancelled()) {
      syncDevice_.StopSync();
      clock_.Wait(kCleanUpWaitMs);
      CleanUpTransfer();
      CloseStatus();
      return kCancelled;
    }
  }
  long progress = 0;
  if (!syncDevice_.GetProgress(&progress)) return 0;
  if (!IsStatusShown() && ShowStatus(false)) {
    ui::CStatusDlg* window = StatusWindow();
    window->SetMessage(Strings().Load(IDS_PROGRESS_SYNCING));
    window->SetRange(0, kFinished);
    window->SetPos(0);
    window->Enable(true);
  }
  SetStatusProgress(static_cast<std::int32_t>(progress));
  if (progress == kFinished) {
    clock_.Wait(kCleanUpWaitMs);
    FinishSync();
    CloseStatus();
    if (!syncDevice_.IsConnected()) return kFailed;
  }
  return static_cast<int>(progress);
}

bool CDAPAcc::StopSync() {
  stopRequested_ = true;
  return syncDevice_.StopSync();
}

bool CDAPAcc::FinishSync() {
  if (wmp::Failed(tempPlaylist_.DeleteTempPlaylist())) return false;
  DeletePartnership();
  return true;
}

bool CDAPAcc::IsOurDevice(wmp::ISyncDevice* device) const {
  return syncDevice_.IsSameDevice(device);
}

}  // namespace device
