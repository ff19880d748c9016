#pragma once
// In-memory drive letters with the answers of GetLogicalDrives,
// GetDriveTypeW and GetVolumeInformationW.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "os/drives.h"

namespace fakes {

class FakeDrives : public os::IDrives {
 public:
  // Adds or replaces a drive whose volume label query succeeds with `label`.
  void AddDrive(wchar_t letter, os::DriveType type, const std::wstring& label = std::wstring());
  // Adds or replaces a drive whose label query fails (a CD drive without a disc).
  void AddDriveWithoutVolume(wchar_t letter, os::DriveType type);
  void RemoveDrive(wchar_t letter);

  std::uint32_t LogicalDriveMask() override;
  os::DriveType TypeOf(const std::wstring& root) override;
  bool VolumeLabel(const std::wstring& root, std::wstring* label) override;

  // The mask and type questions asked so far, in order: "mask" or the root.
  const std::vector<std::wstring>& Questions() const { return questions_; }
  void ForgetQuestions() { questions_.clear(); }

 private:
  struct Drive {
    os::DriveType type = os::DriveType::Unknown;
    bool hasVolume = true;
    std::wstring label;
  };
  // The drive a root such as "E:\\" (or "e:") names; null for anything else.
  const Drive* DriveOf(const std::wstring& root) const;

  std::map<wchar_t, Drive> drives_;  // by upper-case letter
  std::vector<std::wstring> questions_;
};

}  // namespace fakes
