// The Win32 contract subjects: the real adapters, in the test prefix where
// D: is a CD-ROM drive labelled MUSIC and F: a removable drive.
#include <windows.h>

#include <string>

#include "contract/subjects.h"
#include "os/win32/win32_clock.h"
#include "os/win32/win32_drives.h"
#include "os/win32/win32_file_system.h"
#include "os/win32/win32_registry.h"

namespace contract {

std::unique_ptr<os::IRegistry> MakeRegistry() {
  return std::make_unique<os::win32::Win32Registry>();
}

DrivesSubject MakeDrives() {
  DrivesSubject subject;
  subject.drives = std::make_unique<os::win32::Win32Drives>();
  return subject;
}

FileSystemSubject MakeFileSystem() {
  // A fresh scratch folder per test below the user's temporary folder.
  static int counter = 0;
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  std::wstring scratch = std::wstring(temp) + L"marimba-contract-" +
                         std::to_wstring(GetCurrentProcessId()) + L"-" +
                         std::to_wstring(++counter);
  CreateDirectoryW(scratch.c_str(), nullptr);

  FileSystemSubject subject;
  subject.files = std::make_unique<os::win32::Win32FileSystem>();
  subject.clock = std::make_unique<os::win32::Win32Clock>();
  subject.scratch = scratch;
  subject.removableRoot = L"F:\\";
  subject.setAttributes = [](const std::wstring& path, std::uint32_t attributes) {
    SetFileAttributesW(path.c_str(), attributes);
  };
  return subject;
}

}  // namespace contract
