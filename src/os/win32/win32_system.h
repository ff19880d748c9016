#pragma once
// The system port over kernel32, shell32 and advapi32.
#include "os/system.h"

namespace os::win32 {

class Win32System : public ISystem {
 public:
  OsVersion Version() override;
  std::unique_ptr<INamedMutex> CreateOwnedMutex(const std::wstring& name,
                                                ErrorCode* lastError) override;
  bool MusicFolder(bool create, std::wstring* path) override;
  bool HasAdminAuthority() override;
};

}  // namespace os::win32
