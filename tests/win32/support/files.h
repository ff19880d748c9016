#pragma once
// Files and folders of the Wine prefix for the test groups: plain Win32
// calls with owned handles, so that an ASSERT leaving early closes them.
#include <windows.h>

#include <string>
#include <vector>

#include "os/win32/unique_handle.h"

namespace wine_test {

inline bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline std::string ReadBytes(const std::wstring& path) {
  const os::win32::FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                               nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file.IsValid()) return std::string();
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
    bytes.append(buffer, read);
  }
  return bytes;
}

inline bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  const os::win32::FileHandle file(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  if (!file.IsValid()) return false;
  DWORD written = 0;
  const BOOL ok =
      WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  return ok && written == bytes.size();
}

// Names matching `pattern` in a folder given with its trailing backslash,
// dot entries left out.
inline std::vector<std::wstring> Names(const std::wstring& folder,
                                       const std::wstring& pattern = L"*") {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  const os::win32::FindHandle find(FindFirstFileW((folder + pattern).c_str(), &data));
  if (!find.IsValid()) return names;
  do {
    const std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(find.Get(), &data));
  return names;
}

// A file, or a folder with everything in it (read-only files too).
inline void RemoveTree(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    for (const auto& name : Names(path + L"\\")) RemoveTree(path + L"\\" + name);
    RemoveDirectoryW(path.c_str());
  } else {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
  }
}

// A path in the temporary folder that no earlier run used: Wine reuses its
// small process ids from run to run.
inline std::wstring UniqueTempPath(const std::wstring& prefix) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp) + prefix + std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring(GetTickCount());
}

// A new empty folder in the temporary folder, removed with all it holds at
// the end of the scope.
class TempFolder {
 public:
  explicit TempFolder(const std::wstring& prefix) : path_(UniqueTempPath(prefix)) {
    RemoveTree(path_);
    created_ = CreateDirectoryW(path_.c_str(), nullptr) != FALSE;
  }
  ~TempFolder() { RemoveTree(path_); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::wstring& Path() const { return path_; }
  bool Created() const { return created_; }

 private:
  std::wstring path_;
  bool created_ = false;
};

}  // namespace wine_test
