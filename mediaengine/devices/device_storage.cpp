#include "mediaengine/devices/device_storage.h"

#include <algorithm>

#include "mediaengine/devices/wmp_info_file.h"
#include "os/paths.h"

namespace mediaengine {
namespace {

constexpr int kMaxDepth = 32;

std::uint64_t BytesBelow(os::IFileSystem& files, const std::wstring& folder, int depth) {
  std::vector<os::FindEntry> entries;
  const std::wstring base = os::WithoutTrailingBackslash(folder);
  if (base.empty()) return 0;
  const std::wstring prefix = os::WithTrailingBackslash(base);
  if (files.FindFiles(prefix + L"*.*", &entries) != os::kSuccess) return 0;
  std::uint64_t total = 0;
  for (const os::FindEntry& entry : entries) {
    if (entry.IsDotEntry()) continue;
    if (entry.IsFolder()) {
      if (depth < kMaxDepth) total += BytesBelow(files, prefix + entry.name, depth + 1);
    } else {
      total += entry.size;
    }
  }
  return total;
}

// A card may carry its player's serial: it is still a storage of its own.
std::wstring DriveKey(const PlayerIdentity& identity) {
  return L"drive|" + identity.maker + L"|" + identity.serial +
         (identity.storage == StorageKind::Card ? L"|card" : L"");
}

// Drive-backed device names carry the maker's product name; the mark is
// added when the model does not say it already.
std::wstring DriveDeviceName(const PlayerIdentity& identity) {
  std::wstring name = identity.maker;
  if (!identity.model.empty()) name += (name.empty() ? L"" : L" ") + identity.model;
  if (name.find(kDriveDeviceNameMark) == std::wstring::npos) {
    name += (name.empty() ? L"" : L" ") + std::wstring(kDriveDeviceNameMark) + L" Player";
  }
  return name;
}

}  // namespace

const wchar_t kDriveDeviceNameMark[] = L"Digital Audio";

bool DescribeDrive(os::IFileSystem& files, wchar_t letter, DeviceDescription* description) {
  const std::wstring root = os::DriveRoot(letter);
  PlayerIdentity identity;
  if (!ReadPlayerIdentity(files, root, &identity)) return false;
  DeviceDescription found;
  found.kind = DeviceKind::Drive;
  found.key = DriveKey(identity);
  found.root = root;
  found.deviceName = DriveDeviceName(identity);
  // The drive in the friendly name is how an older engine's caller matches
  // a device with a drive.
  const std::wstring model = identity.model.empty() ? found.deviceName : identity.model;
  found.friendlyName = model + (identity.storage == StorageKind::Card ? L" Card" : L"") + L" (" +
                       std::wstring{letter, L':'} + L")";
  found.serial = identity.serial;
  if (!ReadWmpInfo(files, root, &found.deviceId)) found.deviceId = DeviceIdOf(found.key);
  found.syncFolder = identity.syncFolder;
  found.capacity = identity.capacity;
  *description = found;
  return true;
}

DeviceDescription DescribeFolderPlayer(os::IFileSystem& files, const FolderPlayerRecord& record) {
  DeviceDescription found;
  found.kind = DeviceKind::Folder;
  const std::wstring folder = os::WithoutTrailingBackslash(record.folder);
  found.key = L"folder|" + os::PathKey(folder);
  found.root = os::WithTrailingBackslash(folder);
  found.deviceName = record.deviceName;
  found.friendlyName = record.friendlyName;
  found.serial = record.serial;
  if (!ReadWmpInfo(files, found.root, &found.deviceId)) {
    found.deviceId = DeviceIdOf(found.key + L"|" + record.serial);
  }
  found.syncFolder = record.syncFolder;
  found.capacity = record.totalSpace;
  return found;
}

std::vector<DeviceDescription> FindStorages(os::IFileSystem& files, os::IDrives& drives,
                                            os::IRegistry& registry) {
  std::vector<DeviceDescription> found;
  auto add = [&found](const DeviceDescription& description) {
    for (const auto& known : found) {
      if (known.key == description.key) return;
    }
    found.push_back(description);
  };
  const std::uint32_t mask = drives.LogicalDriveMask();
  for (int i = 2; i < 26; ++i) {
    if (!(mask & (1u << i))) continue;
    const wchar_t letter = static_cast<wchar_t>(L'A' + i);
    const os::DriveType type = drives.TypeOf(os::DriveRoot(letter));
    if (type != os::DriveType::Removable && type != os::DriveType::Fixed &&
        type != os::DriveType::RamDisk) {
      continue;
    }
    DeviceDescription description;
    if (DescribeDrive(files, letter, &description)) add(description);
  }
  for (const FolderPlayerRecord& record : ReadFolderPlayers(registry)) {
    const DeviceDescription description = DescribeFolderPlayer(files, record);
    if (StoragePresent(files, description)) add(description);
  }
  return found;
}

bool StoragePresent(os::IFileSystem& files, const DeviceDescription& description) {
  if (description.kind == DeviceKind::Folder) {
    const std::uint32_t attributes = files.GetAttributes(os::WithoutTrailingBackslash(description.root));
    return attributes != os::kInvalidAttributes && (attributes & os::kAttributeDirectory);
  }
  PlayerIdentity identity;
  return ReadPlayerIdentity(files, description.root, &identity) &&
         description.key == DriveKey(identity);
}

bool SpaceOf(os::IFileSystem& files, const DeviceDescription& description, StorageSpace* space) {
  os::DiskBytes disk;
  const bool known = files.GetFreeBytes(os::DriveRoot(description.root[0]), &disk) == os::kSuccess;
  if (description.capacity == 0) {
    if (!known) return false;
    space->free = disk.freeToCaller;
    space->total = disk.total;
    return true;
  }
  if (!StoragePresent(files, description)) return false;
  const std::uint64_t used = BytesBelow(files, description.root);
  space->total = description.capacity;
  space->free = description.capacity - std::min(used, description.capacity);
  if (known) space->free = std::min(space->free, disk.freeToCaller);
  return true;
}

std::uint64_t BytesBelow(os::IFileSystem& files, const std::wstring& folder) {
  return BytesBelow(files, folder, 0);
}

}  // namespace mediaengine
