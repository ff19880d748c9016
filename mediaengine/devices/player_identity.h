#pragma once
// What a player's storage says about itself. A drive-backed player carries
// "PLAYER.INF" in the root of each of its drives: UTF-8 "key=value" lines,
// read by the rules of player_inf.h that PlatDevice.dll shares:
//   Maker        the maker's name
//   Model        the model; the device name contains it
//   Serial       the storage's serial number (required)
//   Storage      "Card" for a memory card; anything else is the player's own
//                memory
//   SyncFolder   where the firmware wants new files: "Root" (the default) or
//                "Music" (Music\<album artist>\<album>, as the tags stand)
//   Capacity     bytes the storage offers; without it the file system's
//                figures count
// tools/make-demo-player writes one.
#include <cstdint>
#include <string>

#include "os/file_system.h"

namespace mediaengine {

enum class StorageKind { Internal, Card };
enum class SyncFolder { Root, Music };

struct PlayerIdentity {
  std::wstring maker;
  std::wstring model;
  std::wstring serial;
  StorageKind storage = StorageKind::Internal;
  SyncFolder syncFolder = SyncFolder::Root;
  std::uint64_t capacity = 0;  // 0: not stated
};

extern const wchar_t kIdentityFileName[];  // "PLAYER.INF"

// False when the bytes are no identity file (no serial number, too large).
// Values that cannot be understood keep their defaults.
bool ParsePlayerIdentity(const std::string& utf8, PlayerIdentity* identity);

// Reads `root` (such as "F:\\", with its trailing backslash) + PLAYER.INF.
bool ReadPlayerIdentity(os::IFileSystem& files, const std::wstring& root,
                        PlayerIdentity* identity);

// "Root" or "Music" (ASCII case ignored); false for anything else.
bool ParseSyncFolder(const std::wstring& text, SyncFolder* folder);

}  // namespace mediaengine
