#include "os/win32/win32_system.h"

#include <windows.h>
#include <shlobj.h>

#include "os/win32/unique_handle.h"

namespace os::win32 {
namespace {

class OwnedMutex : public INamedMutex {
 public:
  explicit OwnedMutex(KernelHandle mutex) : mutex_(std::move(mutex)) {}
  ~OwnedMutex() override { ReleaseMutex(mutex_.Get()); }

 private:
  KernelHandle mutex_;
};

}  // namespace

OsVersion Win32System::Version() {
  OSVERSIONINFOW info = {};
  info.dwOSVersionInfoSize = sizeof info;
  OsVersion version;
  if (!GetVersionExW(&info)) return version;
  version.platformId = info.dwPlatformId;
  version.major = info.dwMajorVersion;
  version.minor = info.dwMinorVersion;
  version.build = info.dwBuildNumber;
  version.servicePack = info.szCSDVersion;
  return version;
}

std::unique_ptr<INamedMutex> Win32System::CreateOwnedMutex(const std::wstring& name,
                                                           ErrorCode* lastError) {
  KernelHandle mutex(CreateMutexW(nullptr, TRUE, name.c_str()));
  *lastError = static_cast<ErrorCode>(GetLastError());
  if (!mutex.IsValid()) return nullptr;
  return std::make_unique<OwnedMutex>(std::move(mutex));
}

bool Win32System::MusicFolder(bool create, std::wstring* path) {
  wchar_t buffer[MAX_PATH] = {};
  const int folder = CSIDL_MYMUSIC | (create ? CSIDL_FLAG_CREATE : 0);
  if (FAILED(SHGetFolderPathW(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, buffer))) {
    return false;
  }
  path->assign(buffer);
  return true;
}

bool Win32System::HasAdminAuthority() {
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &administrators)) {
    return false;
  }
  BOOL member = FALSE;
  if (!CheckTokenMembership(nullptr, administrators, &member)) member = FALSE;
  FreeSid(administrators);
  return member != FALSE;
}

}  // namespace os::win32
