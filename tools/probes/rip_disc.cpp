// Rips the disc in the first CD-ROM drive with our engine, as the tool makes
// it do, into the rip folder given on the command line; prints one line per
// finished file and exits 0 only when every track arrived.
//
// usage: rip_disc.exe RIP_FOLDER LIBRARY_FOLDER [64000|128000]
#include <windows.h>

#include <cstdio>
#include <string>

#include "core/player.h"
#include "os/reg_key.h"
#include "os/text_encoding.h"
#include "os/win32/win32_clock.h"
#include "os/win32/win32_drives.h"
#include "os/win32/win32_file_system.h"
#include "os/win32/win32_registry.h"
#include "os/win32/win32_system.h"
#include "win32/engine_window.h"

namespace {

class Progress : public wmp::PlayerEventsBase {
 public:
  void MediaChange(wmp::IMedia* item) override {
    std::wstring status;
    item->GetItemInfo(L"Status", &status);
    if (status.rfind(L"Ripped", 0) == 0) ++finished;
  }
  void MediaError(wmp::IMedia*) override { ++errors; }
  int finished = 0;
  int errors = 0;
};

void Print(const std::wstring& text) { std::printf("%s\n", os::Utf8FromWide(text).c_str()); }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: rip_disc.exe RIP_FOLDER LIBRARY_FOLDER [RATE]\n");
    return 2;
  }
  os::win32::Win32Registry registry;
  os::win32::Win32FileSystem files;
  os::win32::Win32Drives drives;
  os::win32::Win32System system;
  os::win32::Win32Clock clock;
  {
    os::RegKey key = os::RegKey::Create(registry, os::Hive::CurrentUser,
                                        L"Software\\Microsoft\\MediaPlayer\\Preferences",
                                        os::KeyAccess::Write);
    key.SetString(L"CDRecordPath", argv[1]);
    key.SetDword(L"WMARecordRate", argc > 3 ? static_cast<std::uint32_t>(_wtoi(argv[3])) : 64000);
  }
  engine::EngineConfig config{files, drives, registry, system, clock, argv[2], 11, nullptr};
  auto player = engine::Player::Create(config);
  engine::win32::EngineWindow window(player);
  auto progress = std::make_shared<Progress>();
  std::uint32_t cookie = 0;
  player->Advise(progress, &cookie);

  wmp::CdromCollectionPtr cdroms;
  player->CdromCollection(&cdroms);
  wmp::CdromPtr drive;
  if (!cdroms || wmp::Failed(cdroms->Item(0, &drive))) {
    std::fprintf(stderr, "rip_disc: no CD-ROM drive\n");
    return 1;
  }
  wmp::PlaylistPtr disc;
  drive->Playlist(&disc);
  long tracks = 0;
  disc->Count(&tracks);
  if (tracks <= 0) {
    std::fprintf(stderr, "rip_disc: no audio disc in the drive\n");
    return 1;
  }
  const DWORD started = GetTickCount();
  wmp::CdromRipPtr rip = drive->Rip();
  if (!rip || wmp::Failed(rip->StartRip())) {
    std::fprintf(stderr, "rip_disc: the rip did not start\n");
    return 1;
  }
  long state = 1;
  MSG message;
  while (state == 1) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    rip->RipState(&state);
    Sleep(10);
  }
  player->DrainEvents();
  const double seconds = (GetTickCount() - started) / 1000.0;

  wmp::MediaCollectionPtr library;
  player->MediaCollection(&library);
  std::wstring toc;
  disc->GetItemInfo(L"TOC", &toc);
  wmp::PlaylistPtr ripped;
  library->GetByAttribute(L"TOC", toc, &ripped);
  long count = 0;
  if (ripped) ripped->Count(&count);
  // One line per file with the length of its track on the disc, to compare.
  for (long i = 0; i < count; ++i) {
    wmp::MediaPtr item;
    ripped->Item(i, &item);
    std::wstring url, number;
    item->SourceUrl(&url);
    item->GetItemInfo(L"WM/TrackNumber", &number);
    wmp::MediaPtr track;
    double length = 0;
    if (wmp::Succeeded(disc->Item(_wtol(number.c_str()) - 1, &track))) track->Duration(&length);
    Print(L"file=" + url + L"\tdisc_seconds=" + std::to_wstring(length));
  }
  double discSeconds = 0;
  for (long i = 0; i < tracks; ++i) {
    wmp::MediaPtr track;
    disc->Item(i, &track);
    double length = 0;
    track->Duration(&length);
    discSeconds += length;
  }
  std::printf("tracks=%ld ripped=%ld errors=%d seconds=%.2f rip_x_realtime=%.1f\n", tracks,
              count, progress->errors, seconds, seconds > 0 ? discSeconds / seconds : 0.0);
  player->Close();
  return count == tracks && progress->errors == 0 ? 0 : 1;
}
