#pragma once
// The CD-ROM control port over \\.\X: and DeviceIoControl.
#include "os/cdrom_control.h"

namespace os::win32 {

class Win32CdromDevices : public ICdromDevices {
 public:
  ErrorCode Open(wchar_t letter, std::unique_ptr<ICdromDevice>* device) override;
  std::wstring WideFromMsJis(const std::string& bytes) override;
};

}  // namespace os::win32
