#pragma once
// Everything the main window owns besides its controls: the tool's settings,
// the player preferences, the hosted engine, the CD and player parts and the
// transfer controller, each wired to the others once. Members are declared
// in the order they depend on each other, so they are destroyed in reverse.
#include <windows.h>
// winbase.h's GetFreeSpace macro would rename the engine wrapper's getter.
#undef GetFreeSpace

#include "cdrom/cdrom_acc.h"
#include "common/player_context.h"
#include "controller/marimba_app.h"
#include "controller/marimba_dlg.h"
#include "controller/settings_store.h"
#include "device/dap_acc.h"
#include "device/engine_device_manager.h"
#include "engine/win32/player_host.h"
#include "engine/wmp_reg_acc.h"
#include "ui/album_name_model.h"
#include "ui/settings_model.h"
#include "ui/track_edit_owner.h"
#include "ui/win32/report_ctrl.h"
#include "ui/win32/status_dlg.h"

namespace controller::win32 {

// The tool's settings as the controller reads them.
class SettingsSource : public ISettingsSource {
 public:
  explicit SettingsSource(controller::SettingsStore& store) : store_(store) {}
  std::int32_t ReadModel(bool reload) override { return store_.ReadModel(reload); }
  std::int32_t ReadAutoSync(bool reload) override { return store_.ReadAutoSync(reload); }

 private:
  controller::SettingsStore& store_;
};

// What the settings dialog changes: the rip rate of the preferences and the
// automatic-transfer switch of the settings store.
class SettingsModel : public ui::ISettingsModel {
 public:
  SettingsModel(engine::CWmpRegAcc& preferences, controller::SettingsStore& store)
      : preferences_(preferences), store_(store) {}
  std::uint32_t GetRecordRate() const override { return preferences_.Preferences().wmaRecordRate; }
  void SetRecordRate(std::uint32_t bitsPerSecond) override {
    preferences_.Preferences().wmaRecordRate = bitsPerSecond;
  }
  std::int32_t ReadAutoSync() override { return store_.ReadAutoSync(true); }
  void WriteAutoSync(std::int32_t value) override { store_.WriteAutoSync(value); }
  bool WritePreferences() override { return preferences_.WritePreferences(); }

 private:
  engine::CWmpRegAcc& preferences_;
  controller::SettingsStore& store_;
};

// The album name of the inserted disc.
class AlbumNameModel : public ui::IAlbumNameModel {
 public:
  AlbumNameModel(CMarimbaDlg& dialog, cdrom::CCDROMAcc& cd) : dialog_(dialog), cd_(cd) {}
  std::wstring GetAlbumName() const override { return cd_.GetAlbumName(); }
  bool SetAlbumName(const std::wstring& name) override {
    return dialog_.SetAlbumNameFromDialog(name);
  }

 private:
  CMarimbaDlg& dialog_;
  cdrom::CCDROMAcc& cd_;
};

// The track list's edits: noted on the controller, written to the disc.
class TrackEditOwner : public ui::ITrackEditOwner {
 public:
  TrackEditOwner(CMarimbaDlg& dialog, cdrom::CCDROMAcc& cd) : dialog_(dialog), cd_(cd) {}
  void NoteSelfEdit(int row) override {
    dialog_.Fields().selfEditPending = 1;
    dialog_.Fields().editedRow = row;
  }
  bool SetTrackTitle(int trackNumber, const std::wstring& title) override {
    return cd_.SetTrackTitle(trackNumber, title);
  }
  bool SetTrackArtist(int trackNumber, const std::wstring& artist) override {
    return cd_.SetTrackArtist(trackNumber, artist);
  }

 private:
  CMarimbaDlg& dialog_;
  cdrom::CCDROMAcc& cd_;
};

struct MainWindowParts {
  MainWindowParts(os::Platform& platform, const res::IStringTable& strings,
                  IMainView& view, ITimerPort& timers, ui::win32::CReportCtrl& trackList)
      : settings(platform.registry),
        preferences(platform.registry, platform.system),
        host(platform, strings),
        statusHost(strings),
        deviceManagers(context),
        settingsSource(settings),
        dialog(DlgPorts{view, timers, platform.clock, platform.windows, strings, settingsSource,
                        preferences, context, trackList}),
        cd(context, platform.drives, platform.files, platform.clock, statusHost, strings),
        dap(device::DapPorts{platform.files, platform.drives, platform.clock, platform.modules,
                             statusHost, strings, context, deviceManagers}),
        settingsModel(preferences, settings),
        albumModel(dialog, cd),
        editOwner(dialog, cd) {}

  controller::SettingsStore settings;
  engine::CWmpRegAcc preferences;
  common::PlayerContext context;
  engine::win32::PlayerHost host;
  ui::win32::StatusHost statusHost;
  device::EngineDeviceManagerSource deviceManagers;
  SettingsSource settingsSource;
  CMarimbaDlg dialog;
  cdrom::CCDROMAcc cd;
  device::CDAPAcc dap;
  SettingsModel settingsModel;
  AlbumNameModel albumModel;
  TrackEditOwner editOwner;
};

}  // namespace controller::win32
