// The player list: maker libraries, device manager, engine devices and
// player drives, and the combo box that shows them.
#include "device/dap_acc.h"

#include "common/text_format.h"
#include "os/text_encoding.h"

namespace device {
namespace {

const wchar_t kAccessName[] = L"DAP Access";
const wchar_t kFolderPlayerMark[] = L"ORBIT Audio";
const wchar_t kInternalSuffix[] = L" - Internal Storage";
const wchar_t kExternalSuffix[] = L" - External Storage";
const wchar_t kCardSuffix[] = L" - SD";
const wchar_t kSettingsFile[] = L":\\SETTINGS.DAT";

// The list name of an engine device: its storage said the short way.
std::wstring ListNameOf(std::wstring friendlyName) {
  os::ReplaceAll(friendlyName, kInternalSuffix, L"");
  os::ReplaceAll(friendlyName, kExternalSuffix, kCardSuffix);
  return friendlyName;
}

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

}  // namespace

CDAPAcc::CDAPAcc(const DapPorts& ports)
    : CBasicDrive(kAccessName, ports.statusHost, ports.strings),
      files_(ports.files),
      drives_(ports.drives),
      clock_(ports.clock),
      modules_(ports.modules),
      context_(ports.context),
      deviceManagers_(ports.deviceManagers),
      decodeAnsi_(ports.decodeAnsi ? ports.decodeAnsi : DecodeUtf8OrLatin1),
      tempPlaylist_(ports.files) {
  SetState(common::kNothingFound);
}

CDAPAcc::~CDAPAcc() { ResetParts(); }

bool CDAPAcc::Attach(ui::CMyComboBox* comboBox) {
  Reset();
  if (!comboBox) return false;
  SetComboBox(comboBox);
  if (!tempPlaylist_.Bind(context_.Player(), context_.MediaCollection())) return false;
  if (!LoadMakerLibraries()) return false;
  player_ = context_.SharedPlayer();
  engineMajor_ = context_.MajorVersion();
  if (!player_) return false;
  return OpenDeviceManager();
}

void CDAPAcc::Reset() { ResetParts(); }

void CDAPAcc::ResetParts() {
  UnloadMakerLibraries();
  tempPlaylist_.Reset();
  deviceManager_.reset();
}

bool CDAPAcc::LoadMakerLibraries() {
  if (!deviceLibrary_.IsLoaded()) deviceLibrary_ = os::LoadedModule(modules_, kDeviceLibraryName);
  getDriveNo_ = deviceLibrary_.Find<DriveLettersEntry>(kDriveLettersEntryName);
  getDriveNoMain_ = deviceLibrary_.Find<DriveLettersEntry>(kMainDriveLettersEntryName);
  if (!getDriveNo_ || !getDriveNoMain_) return false;
  if (!ntLibrary_.IsLoaded()) ntLibrary_ = os::LoadedModule(modules_, kNtLibraryName);
  getAdminAuthority_ = ntLibrary_.Find<AdminAuthorityEntry>(kAdminAuthorityEntryName);
  return getAdminAuthority_ != nullptr;
}

void CDAPAcc::UnloadMakerLibraries() {
  // The entry points die with their library.
  getDriveNo_ = nullptr;
  getDriveNoMain_ = nullptr;
  getAdminAuthority_ = nullptr;
  deviceLibrary_.Reset();
  ntLibrary_.Reset();
  syncDevice_.Reset();
  syncServices_.Reset();
  player_.reset();
  partnership_ = -1;
  engineMajor_ = -1;
}

bool CDAPAcc::OpenDeviceManager() {
  deviceManager_.reset();
  DeviceManagerPtr manager;
  if (wmp::Failed(deviceManagers_.Open(&manager)) || !manager) return false;
  deviceManager_ = std::move(manager);
  return true;
}

bool CDAPAcc::SetCapacityLabels(ui::CStaticEx* usedLabel, ui::CStaticEx* freeLabel) {
  if (!usedLabel || !freeLabel) return false;
  usedLabel_ = usedLabel;
  freeLabel_ = freeLabel;
  return true;
}

std::wstring CDAPAcc::GetSelectedDrive() const {
  const ui::CMyComboBox* combo = ComboBox();
  if (!combo) return std::wstring();
  const std::wstring text = combo->GetText();
  const std::size_t at = text.find(L":)");
  if (at == std::wstring::npos || at < 1) return std::wstring();
  return std::wstring{text[at - 1], L':'};
}

std::wstring CDAPAcc::GetDriveLetters(bool mainOnly) {
  const DriveLettersEntry entry = mainOnly ? getDriveNoMain_ : getDriveNo_;
  if (!entry) return std::wstring();
  char buffer[kDriveLetterBufferBytes] = {};
  if (entry(buffer) == 0) return std::wstring();
  // A library that fills the whole buffer still gives a bounded text.
  std::size_t length = 0;
  while (length + 1 < sizeof buffer && buffer[length] != '\0') ++length;
  return decodeAnsi_(std::string(buffer, length));
}

void CDAPAcc::EnumerateDevices() {
  if (!syncServices_.TakeFromPlayer(player_.get())) return;
  devices_.clear();
  const long count = syncServices_.GetDeviceCount();
  for (long i = 0; i < count; ++i) {
    engine::SyncDeviceRef device;
    if (wmp::Failed(syncServices_.GetDevice(i, &device))) continue;
    const std::wstring deviceName = device.GetDeviceName();
    const std::wstring friendlyName = device.GetFriendlyName();
    if (deviceName.find(kFolderPlayerMark) == std::wstring::npos || friendlyName.empty() ||
        !device.IsConnected()) {
      continue;
    }
    CDevInfo entry;
    entry.name = ListNameOf(friendlyName);
    entry.serialNumber = device.GetSerialNumber();
    entry.syncNumber = static_cast<std::int32_t>(i);
    devices_.push_back(std::move(entry));
  }
  for (wchar_t letter : GetDriveLetters(false)) {
    if (!IsDriveLetter(letter)) continue;
    CDevInfo entry;
    entry.name = common::DriveLabel(drives_, letter);
    entry.drive = std::wstring{letter, L':'};
    entry.syncNumber = FindSyncNumberOfDrive(entry.drive);
    devices_.push_back(std::move(entry));
  }
}

bool CDAPAcc::IsInternalStorage(int index) {
  if (index < 0 || index >= static_cast<int>(devices_.size())) return false;
  const CDevInfo& entry = devices_[static_cast<std::size_t>(index)];
  if (!entry.drive.empty()) return IsMainStorageDrive(entry.drive);
  engine::SyncDeviceRef device;
  if (wmp::Failed(syncServices_.GetDevice(entry.syncNumber, &device))) return false;
  const std::wstring friendlyName = device.GetFriendlyName();
  return !friendlyName.empty() && friendlyName.find(kExternalSuffix) == std::wstring::npos;
}

bool CDAPAcc::IsMainStorageDrive(const std::wstring& drive) {
  if (drive.empty()) return false;
  if (GetDriveLetters(true).find(drive[0]) != std::wstring::npos) return true;
  if (getAdminAuthority_ && getAdminAuthority_() != 0) return false;
  // Only an administrator can ask the maker's library reliably; without
  // that right the settings file marks the player's own memory.
  return files_.Exists(std::wstring(1, drive[0]) + kSettingsFile);
}

bool CDAPAcc::IsDeviceReady(int index) {
  if (index < 0 || index >= static_cast<int>(devices_.size())) return false;
  const CDevInfo& entry = devices_[static_cast<std::size_t>(index)];
  if (entry.drive.empty()) {
    engine::SyncDeviceRef device;
    return wmp::Succeeded(syncServices_.GetDevice(entry.syncNumber, &device)) &&
           device.IsConnected();
  }
  os::DiskClusters clusters;
  if (files_.GetFreeClusters(entry.drive + L"\\", &clusters) != os::kSuccess) return false;
  return clusters.totalClusters != 0;
}

void CDAPAcc::RefreshList(bool selectFirst, bool closeDropDown) {
  ui::CMyComboBox* combo = ComboBox();
  std::wstring rememberedName;
  std::wstring rememberedSerial;
  if (!selectFirst) {
    rememberedName = combo ? combo->GetText() : std::wstring();
    const int selected = GetSelectedIndex();
    if (selected >= 0 && selected < static_cast<int>(devices_.size())) {
      rememberedSerial = devices_[static_cast<std::size_t>(selected)].serialNumber;
    }
    if (rememberedName.empty()) selectFirst = true;
  }

  EnumerateDevices();
  if (!combo) {
    SetState(devices_.empty() ? common::kNothingFound : common::kListed);
    return;
  }
  combo->ClearItems(closeDropDown);
  if (devices_.empty()) {
    combo->SetTextAndSelect(std::wstring(), 0);
    SetState(common::kNothingFound);
    return;
  }

  const int count = static_cast<int>(devices_.size());
  auto select = [&](int i) {
    combo->SetTextAndSelect(devices_[static_cast<std::size_t>(i)].name, i);
  };
  bool selected = false;
  for (int i = 0; i < count; ++i) {
    const CDevInfo& entry = devices_[static_cast<std::size_t>(i)];
    combo->AddItem(entry.name);
    if (selected) continue;
    const bool wanted = selectFirst ? IsInternalStorage(i)
                                    : entry.name == rememberedName &&
                                          entry.serialNumber == rememberedSerial;
    if (wanted) {
      select(i);
      selected = true;
    }
  }
  if (selectFirst && !selected) {
    // No internal storage: the last present storage.
    for (int i = 0; i < count; ++i) {
      if (IsDeviceReady(i)) select(i);
    }
  }
  SetState(common::kListed);
}

}  // namespace device
