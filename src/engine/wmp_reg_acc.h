#pragma once
// The player's rip preferences in the current user's registry, which the
// engine rips by (a rip call takes no format, rate or folder): read, forced
// to what the rip-and-transfer flow needs, and written back. Also the two
// installation checks made at start-up.
#include <cstdint>
#include <string>

#include "os/reg_key.h"
#include "os/registry.h"
#include "os/system.h"

namespace engine {

// HKCU; the engine reads its preferences here.
extern const wchar_t kPreferencesKeyPath[];
// HKLM; the player's installation record.
extern const wchar_t kPlayerSetupKeyPath[];

// CDRecordFileDetail patterns: which tags make up a ripped file's name, in
// order; a leading '*' marks a tag that is used.
extern const wchar_t kFileDetailTrackFirst[];   // kind 0 (and any unknown kind)
extern const wchar_t kFileDetailTitleFirst[];   // kind 1
extern const wchar_t kFileDetailArtistFirst[];  // kind 2

// One field per registry value; numbers are REG_DWORD, texts REG_SZ.
// A fresh record holds zeros and empty texts.
struct WmpPreferences {
  std::uint32_t forceOnline = 0;
  std::wstring cdRecordPath;
  std::wstring cdRecordFileDetail;
  std::wstring cdRecordFileSeparator;
  std::uint32_t cdRecordMode = 0;
  std::uint32_t cdRecordMP3 = 0;
  std::uint32_t cdRecordDRM = 0;
  std::uint32_t cdFirstCopyV10 = 0;
  std::uint32_t autoCopyCD = 0;
  std::uint32_t autoEjectCD = 0;
  std::uint32_t mp3RecordRate = 0;
  std::uint32_t wmaRecordRate = 0;  // bits per second
  std::uint32_t silentAcquisition = 0;
  std::uint32_t metadataRetrieval = 0;
  std::uint32_t autoMetadataUpdate = 0;
  std::uint32_t autoRename = 0;
  std::uint32_t autoOrganize = 0;
};

class CWmpRegAcc {
 public:
  CWmpRegAcc(os::IRegistry& registry, os::ISystem& system) : registry_(registry), system_(system) {}
  CWmpRegAcc(const CWmpRegAcc&) = delete;
  CWmpRegAcc& operator=(const CWmpRegAcc&) = delete;

  // True if the key opened and ForceOnline was a DWORD; without ForceOnline
  // nothing else is read and the other fields keep their values.
  bool ReadPreferences();
  // Creates the key if needed; false at the first value that fails (the
  // values before it stay written).
  bool WritePreferences();
  // Reads, forces the values the tool relies on (CDRecordDRM from
  // `protect`), and writes; the result is that of the write.
  bool TakeOverRipPreferences(bool protect);
  // Chooses the file-naming pattern (1, 2, anything else 0); no write.
  void SetFileDetailOrder(std::int32_t kind);

  // Start-up checks against the installation record.
  bool IsPlayerInstalled();
  // The number in the first two characters of "Version"; -1 when unreadable.
  std::int32_t GetPlayerMajorVersion();

  WmpPreferences& Preferences() { return preferences_; }
  const WmpPreferences& Preferences() const { return preferences_; }

 private:
  void ReadText(const os::RegKey& key, const wchar_t* name, std::wstring* field);
  std::wstring MusicFolderPath();

  os::IRegistry& registry_;
  os::ISystem& system_;
  WmpPreferences preferences_;
};

}  // namespace engine
