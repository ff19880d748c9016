#pragma once
// The removable drive of the test prefix as a player, and a guard that
// leaves the drive as it was.
#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "support/files.h"

namespace wine_test {

inline wchar_t PlayerLetter() {
  const char* letter = std::getenv("MARIMBA_PLAYER_DRIVE");
  return letter && *letter ? static_cast<wchar_t>(*letter) : L'F';
}

inline std::wstring PlayerRoot() { return std::wstring{PlayerLetter(), L':', L'\\'}; }

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

}  // namespace wine_test
