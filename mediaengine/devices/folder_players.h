#pragma once
// Players without a drive letter (the maker's own devices, which the PC does
// not see as disks) are registered with the engine, one storage each, under
// HKEY_CURRENT_USER "Software\Marimba\MediaEngine\FolderPlayers\NN" with NN
// from 01 to 32:
//   Folder        REG_SZ   where the storage's files live, e.g. "C:\Orbit\Internal" (required)
//   FriendlyName  REG_SZ   e.g. "ORBIT Cadenza - Internal Storage" or
//                          "ORBIT Cadenza - External Storage" (required)
//   DeviceName    REG_SZ   default "ORBIT Audio Device"
//   SerialNumber  REG_SZ
//   TotalSpace    REG_SZ decimal bytes, or REG_QWORD / REG_DWORD (required, above 0)
//   SyncFolder    REG_SZ   "Root" (default) or "Music", as in PLAYER.INF
// The engine reports TotalSpace as recorded and FreeSpace as TotalSpace less
// the bytes of the files below Folder, and never fills a storage beyond it.
// A registered player is connected while its folder exists. Records that
// lack a required value are ignored.
#include <cstdint>
#include <string>
#include <vector>

#include "mediaengine/devices/player_identity.h"
#include "os/registry.h"

namespace mediaengine {

extern const wchar_t kFolderPlayersKey[];  // "Software\\Marimba\\MediaEngine\\FolderPlayers"
extern const wchar_t kFolderPlayerDeviceName[];  // "ORBIT Audio Device"
constexpr int kMaxFolderPlayers = 32;

struct FolderPlayerRecord {
  int slot = 0;  // 1..32, the NN of its key
  std::wstring folder;
  std::wstring friendlyName;
  std::wstring deviceName = kFolderPlayerDeviceName;
  std::wstring serial;
  std::uint64_t totalSpace = 0;
  SyncFolder syncFolder = SyncFolder::Root;
};

// Every usable record, by slot.
std::vector<FolderPlayerRecord> ReadFolderPlayers(os::IRegistry& registry);

// Writes `record` into the first free slot (its `slot` is ignored) and
// returns that slot in *slot. kErrorInvalidParameter for a record without
// folder, friendly name or total space; kErrorAlreadyExists when all slots
// are taken.
os::ErrorCode RegisterFolderPlayer(os::IRegistry& registry, const FolderPlayerRecord& record,
                                   int* slot);
os::ErrorCode UnregisterFolderPlayer(os::IRegistry& registry, int slot);

}  // namespace mediaengine
