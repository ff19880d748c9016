#include "mediaengine/devices/folder_players.h"

#include <cwchar>

#include "os/paths.h"
#include "os/reg_key.h"
#include "os/text_encoding.h"

namespace mediaengine {
namespace {

std::wstring SlotKey(int slot) {
  wchar_t name[8];
  std::swprintf(name, 8, L"%02d", slot);
  return std::wstring(kFolderPlayersKey) + L"\\" + name;
}

bool ReadText(const os::RegKey& key, const std::wstring& name, std::wstring* text) {
  os::RegType type = os::RegType::None;
  std::vector<std::uint8_t> bytes;
  if (key.QueryBytes(name, &type, &bytes) != os::kSuccess) return false;
  if (type != os::RegType::String && type != os::RegType::ExpandString) return false;
  *text = os::TextOfRegStringBytes(bytes);
  return true;
}

bool ReadBytes(const os::RegKey& key, const std::wstring& name, std::uint64_t* value) {
  os::RegType type = os::RegType::None;
  std::vector<std::uint8_t> bytes;
  if (key.QueryBytes(name, &type, &bytes) != os::kSuccess) return false;
  if (type == os::RegType::Dword || type == os::RegType::Qword) {
    if (bytes.size() != (type == os::RegType::Dword ? 4u : 8u)) return false;
    std::uint64_t result = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) result |= std::uint64_t{bytes[i]} << (8 * i);
    *value = result;
    return true;
  }
  if (type != os::RegType::String) return false;
  const std::wstring text = os::TextOfRegStringBytes(bytes);
  if (text.empty() || text.size() > 19 || text.find_first_not_of(L"0123456789") != std::wstring::npos) {
    return false;
  }
  *value = std::stoull(text);
  return true;
}

bool ReadRecord(os::IRegistry& registry, int slot, FolderPlayerRecord* record) {
  os::RegKey key = os::RegKey::Open(registry, os::Hive::CurrentUser, SlotKey(slot), os::KeyAccess::Read);
  if (!key) return false;
  FolderPlayerRecord read;
  read.slot = slot;
  if (!ReadText(key, L"Folder", &read.folder) || read.folder.empty()) return false;
  if (!ReadText(key, L"FriendlyName", &read.friendlyName) || read.friendlyName.empty()) return false;
  if (!ReadBytes(key, L"TotalSpace", &read.totalSpace) || read.totalSpace == 0) return false;
  std::wstring text;
  if (ReadText(key, L"DeviceName", &text) && !text.empty()) read.deviceName = text;
  ReadText(key, L"SerialNumber", &read.serial);
  if (ReadText(key, L"SyncFolder", &text)) ParseSyncFolder(text, &read.syncFolder);
  read.folder = os::WithoutTrailingBackslash(read.folder);
  *record = read;
  return true;
}

}  // namespace

const wchar_t kFolderPlayersKey[] = L"Software\\Marimba\\MediaEngine\\FolderPlayers";
const wchar_t kFolderPlayerDeviceName[] = L"ORBIT Audio Device";

std::vector<FolderPlayerRecord> ReadFolderPlayers(os::IRegistry& registry) {
  std::vector<FolderPlayerRecord> records;
  os::RegKey parent = os::RegKey::Open(registry, os::Hive::CurrentUser, kFolderPlayersKey, os::KeyAccess::Read);
  if (!parent) return records;
  for (int slot = 1; slot <= kMaxFolderPlayers; ++slot) {
    FolderPlayerRecord record;
    if (ReadRecord(registry, slot, &record)) records.push_back(record);
  }
  return records;
}

os::ErrorCode RegisterFolderPlayer(os::IRegistry& registry, const FolderPlayerRecord& record,
                                   int* slot) {
  if (record.folder.empty() || record.friendlyName.empty() || record.totalSpace == 0) {
    return os::kErrorInvalidParameter;
  }
  for (int candidate = 1; candidate <= kMaxFolderPlayers; ++candidate) {
    if (os::RegKey::Open(registry, os::Hive::CurrentUser, SlotKey(candidate), os::KeyAccess::Read)) {
      continue;
    }
    os::ErrorCode result = os::kSuccess;
    os::RegKey key = os::RegKey::Create(registry, os::Hive::CurrentUser, SlotKey(candidate),
                                        os::KeyAccess::Write, &result);
    if (!key) return result;
    const std::wstring total = std::to_wstring(record.totalSpace);
    const wchar_t* sync = record.syncFolder == SyncFolder::Music ? L"Music" : L"Root";
    for (const auto& [name, value] :
         {std::pair<const wchar_t*, const std::wstring*>{L"Folder", &record.folder},
          {L"FriendlyName", &record.friendlyName},
          {L"DeviceName", &record.deviceName},
          {L"SerialNumber", &record.serial},
          {L"TotalSpace", &total}}) {
      result = key.SetString(name, *value);
      if (result != os::kSuccess) break;
    }
    if (result == os::kSuccess) result = key.SetString(L"SyncFolder", sync);
    key.Close();
    if (result != os::kSuccess) {
      registry.DeleteKey(os::Hive::CurrentUser, SlotKey(candidate));
      return result;
    }
    if (slot) *slot = candidate;
    return os::kSuccess;
  }
  return os::kErrorAlreadyExists;
}

os::ErrorCode UnregisterFolderPlayer(os::IRegistry& registry, int slot) {
  if (slot < 1 || slot > kMaxFolderPlayers) return os::kErrorInvalidParameter;
  return registry.DeleteKey(os::Hive::CurrentUser, SlotKey(slot));
}

}  // namespace mediaengine
