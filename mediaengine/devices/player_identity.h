#pragma once
// What a player's storage says about itself. A drive-backed player carries
// "PLAYER.INF" in the root of each of its drives: UTF-8 "key=value" lines
// (a byte-order mark, CRLF line ends, blanks around keys and values and
// ASCII case in key names are accepted; unknown keys are ignored):
//   Maker        the maker's name
//   Model        the model; the device name contains it
//   Serial       the storage's serial number (required)
//   Storage      "Internal" (the player's own memory, the default) or "Card"
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

// False when the text has no serial number. Values that cannot be
// understood keep their defaults.
bool ParsePlayerIdentity(const std::string& utf8, PlayerIdentity* identity);

// Reads `root` (such as "F:\\", with its trailing backslash) + PLAYER.INF.
bool ReadPlayerIdentity(os::IFileSystem& files, const std::wstring& root,
                        PlayerIdentity* identity);

// "Root" or "Music" (ASCII case ignored); false for anything else.
bool ParseSyncFolder(const std::wstring& text, SyncFolder* folder);

}  // namespace mediaengine
