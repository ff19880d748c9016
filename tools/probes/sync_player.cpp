// Rips the disc in the first CD-ROM drive with our engine and synchronises
// every ripped track to the first drive-backed player, as the tool makes the
// engine do: a partnership, one library playlist marked for it, start three
// seconds later (the tool's sync-start timer), and the events until the
// synchronisation stops. Prints one line per track with
// its file on the player, then a summary with the rip and sync speeds; exits
// 0 only when every track was ripped and arrived whole.
//
// With --no-rip the tracks are the .wma files a rip left below RIP_FOLDER
// (added to the library as they are), so that the synchronisation can be
// timed in a process that has not ripped: on virtual machines that hand
// freed memory back to their host, a rip just before leaves the page cache
// that the synchronisation writes through to be taken from memory the host
// must first give back, and halves its speed (see docs/benchmarks.md).
//
// usage: sync_player.exe [--no-rip] RIP_FOLDER LIBRARY_FOLDER [RATE [EXTRA_FOLDER]]
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "mediaengine/devices/sync_device.h"
#include "mediaengine/library/library_records.h"
#include "os/win32/unique_handle.h"
#include "probe_engine.h"

namespace {

class Events : public wmp::PlayerEventsBase {
 public:
  void MediaError(wmp::IMedia*) override { ++ripErrors; }
  void CreatePartnershipComplete(wmp::ISyncDevice*, wmp::HResult result) override {
    partnershipDone = true;
    partnershipResult = result;
  }
  void DeviceSyncError(wmp::ISyncDevice*, wmp::IMedia*) override { ++syncErrors; }
  void DeviceSyncStateChange(wmp::ISyncDevice*, long state) override {
    if (state == static_cast<long>(wmp::SyncState::Stopped)) syncStopped = true;
  }
  int ripErrors = 0;
  int syncErrors = 0;
  bool partnershipDone = false;
  wmp::HResult partnershipResult = wmp::kOk;
  bool syncStopped = false;
};

std::uint64_t FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Where a synchronised file went: the root or the Music folder tree.
std::wstring FindOnPlayer(const std::wstring& folder, const std::wstring& name, int depth = 0) {
  if (GetFileAttributesW((folder + name).c_str()) != INVALID_FILE_ATTRIBUTES) return folder + name;
  if (depth > 3) return std::wstring();
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return std::wstring();
  std::wstring found;
  do {
    const std::wstring entry = data.cFileName;
    if (entry == L"." || entry == L".." || !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    found = FindOnPlayer(folder + entry + L"\\", name, depth + 1);
  } while (found.empty() && FindNextFileW(find, &data));
  FindClose(find);
  return found;
}

// The .wma files below `folder` (with its trailing backslash), in name order.
void AddWmaFiles(const std::wstring& folder, std::vector<std::wstring>* files) {
  std::vector<std::wstring> entries;
  WIN32_FIND_DATAW data;
  const os::win32::FindHandle find(FindFirstFileW((folder + L"*").c_str(), &data));
  if (!find.IsValid()) return;
  do {
    const std::wstring entry = data.cFileName;
    if (entry == L"." || entry == L"..") continue;
    entries.push_back(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? entry + L"\\" : entry);
  } while (FindNextFileW(find.Get(), &data));
  std::sort(entries.begin(), entries.end());
  for (const std::wstring& entry : entries) {
    if (entry.back() == L'\\') {
      AddWmaFiles(folder + entry, files);
    } else if (entry.size() > 4 && _wcsicmp(entry.c_str() + entry.size() - 4, L".wma") == 0) {
      files->push_back(folder + entry);
    }
  }
}

int Fail(const char* why) {
  std::fprintf(stderr, "sync_player: %s\n", why);
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const bool noRip = argc > 1 && std::wstring(argv[1]) == L"--no-rip";
  if (noRip) {
    --argc;
    ++argv;
  }
  if (argc < 3) {
    std::fprintf(stderr, "usage: sync_player.exe [--no-rip] RIP_FOLDER LIBRARY_FOLDER [RATE [EXTRA_FOLDER]]\n");
    return 2;
  }
  probe::Engine host(argv[1], argv[2],
                     argc > 3 ? static_cast<std::uint32_t>(_wtoi(argv[3])) : 64000);
  mediaengine::Player* player = &host.Player();
  auto events = std::make_shared<Events>();
  std::uint32_t cookie = 0;
  player->Advise(events, &cookie);

  // The rip.
  probe::DiscRip rip;
  const char* why = "";
  if (!noRip && !probe::RipFirstDisc(*player, &rip, &why)) return Fail(why);
  wmp::MediaCollectionPtr library;
  player->MediaCollection(&library);
  std::vector<std::wstring> earlierRip;
  if (noRip) AddWmaFiles(std::wstring(argv[1]) + L"\\", &earlierRip);
  if (noRip && earlierRip.empty()) return Fail("no ripped tracks below RIP_FOLDER");

  // The player: the first drive-backed device.
  wmp::SyncServicesPtr services;
  player->SyncServices(&services);
  long devices = 0;
  services->DeviceCount(&devices);
  wmp::SyncDevicePtr device;
  for (long i = 0; i < devices && !device; ++i) {
    wmp::SyncDevicePtr candidate;
    std::wstring name;
    bool connected = false;
    if (wmp::Succeeded(services->GetDevice(i, &candidate)) && wmp::Succeeded(candidate->DeviceName(&name)) &&
        name.find(L"Digital Audio") != std::wstring::npos && wmp::Succeeded(candidate->Connected(&connected)) &&
        connected) {
      device = candidate;
    }
  }
  if (!device) return Fail("no player");
  if (wmp::Failed(device->CreatePartnership())) return Fail("no partnership");
  probe::PumpUntil([&] { return events->partnershipDone; });
  long partnership = 0;
  device->PartnershipIndex(&partnership);
  if (wmp::Failed(events->partnershipResult) || partnership < 1) return Fail("the partnership failed");

  // One playlist of every ripped track, the only one marked for the partnership.
  wmp::PlaylistCollectionPtr playlists;
  player->PlaylistCollection(&playlists);
  wmp::PlaylistPtr transfer;
  if (wmp::Failed(playlists->NewPlaylist(L"Bench transfer", &transfer))) return Fail("no playlist");
  std::vector<std::wstring> sources;
  std::uint64_t bytes = 0;
  for (long i = 0; i < rip.rippedCount; ++i) {
    wmp::MediaPtr item;
    rip.ripped->Item(i, &item);
    std::wstring url;
    item->SourceUrl(&url);
    sources.push_back(url);
    bytes += FileSize(url);
    transfer->AppendItem(item.get());
  }
  for (const std::wstring& path : earlierRip) {
    wmp::MediaPtr item;
    if (wmp::Failed(library->Add(path, &item))) return Fail("a ripped track was refused");
    sources.push_back(path);
    bytes += FileSize(path);
    transfer->AppendItem(item.get());
  }
  // More files to synchronise besides the rip, so that the run is long
  // enough to time: every file of EXTRA_FOLDER.
  if (argc > 4) {
    const std::wstring extra = argv[4];
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((extra + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::wstring path = extra + L"\\" + data.cFileName;
        wmp::MediaPtr item;
        if (wmp::Failed(library->Add(path, &item))) return Fail("an extra file was refused");
        sources.push_back(path);
        bytes += FileSize(path);
        transfer->AppendItem(item.get());
      } while (FindNextFileW(find, &data));
      FindClose(find);
    }
  }
  wmp::PlaylistPtr marks;
  library->GetByAttribute(L"MediaType", L"playlist", &marks);
  long markCount = 0;
  if (marks) marks->Count(&markCount);
  for (long i = 0; i < markCount; ++i) {
    wmp::MediaPtr item;
    std::wstring name;
    marks->Item(i, &item);
    item->Name(&name);
    item->SetItemInfo(wmp::SyncAttribute(static_cast<int>(partnership)),
                      name == L"Bench transfer" ? L"1" : L"0");
  }

  // The synchronisation, timed from the start call to the stopped event.
  const double marked = probe::Now();
  probe::PumpUntil([&] { return probe::Now() - marked >= 3.0; });
  const double syncStart = probe::Now();
  if (wmp::Failed(device->Start())) return Fail("the synchronisation did not start");
  probe::PumpUntil([&] { return events->syncStopped; });
  const double syncSeconds = probe::Now() - syncStart;
  long progress = 0;
  device->Progress(&progress);

  const std::wstring root = dynamic_cast<mediaengine::SyncDevice&>(*device).Description().root;
  int arrived = 0;
  for (const std::wstring& source : sources) {
    const std::wstring name = source.substr(source.find_last_of(L'\\') + 1);
    const std::wstring copy = FindOnPlayer(root, name);
    if (!copy.empty() && FileSize(copy) == FileSize(source)) ++arrived;
    probe::Print(L"file=" + copy + L"\tsource=" + source);
  }
  std::printf(
      "tracks=%ld items=%zu ripped=%ld synced=%d rip_errors=%d sync_errors=%d progress=%ld bytes=%llu "
      "rip_seconds=%.3f sync_seconds=%.4f rip_x_realtime=%.1f sync_mb_s=%.1f\n",
      rip.tracks, sources.size(), rip.rippedCount, arrived, events->ripErrors, events->syncErrors, progress,
      static_cast<unsigned long long>(bytes), rip.ripSeconds, syncSeconds,
      rip.ripSeconds > 0 ? rip.discSeconds / rip.ripSeconds : 0.0,
      syncSeconds > 0 ? static_cast<double>(bytes) / 1e6 / syncSeconds : 0.0);
  device->DeletePartnership();
  player->Close();
  const bool complete = (noRip || rip.rippedCount == rip.tracks) &&
                        arrived == static_cast<int>(sources.size()) && events->ripErrors == 0 &&
                        events->syncErrors == 0 && progress == 100;
  return complete ? 0 : 1;
}
