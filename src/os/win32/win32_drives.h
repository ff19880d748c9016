#pragma once
// The drives port over kernel32.
#include "os/drives.h"

namespace os::win32 {

class Win32Drives : public IDrives {
 public:
  std::uint32_t LogicalDriveMask() override;
  DriveType TypeOf(const std::wstring& root) override;
  bool VolumeLabel(const std::wstring& root, std::wstring* label) override;
};

}  // namespace os::win32
