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

// One look at the drives, for the parts that each go through every letter in
// the same poll: the letter mask and each letter's type are asked once and
// then answered from memory (each costs the platform several requests).
// Volume labels are always asked. Lives for one pass, not longer: a letter's
// type changes as drives come and go.
class DrivesOnce : public IDrives {
 public:
  explicit DrivesOnce(IDrives& drives) : drives_(drives) {}

  std::uint32_t LogicalDriveMask() override;
  DriveType TypeOf(const std::wstring& root) override;
  bool VolumeLabel(const std::wstring& root, std::wstring* label) override;

 private:
  IDrives& drives_;
  bool maskKnown_ = false;
  std::uint32_t mask_ = 0;
  std::uint32_t typesKnown_ = 0;  // bit i: types_[i] holds drive 'A' + i
  DriveType types_[26] = {};
};

}  // namespace os
