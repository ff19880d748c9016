// Rips the disc in the first CD-ROM drive with our engine, as the tool makes
// it do, into the rip folder given on the command line; prints one line per
// finished file and exits 0 only when every track arrived.
//
// usage: rip_disc.exe RIP_FOLDER LIBRARY_FOLDER [64000|128000]
#include <cstdio>
#include <memory>
#include <string>

#include "probe_engine.h"

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

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: rip_disc.exe RIP_FOLDER LIBRARY_FOLDER [RATE]\n");
    return 2;
  }
  probe::Engine host(argv[1], argv[2],
                     argc > 3 ? static_cast<std::uint32_t>(_wtoi(argv[3])) : 64000);
  mediaengine::Player& player = host.Player();
  auto progress = std::make_shared<Progress>();
  std::uint32_t cookie = 0;
  player.Advise(progress, &cookie);

  probe::DiscRip rip;
  const char* why = "";
  if (!probe::RipFirstDisc(player, &rip, &why, true)) {
    std::fprintf(stderr, "rip_disc: %s\n", why);
    return 1;
  }
  // One line per file with the length of its track on the disc, to compare.
  for (long i = 0; i < rip.rippedCount; ++i) {
    wmp::MediaPtr item;
    rip.ripped->Item(i, &item);
    std::wstring url, number;
    item->SourceUrl(&url);
    item->GetItemInfo(L"WM/TrackNumber", &number);
    wmp::MediaPtr track;
    double length = 0;
    if (wmp::Succeeded(rip.disc->Item(_wtol(number.c_str()) - 1, &track))) track->Duration(&length);
    probe::Print(L"file=" + url + L"\tdisc_seconds=" + std::to_wstring(length));
  }
  std::printf("tracks=%ld ripped=%ld errors=%d seconds=%.2f rip_x_realtime=%.1f\n", rip.tracks,
              rip.rippedCount, progress->errors, rip.ripSeconds,
              rip.ripSeconds > 0 ? rip.discSeconds / rip.ripSeconds : 0.0);
  player.Close();
  return rip.rippedCount == rip.tracks && progress->errors == 0 ? 0 : 1;
}
