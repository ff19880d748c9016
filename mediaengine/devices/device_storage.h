#pragma once
// Where a sync device keeps its files and how it is found again: a drive
// whose root holds PLAYER.INF, or a registered folder. A description is
// built afresh by every poll; the key stays the same while it is the same
// storage, even when its drive letter changes.
#include <cstdint>
#include <string>
#include <vector>

#include "mediaengine/devices/folder_players.h"
#include "mediaengine/devices/player_identity.h"
#include "os/drives.h"
#include "os/file_system.h"

namespace mediaengine {

enum class DeviceKind { Drive, Folder };

struct DeviceDescription {
  DeviceKind kind = DeviceKind::Drive;
  std::wstring key;
  std::wstring root;  // with its trailing backslash: "F:\\", "C:\\Orbit\\Internal\\"
  std::wstring deviceName;
  std::wstring friendlyName;
  std::wstring serial;
  std::wstring deviceId;
  SyncFolder syncFolder = SyncFolder::Root;
  std::uint64_t capacity = 0;  // 0: the file system's figures count
};

// The text every drive-backed device name contains (folder-backed ones are
// named by their record, "ORBIT Audio Device" by default).
extern const wchar_t kDriveDeviceNameMark[];  // "Digital Audio"

// A drive's storage, when its root carries an identity file.
bool DescribeDrive(os::IFileSystem& files, wchar_t letter, DeviceDescription* description);
DeviceDescription DescribeFolderPlayer(os::IFileSystem& files, const FolderPlayerRecord& record);

// Every storage there is now: drives in letter order (CD-ROM, network and
// the floppy letters A and B are not looked at), then registered folders
// whose folder exists. One description per key.
std::vector<DeviceDescription> FindStorages(os::IFileSystem& files, os::IDrives& drives,
                                            os::IRegistry& registry);

// Whether the storage is still where the description says.
bool StoragePresent(os::IFileSystem& files, const DeviceDescription& description);

struct StorageSpace {
  std::uint64_t free = 0;
  std::uint64_t total = 0;
};
// With a stated capacity: that capacity, less what the files below the root
// take (and never more than the file system has free); otherwise the file
// system's own figures.
bool SpaceOf(os::IFileSystem& files, const DeviceDescription& description, StorageSpace* space);

// Bytes of every file below `folder` (no trailing backslash needed).
std::uint64_t BytesBelow(os::IFileSystem& files, const std::wstring& folder);

}  // namespace mediaengine
