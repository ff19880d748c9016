#pragma once
// The removable drive of the test prefix as a player: files written and read
// with the plain Win32 calls, and a guard that leaves the drive as it was.
#include <windows.h>

#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace dap_wine {

inline wchar_t PlayerLetter() {
  const char* letter = std::getenv("MARIMBA_PLAYER_DRIVE");
  return letter && *letter ? static_cast<wchar_t>(*letter) : L'F';
}

inline std::wstring PlayerRoot() { return std::wstring{PlayerLetter(), L':', L'\\'}; }

inline bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline std::string ReadBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
    bytes.append(buffer, read);
  }
  CloseHandle(file);
  return bytes;
}

inline bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

// Names in a folder (given with its trailing backslash), dot entries left out.
inline std::vector<std::wstring> Names(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return names;
}

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

// Puts the player drive back as it was: new entries go, the identity
// files it had come back.
class PlayerDriveGuard {
 public:
  PlayerDriveGuard() : root_(PlayerRoot()) {
    for (const auto& name : Names(root_)) before_.insert(name);
    for (const wchar_t* kept : {L"PLAYER.INF", L"SETTINGS.DAT", L"WMPInfo.xml"}) {
      if (Exists(root_ + kept)) saved_.emplace_back(kept, ReadBytes(root_ + kept));
    }
  }
  ~PlayerDriveGuard() {
    for (const auto& name : Names(root_)) {
      if (!before_.count(name)) RemoveTree(root_ + name);
    }
    for (const auto& [name, bytes] : saved_) WriteBytes(root_ + name, bytes);
  }
  PlayerDriveGuard(const PlayerDriveGuard&) = delete;
  PlayerDriveGuard& operator=(const PlayerDriveGuard&) = delete;

  const std::wstring& Root() const { return root_; }

 private:
  std::wstring root_;
  std::set<std::wstring> before_;
  std::vector<std::pair<std::wstring, std::string>> saved_;
};

inline std::string Identity(const std::string& storage) {
  return "Maker=Orbit\r\nModel=Cadenza Digital Audio Player\r\nSerial=ORB-TEST-0001\r\nStorage=" +
         storage + "\r\nCapacity=1073741824\r\n";
}

}  // namespace dap_wine
