#pragma once
// What the engine probes share: our engine on the real adapters with the rip
// preferences the tool sets, its event window, and the rip of the disc in
// the first CD-ROM drive while the window's messages are pumped.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "mediaengine/player/player.h"
#include "os/reg_key.h"
#include "os/text_encoding.h"
#include "os/win32/win32_clock.h"
#include "os/win32/win32_drives.h"
#include "os/win32/win32_file_system.h"
#include "os/win32/win32_registry.h"
#include "os/win32/win32_system.h"
#include "mediaengine/win32/engine_window.h"

namespace probe {

inline double Now() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Runs the message loop (the engine's window delivers its events) until
// `done`, looking at it again after each message and every `pollMs` (a rip's
// end comes with no message). Under Wine each wait is a round trip to the
// Wine server: waits of 1 ms kept it and this thread at a few percent of a
// core, taken from the rip being measured.
template <typename Done>
void PumpUntil(Done done, DWORD pollMs = 10) {
  MSG message;
  while (!done()) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    if (!done()) MsgWaitForMultipleObjects(0, nullptr, FALSE, pollMs, QS_ALLINPUT);
  }
}

inline void Print(const std::wstring& text) {
  std::printf("%s\n", os::Utf8FromWide(text).c_str());
}

class Engine {
 public:
  // Rips go to `ripFolder` at `rate` bit/s; the library lives in `libraryFolder`.
  Engine(const std::wstring& ripFolder, const std::wstring& libraryFolder, std::uint32_t rate) {
    {
      os::RegKey key = os::RegKey::Create(registry_, os::Hive::CurrentUser,
                                          L"Software\\Microsoft\\MediaPlayer\\Preferences",
                                          os::KeyAccess::Write);
      key.SetString(L"CDRecordPath", ripFolder);
      key.SetDword(L"WMARecordRate", rate);
    }
    mediaengine::EngineConfig config{files_, drives_, registry_, system_, clock_, libraryFolder, 11,
                                nullptr};
    player_ = mediaengine::Player::Create(config);
    window_ = std::make_unique<mediaengine::win32::EngineWindow>(player_);
  }
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  mediaengine::Player& Player() { return *player_; }

 private:
  os::win32::Win32Registry registry_;
  os::win32::Win32FileSystem files_;
  os::win32::Win32Drives drives_;
  os::win32::Win32System system_;
  os::win32::Win32Clock clock_;
  std::shared_ptr<mediaengine::Player> player_;
  std::unique_ptr<mediaengine::win32::EngineWindow> window_;
};

struct DiscRip {
  wmp::PlaylistPtr disc;
  long tracks = 0;
  double discSeconds = 0;  // the audio on the disc
  double ripSeconds = 0;   // from the start call to the end of the rip
  wmp::PlaylistPtr ripped;  // the library's items of the disc
  long rippedCount = 0;
};

// Rips the disc of the first CD-ROM drive; false, with why, when no rip ran.
// With `marks`, "rip_begin" and "rip_end" lines are printed (and flushed)
// as the rip starts and ends, for a watcher that samples the processor.
inline bool RipFirstDisc(mediaengine::Player& player, DiscRip* rip, const char** why,
                         bool marks = false) {
  wmp::CdromCollectionPtr cdroms;
  player.CdromCollection(&cdroms);
  wmp::CdromPtr drive;
  if (!cdroms || wmp::Failed(cdroms->Item(0, &drive)) || !drive) {
    *why = "no CD-ROM drive";
    return false;
  }
  drive->Playlist(&rip->disc);
  if (rip->disc) rip->disc->Count(&rip->tracks);
  if (rip->tracks <= 0) {
    *why = "no audio disc in the drive";
    return false;
  }
  for (long i = 0; i < rip->tracks; ++i) {
    wmp::MediaPtr track;
    double length = 0;
    if (wmp::Succeeded(rip->disc->Item(i, &track)) && track) track->Duration(&length);
    rip->discSeconds += length;
  }
  wmp::CdromRipPtr ripper = drive->Rip();
  auto mark = [&](const char* text) {
    if (!marks) return;
    std::printf("%s\n", text);
    std::fflush(stdout);
  };
  mark("rip_begin");
  const double start = Now();
  if (!ripper || wmp::Failed(ripper->StartRip())) {
    *why = "the rip did not start";
    return false;
  }
  PumpUntil([&] {
    long state = 0;
    ripper->RipState(&state);
    return state != static_cast<long>(wmp::RipState::Ripping);
  });
  player.DrainEvents();
  rip->ripSeconds = Now() - start;
  mark("rip_end");

  wmp::MediaCollectionPtr library;
  player.MediaCollection(&library);
  std::wstring toc;
  rip->disc->GetItemInfo(L"TOC", &toc);
  if (library) library->GetByAttribute(L"TOC", toc, &rip->ripped);
  if (rip->ripped) rip->ripped->Count(&rip->rippedCount);
  return true;
}

}  // namespace probe
