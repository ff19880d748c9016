#include "engine/wmp_reg_acc.h"

#include <cwchar>
#include <vector>

#include "os/text_encoding.h"

namespace engine {

const wchar_t kPreferencesKeyPath[] = L"Software\\Microsoft\\MediaPlayer\\Preferences";
const wchar_t kPlayerSetupKeyPath[] =
    L"SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\"
    L"{6BF52A52-394A-11d3-B153-00C04F79FAA6}";

const wchar_t kFileDetailTrackFirst[] = L"*TrackNumber;*SongTitle;Artist;Album;Genre;Bitrate";
const wchar_t kFileDetailTitleFirst[] = L"*SongTitle;TrackNumber;Artist;Album;Genre;Bitrate";
const wchar_t kFileDetailArtistFirst[] = L"*Artist;*Album;*SongTitle;TrackNumber;Genre;Bitrate";

namespace {

const wchar_t kForceOnline[] = L"ForceOnline";
const wchar_t kIsInstalled[] = L"IsInstalled";
const wchar_t kVersion[] = L"Version";

// A text is taken only when it is shorter than 1024 bytes.
constexpr std::uint32_t kTextBufferBytes = 1023;
// Room for the version text; a longer one is not read.
constexpr std::uint32_t kVersionBufferBytes = 32;

constexpr std::uint32_t kRateHigh = 128000;
constexpr std::uint32_t kRateLow = 64000;

// One registry value and the field it lives in: exactly one member is set.
struct Field {
  const wchar_t* name;
  std::uint32_t WmpPreferences::*number;
  std::wstring WmpPreferences::*text;
};

constexpr Field Number(const wchar_t* name, std::uint32_t WmpPreferences::*member) {
  return {name, member, nullptr};
}
constexpr Field Text(const wchar_t* name, std::wstring WmpPreferences::*member) {
  return {name, nullptr, member};
}

// Read after ForceOnline, in this order.
const Field kReadOrder[] = {
    Text(L"CDRecordPath", &WmpPreferences::cdRecordPath),
    Text(L"CDRecordFileDetail", &WmpPreferences::cdRecordFileDetail),
    Text(L"CDRecordFileSeparator", &WmpPreferences::cdRecordFileSeparator),
    Number(L"CDRecordMode", &WmpPreferences::cdRecordMode),
    Number(L"CDRecordMP3", &WmpPreferences::cdRecordMP3),
    Number(L"CDRecordDRM", &WmpPreferences::cdRecordDRM),
    Number(L"CDFirstCopyV10", &WmpPreferences::cdFirstCopyV10),
    Number(L"AutoCopyCD", &WmpPreferences::autoCopyCD),
    Number(L"AutoEjectCD", &WmpPreferences::autoEjectCD),
    Number(L"MP3RecordRate", &WmpPreferences::mp3RecordRate),
    Number(L"WMARecordRate", &WmpPreferences::wmaRecordRate),
    Number(L"SilentAcquisition", &WmpPreferences::silentAcquisition),
    Number(L"MetadataRetrieval", &WmpPreferences::metadataRetrieval),
    Number(L"AutoMetadataUpdate", &WmpPreferences::autoMetadataUpdate),
    Number(L"AutoRename", &WmpPreferences::autoRename),
    Number(L"AutoOrganize", &WmpPreferences::autoOrganize),
};

// Written in this order; a failure stops the write where it happened.
const Field kWriteOrder[] = {
    Number(kForceOnline, &WmpPreferences::forceOnline),
    Text(L"CDRecordPath", &WmpPreferences::cdRecordPath),
    Number(L"CDRecordMode", &WmpPreferences::cdRecordMode),
    Number(L"CDRecordMP3", &WmpPreferences::cdRecordMP3),
    Number(L"CDRecordDRM", &WmpPreferences::cdRecordDRM),
    Number(L"CDFirstCopyV10", &WmpPreferences::cdFirstCopyV10),
    Number(L"AutoCopyCD", &WmpPreferences::autoCopyCD),
    Number(L"AutoEjectCD", &WmpPreferences::autoEjectCD),
    Number(L"MP3RecordRate", &WmpPreferences::mp3RecordRate),
    Number(L"WMARecordRate", &WmpPreferences::wmaRecordRate),
    Text(L"CDRecordFileDetail", &WmpPreferences::cdRecordFileDetail),
    Text(L"CDRecordFileSeparator", &WmpPreferences::cdRecordFileSeparator),
    Number(L"SilentAcquisition", &WmpPreferences::silentAcquisition),
    Number(L"MetadataRetrieval", &WmpPreferences::metadataRetrieval),
    Number(L"AutoMetadataUpdate", &WmpPreferences::autoMetadataUpdate),
    Number(L"AutoRename", &WmpPreferences::autoRename),
    Number(L"AutoOrganize", &WmpPreferences::autoOrganize),
};

bool IsKnownFileDetail(const std::wstring& detail) {
  return detail == kFileDetailTrackFirst || detail == kFileDetailTitleFirst ||
         detail == kFileDetailArtistFirst;
}

// The engine rips at two rates only; the higher ones it may have been set
// to come down to 128 kbit/s, everything else to 64.
std::uint32_t SupportedRate(std::uint32_t rate) {
  return rate == 128000 || rate == 160000 || rate == 192000 ? kRateHigh : kRateLow;
}

// A REG_DWORD, else 0; true when taken.
bool ReadNumber(const os::RegKey& key, const wchar_t* name, std::uint32_t* field) {
  // Zero-filled, so a REG_DWORD stored shorter than four bytes reads as its
  // own bytes and nothing else.
  std::int32_t value = 0;
  os::RegType type = os::RegType::None;
  const bool taken =
      key.QueryDwordBytes(name, &value, &type) == os::kSuccess && type == os::RegType::Dword;
  *field = taken ? static_cast<std::uint32_t>(value) : 0;
  return taken;
}

}  // namespace

void CWmpRegAcc::ReadText(const os::RegKey& key, const wchar_t* name, std::wstring* field) {
  field->clear();
  std::vector<std::uint8_t> buffer(kTextBufferBytes, 0);
  std::uint32_t size = kTextBufferBytes;
  os::RegType type = os::RegType::None;
  if (registry_.QueryValue(key.Handle(), name, &type, buffer.data(), &size) != os::kSuccess ||
      type != os::RegType::String) {
    return;
  }
  // Only the bytes returned: a value stored without its terminator (or with
  // an odd size) ends where its data ends.
  buffer.resize(size);
  *field = os::TextOfRegStringBytes(buffer);
}

bool CWmpRegAcc::ReadPreferences() {
  const os::RegKey key =
      os::RegKey::Open(registry_, os::Hive::CurrentUser, kPreferencesKeyPath, os::KeyAccess::Read);
  if (!key) return false;
  if (!ReadNumber(key, kForceOnline, &preferences_.forceOnline)) return false;
  for (const Field& field : kReadOrder) {
    if (field.number) {
      ReadNumber(key, field.name, &(preferences_.*field.number));
    } else {
      ReadText(key, field.name, &(preferences_.*field.text));
    }
  }
  return true;
}

bool CWmpRegAcc::WritePreferences() {
  const os::RegKey key = os::RegKey::Create(registry_, os::Hive::CurrentUser, kPreferencesKeyPath,
                                            os::KeyAccess::Write);
  if (!key) return false;
  for (const Field& field : kWriteOrder) {
    const os::ErrorCode rc = field.number ? key.SetDword(field.name, preferences_.*field.number)
                                          : key.SetString(field.name, preferences_.*field.text);
    if (rc != os::kSuccess) return false;
  }
  return true;
}

std::wstring CWmpRegAcc::MusicFolderPath() {
  std::wstring path;
  if (system_.MusicFolder(false, &path)) return path;
  // A profile that never had the folder: have it made.
  path.clear();
  if (system_.MusicFolder(true, &path)) return path;
  return {};
}

bool CWmpRegAcc::TakeOverRipPreferences(bool protect) {
  // A failed read still leads to a full write: the engine must rip our way.
  ReadPreferences();
  WmpPreferences& p = preferences_;
  if (p.cdRecordPath.empty()) p.cdRecordPath = MusicFolderPath();
  p.forceOnline = 1;
  p.cdRecordMode = 0;
  p.cdRecordMP3 = 0;  // WMA, which the transfer expects
  p.cdRecordDRM = protect ? 1 : 0;
  p.cdFirstCopyV10 = 0;
  p.autoCopyCD = 0;
  p.autoEjectCD = 0;
  if (!IsKnownFileDetail(p.cdRecordFileDetail)) p.cdRecordFileDetail = kFileDetailTrackFirst;
  p.cdRecordFileSeparator = L" ";
  p.wmaRecordRate = SupportedRate(p.wmaRecordRate);
  p.silentAcquisition = 1;
  p.metadataRetrieval = 3;
  p.autoMetadataUpdate = 1;
  p.autoRename = 1;
  p.autoOrganize = 0;
  return WritePreferences();
}

void CWmpRegAcc::SetFileDetailOrder(std::int32_t kind) {
  switch (kind) {
    case 1:
      preferences_.cdRecordFileDetail = kFileDetailTitleFirst;
      break;
    case 2:
      preferences_.cdRecordFileDetail = kFileDetailArtistFirst;
      break;
    default:
      preferences_.cdRecordFileDetail = kFileDetailTrackFirst;
      break;
  }
}

bool CWmpRegAcc::IsPlayerInstalled() {
  const os::RegKey key =
      os::RegKey::Open(registry_, os::Hive::LocalMachine, kPlayerSetupKeyPath, os::KeyAccess::Read);
  if (!key) return false;
  // Any type: only the four bytes count.
  std::int32_t installed = 0;
  return key.QueryDwordBytes(kIsInstalled, &installed) == os::kSuccess && installed == 1;
}

std::int32_t CWmpRegAcc::GetPlayerMajorVersion() {
  const os::RegKey key =
      os::RegKey::Open(registry_, os::Hive::LocalMachine, kPlayerSetupKeyPath, os::KeyAccess::Read);
  if (!key) return -1;
  std::vector<std::uint8_t> buffer(kVersionBufferBytes, 0);
  std::uint32_t size = kVersionBufferBytes;
  if (registry_.QueryValue(key.Handle(), kVersion, nullptr, buffer.data(), &size) != os::kSuccess) {
    return -1;
  }
  buffer.resize(size);
  // "10,0,0,3646" or "9,00,00,2980": the major number fits in two
  // characters, and a comma in the second ends it.
  const std::wstring head = os::TextOfRegStringBytes(buffer).substr(0, 2);
  return static_cast<std::int32_t>(std::wcstol(head.c_str(), nullptr, 10));
}

}  // namespace engine
