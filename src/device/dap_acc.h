#pragma once
// The player device access ("DAP Access"): finds the maker's players among
// the engine's sync devices and the drives the maker's library names, lists
// them in the player combo box, drives the partnership and the transfer of
// one album, arranges the transferred files on a player drive and shows the
// player's capacity.
#include <cstdint>
#include <string>
#include <vector>

#include "common/basic_drive.h"
#include "common/player_context.h"
#include "device/device_manager.h"
#include "device/first_line.h"
#include "device/maker_library.h"
#include "device/player_part.h"
#include "device/temp_playlist.h"
#include "engine/attributes.h"
#include "os/clock.h"
#include "os/device_names.h"
#include "os/drives.h"
#include "os/file_system.h"
#include "os/modules.h"
#include "ui/static_ex.h"
#include "ui/track_list.h"

namespace device {

// One entry of the player list.
struct CDevInfo {
  std::wstring name;          // the combo box text
  std::wstring drive;         // "F:" for a drive entry, empty for an engine device
  std::wstring serialNumber;  // the engine device's serial number; empty for a drive
  // The engine device of the entry: first its position among the engine's
  // sync devices, later its partnership index; -1 when unknown.
  std::int32_t syncNumber = -1;
};

struct DapPorts {
  os::IFileSystem& files;
  os::IDrives& drives;
  os::IClock& clock;
  os::IModules& modules;
  ui::IStatusHost& statusHost;
  const res::IStringTable& strings;
  const common::PlayerContext& context;
  IDeviceManagerSource& deviceManagers;
  CodePageDecoder decodeAnsi = DecodeUtf8OrLatin1;
};

// What one transfer records for the file step after it.
struct TransferRecord {
  std::wstring albumArtist;
  std::wstring albumTitle;
  std::wstring artistFolder;  // the ripped file's folders on the PC
  std::wstring albumFolder;
  std::vector<std::wstring> sourceFiles;       // file names put into the playlist
  std::vector<std::wstring> transferredFiles;  // file names found on the player
  std::int64_t syncStart = 0;  // seconds since 1970
  std::int64_t syncEnd = 0;
};

class CDAPAcc : public common::CBasicDrive, public IPlayerPart {
 public:
  explicit CDAPAcc(const DapPorts& ports);
  ~CDAPAcc() override;

  int GetState() const override { return CBasicDrive::GetState(); }
  void CloseStatus() override { CBasicDrive::CloseStatus(); }

  // ---- discovery
  // Binds the playlist step, loads the maker libraries, opens the device
  // manager; false when any of them fails or no player is bound.
  bool Attach(ui::CMyComboBox* comboBox) override;
  void Reset() override;
  void RefreshList(bool selectFirst, bool closeDropDown) override;
  bool SetCapacityLabels(ui::CStaticEx* usedLabel, ui::CStaticEx* freeLabel);
  // "F:" for a selected drive entry, empty otherwise.
  std::wstring GetSelectedDrive() const override;
  void EnumerateDevices();
  bool IsInternalStorage(int index);
  bool IsDeviceReady(int index);
  bool IsMainStorageDrive(const std::wstring& drive);
  // The maker library's letters of all players, or only of their main storage.
  std::wstring GetDriveLetters(bool mainOnly);
  bool LoadMakerLibraries();
  void UnloadMakerLibraries();
  bool OpenDeviceManager();

  // ---- partnership and transfer
  bool SelectSyncDevice(int entryIndex);
  bool EnsurePartnership() override;
  bool OnPartnershipComplete(wmp::ISyncDevice* device) override;
  // The temporary sync playlist of the source's items whose tracks are
  // checked in `checks` (every item when null: no main window).
  bool PrepareSync(wmp::IPlaylist* sourcePlaylist, const ui::CheckSnapshot* checks) override;
  bool StartSync() override;
  // Percent 0..100 (100: finished), -2 cancelled by the user, -1 failed.
  int PollSync() override;
  bool StopSync() override;
  bool FinishSync() override;
  bool IsOurDevice(wmp::ISyncDevice* device) const override;

  // ---- files on a player drive
  bool CollectTransferredFiles() override;
  void MoveIntoMusicFolder() override;
  void MoveOutOfMusicFolder() override;
  // Replaces \ / : * ? " < > | (the characters a folder name cannot hold).
  static void SanitizeFolderName(std::wstring& text);

  // ---- capacity
  void UpdateCapacity() override;
  bool FindDeviceManagerFreeSpace(const std::wstring& friendlyName, std::int64_t totalBytes,
                                  std::int64_t* freeBytes);

  const std::vector<CDevInfo>& Devices() const { return devices_; }
  float FreeMB() const override { return freeMB_; }
  long Partnership() const { return partnership_; }
  int EngineMajor() const { return engineMajor_; }
  bool StopRequested() const { return stopRequested_; }
  const engine::SyncDeviceRef& SyncDevice() const { return syncDevice_; }
  const TempPlaylist& GetTempPlaylist() const { return tempPlaylist_; }
  const TransferRecord& Transfer() const { return transfer_; }

 private:
  // What Reset does; the destructor calls it without a virtual call.
  void ResetParts();
  // The engine device that belongs to a drive: its position, or -1.
  std::int32_t FindSyncNumberOfDrive(const std::wstring& drive);
  // Whether the drive's WMPInfo.xml names the device; *opened tells
  // whether the file could be read at all.
  bool WmpInfoNamesDevice(const std::wstring& drive, const std::wstring& deviceId, bool* opened);
  // Keeps partnership `index` for entry `entryIndex`.
  void RecordPartnership(int entryIndex, long index);
  bool DeletePartnership();
  // Removes the temporary playlist and, once it is gone, the partnership.
  void CleanUpTransfer();
  // parent\name (created or already there), else parent\fallback made
  // safe; empty when neither names a folder of its own. *created tells
  // whether this call made the folder.
  std::wstring CreateTransferFolder(const std::wstring& parent, const std::wstring& name,
                                    const std::wstring& fallback, bool* created);
  // The tags and length the engine reads from a file; empty when it cannot.
  os::TrackFacts TrackFactsOf(const std::wstring& path);
  // Moves `from` into `folder` (with its trailing backslash) as `name`, made
  // fit for the player; a file there of the same track again is replaced,
  // any other is kept and the moved file takes the next free name.
  bool MoveKeepingOthers(const std::wstring& from, const std::wstring& folder,
                         const std::wstring& name);

  os::IFileSystem& files_;
  os::IDrives& drives_;
  os::IClock& clock_;
  os::IModules& modules_;
  const common::PlayerContext& context_;
  IDeviceManagerSource& deviceManagers_;
  const CodePageDecoder decodeAnsi_;

  bool stopRequested_ = false;
  bool firstPartnership_ = true;
  TempPlaylist tempPlaylist_;
  os::LoadedModule deviceLibrary_;
  DriveLettersEntry getDriveNo_ = nullptr;
  DriveLettersEntry getDriveNoMain_ = nullptr;
  os::LoadedModule ntLibrary_;
  AdminAuthorityEntry getAdminAuthority_ = nullptr;
  engine::SyncServicesRef syncServices_;
  engine::SyncDeviceRef syncDevice_;
  wmp::PlayerPtr player_;
  long partnership_ = -1;
  int engineMajor_ = -1;
  std::vector<CDevInfo> devices_;
  DeviceManagerPtr deviceManager_;
  ui::CStaticEx* usedLabel_ = nullptr;
  ui::CStaticEx* freeLabel_ = nullptr;
  float freeMB_ = 0;
  TransferRecord transfer_;
};

}  // namespace device
