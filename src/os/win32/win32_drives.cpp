#include "os/win32/win32_drives.h"

#include <windows.h>

namespace os::win32 {

std::uint32_t Win32Drives::LogicalDriveMask() { return GetLogicalDrives(); }

DriveType Win32Drives::TypeOf(const std::wstring& root) {
  return static_cast<DriveType>(GetDriveTypeW(root.c_str()));
}

bool Win32Drives::VolumeLabel(const std::wstring& root, std::wstring* label) {
  // No "insert a disk" box for an empty drive: the query just fails.
  const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS);
  wchar_t buffer[MAX_PATH] = {};
  const BOOL ok = GetVolumeInformationW(root.c_str(), buffer, MAX_PATH, nullptr, nullptr,
                                        nullptr, nullptr, 0);
  SetErrorMode(previous);
  label->assign(ok ? buffer : L"");
  return ok != FALSE;
}

}  // namespace os::win32
