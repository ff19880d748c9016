#pragma once
// Drives port: GetLogicalDrives, GetDriveTypeW, GetVolumeInformationW.
#include <cstdint>
#include <string>

namespace os {

// GetDriveTypeW results.
enum class DriveType : std::uint32_t {
  Unknown = 0,
  NoRootDir = 1,
  Removable = 2,
  Fixed = 3,
  Remote = 4,
  CdRom = 5,
  RamDisk = 6,
};

class IDrives {
 public:
  virtual ~IDrives() = default;
  // Bit i set: drive 'A' + i exists.
  virtual std::uint32_t LogicalDriveMask() = 0;
  // `root` like "E:\\".
  virtual DriveType TypeOf(const std::wstring& root) = 0;
  // Volume label of `root`; false when the query fails (for example no medium).
  virtual bool VolumeLabel(const std::wstring& root, std::wstring* label) = 0;
};

// "E:\\" for 'E'.
std::wstring DriveRoot(wchar_t letter);

}  // namespace os
