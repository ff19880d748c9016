#pragma once
// System port: version record, the single-instance mutex, the user's music
// folder and the process's administrator authority.
#include <cstdint>
#include <memory>
#include <string>

#include "os/win_error.h"

namespace os {

// OSVERSIONINFOW fields.
struct OsVersion {
  std::uint32_t platformId = 0;  // 1 = 9x family, 2 = NT family
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint32_t build = 0;
  std::wstring servicePack;  // szCSDVersion
};

// A named mutex owned by this process; released and closed when destroyed.
class INamedMutex {
 public:
  virtual ~INamedMutex() = default;
};

class ISystem {
 public:
  virtual ~ISystem() = default;
  virtual OsVersion Version() = 0;
  // CreateMutexW with initial ownership, and GetLastError read at once.
  // The mutex is null when none was created; *lastError is
  // kErrorAlreadyExists when another process holds it.
  virtual std::unique_ptr<INamedMutex> CreateOwnedMutex(const std::wstring& name,
                                                        ErrorCode* lastError) = 0;
  // SHGetFolderPathW(CSIDL_MYMUSIC), optionally creating the folder.
  virtual bool MusicFolder(bool create, std::wstring* path) = 0;
  // Membership of the process token in the administrators group.
  virtual bool HasAdminAuthority() = 0;
};

}  // namespace os
