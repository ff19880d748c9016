// Writes the seed corpus of every fuzz harness into FOLDER/<harness>/, made
// by the engine's own writers the way the product makes these files: cue
// sheets and .cda files of generated discs, .wma files from the encoder, the
// library store and WPL files of a library in use, identity files as the
// demo player has them, WMPInfo.xml as a partnership writes it.
//
// usage: fuzz_seeds FOLDER
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "fakes/fake_file_system.h"
#include "mediaengine/codec/wma_encoder.h"
#include "mediaengine/devices/wmp_info_file.h"
#include "mediaengine/disc/cd_audio.h"
#include "mediaengine/disc/cda_file.h"
#include "mediaengine/disc/cue_sheet.h"
#include "mediaengine/disc/disc_layout.h"
#include "mediaengine/library/media_library.h"
#include "os/text_encoding.h"

namespace {

namespace fs = std::filesystem;

class Corpus {
 public:
  explicit Corpus(fs::path root) : root_(std::move(root)) {}

  void Add(const std::string& harness, const std::string& bytes) {
    const fs::path folder = root_ / harness;
    fs::create_directories(folder);
    const fs::path file = folder / ("seed-" + std::to_string(++counts_[harness]));
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) failed_ = true;
  }
  void Fail(const std::string& why) {
    std::fprintf(stderr, "fuzz_seeds: %s\n", why.c_str());
    failed_ = true;
  }
  bool Failed() const { return failed_; }

 private:
  fs::path root_;
  std::map<std::string, int> counts_;
  bool failed_ = false;
};

std::string CueTime(std::uint32_t sectors) {
  const mediaengine::Msf msf = mediaengine::MsfOf(sectors);
  char text[16];
  std::snprintf(text, sizeof text, "%02u:%02u:%02u", static_cast<unsigned>(msf.minute),
                static_cast<unsigned>(msf.second), static_cast<unsigned>(msf.frame));
  return text;
}

struct SheetPlan {
  int tracks = 3;
  std::uint32_t trackSectors = 40;  // short, so the disc harness reads it whole
  bool rich = false;                // every command the parser knows
  const char* newline = "\r\n";
  bool mark = false;
};

// A cue sheet as make-demo-disc writes one (and, when rich, with the
// commands other writers add).
std::string Sheet(const SheetPlan& plan) {
  const std::string nl = plan.newline;
  std::string cue = plan.mark ? "\xEF\xBB\xBF" : "";
  cue += "REM GENRE \"Jazz\"" + nl + "REM DATE 2024" + nl + "REM COMMENT \"generated\"" + nl;
  cue += "PERFORMER \"木琴合奏団\"" + nl + "TITLE \"マリンバの午後\"" + nl;
  if (plan.rich) {
    cue += "REM DISCID 2A0B3C04" + nl + "CATALOG 4988001234567" + nl + "SONGWRITER \"作曲者\"" + nl;
    cue += "CDTEXTFILE \"demo.cdt\"" + nl;
  }
  cue += "FILE \"demo.bin\" BINARY" + nl;
  std::uint32_t position = 0;
  for (int t = 1; t <= plan.tracks; ++t) {
    char header[32];
    std::snprintf(header, sizeof header, "  TRACK %02d AUDIO", t);
    cue += header + nl + "    TITLE \"トラック " + std::to_string(t) + "\"" + nl;
    if (plan.rich) {
      cue += "    PERFORMER Guest Player" + nl + "    FLAGS DCP PRE" + nl + "    ISRC JPABC2400001" + nl;
    }
    if (t > 1 && t % 2 == 0) {
      cue += "    INDEX 00 " + CueTime(position) + nl;
      position += 5;
    } else if (t > 1 && plan.rich) {
      cue += "    PREGAP 00:00:10" + nl;
    }
    cue += "    INDEX 01 " + CueTime(position) + nl;
    if (plan.rich && t == plan.tracks) cue += "    POSTGAP 00:00:07" + nl;
    position += plan.trackSectors;
  }
  return cue;
}

void CueAndDiscSeeds(Corpus& corpus) {
  std::vector<SheetPlan> plans(6);
  plans[1].rich = true;
  plans[2].newline = "\n";
  plans[2].mark = true;
  plans[3].tracks = 12;
  plans[3].trackSectors = 20;
  plans[4].tracks = 1;
  plans[5].tracks = 99;
  plans[5].trackSectors = 2;
  for (const SheetPlan& plan : plans) {
    const std::string cue = Sheet(plan);
    corpus.Add("cue_sheet", cue);
    mediaengine::CueSheet sheet;
    mediaengine::CueError error;
    mediaengine::DiscLayout layout;
    // A seed the parser refuses would leave the harness at its first line.
    if (!mediaengine::ParseCueSheet(cue, &sheet, &error)) {
      corpus.Fail("a generated cue sheet does not parse: " + os::Utf8FromWide(error.reason));
      continue;
    }
    const std::uint32_t sectors = sheet.tracks.back().index1 + plan.trackSectors;
    // The disc harness: image length in sectors, then the sheet.
    const std::string length{static_cast<char>(sectors & 0xFF), static_cast<char>(sectors >> 8)};
    corpus.Add("disc_image", length + cue);
    if (!mediaengine::LayOutDisc(sheet, std::uint64_t{sectors} * mediaengine::kSectorBytes, &layout, &error)) {
      corpus.Fail("a generated disc does not lay out: " + os::Utf8FromWide(error.reason));
      continue;
    }
    const std::uint32_t serial = mediaengine::AudioCdSerial(layout);
    for (std::size_t i = 0; i < layout.tracks.size() && i < 4; ++i) {
      const auto bytes = mediaengine::BuildCdaFile(
          {static_cast<std::uint16_t>(i + 1), serial, layout.tracks[i].startLba, layout.tracks[i].lengthSectors});
      corpus.Add("cda", std::string(bytes.begin(), bytes.end()));
    }
  }
  const std::uint32_t last = mediaengine::kMaxAddress - mediaengine::kLeadInSectors;
  for (const mediaengine::CdaTrack& track : {mediaengine::CdaTrack{99, 0xFFFFFFFFu, last, 1},
                                             mediaengine::CdaTrack{1, 0, 0, last + 1}}) {
    const auto bytes = mediaengine::BuildCdaFile(track);
    corpus.Add("cda", std::string(bytes.begin(), bytes.end()));
  }
}

mediaengine::AsfTags Tags(int n) {
  mediaengine::AsfTags tags;
  tags.title = L"朝のマリンバ " + std::to_wstring(n);
  tags.author = L"木琴合奏団";
  tags.albumTitle = L"マリンバの午後";
  tags.albumArtist = L"木琴合奏団 & Friends";
  tags.genre = n % 2 ? L"Jazz" : L"";
  tags.year = L"2024";
  tags.trackNumber = std::to_wstring(n);
  return tags;
}

void AsfSeeds(Corpus& corpus) {
  fakes::FakeFileSystem files;
  files.AddDrive(L'C');
  std::vector<std::int16_t> stereo(2 * 4410);
  for (std::size_t n = 0; n < stereo.size() / 2; ++n) {
    const auto sample = static_cast<std::int16_t>(8000 * std::sin(2 * 3.14159265 * 523.25 * n / 44100));
    stereo[2 * n] = sample;
    stereo[2 * n + 1] = static_cast<std::int16_t>(sample / 2);
  }
  int n = 0;
  for (std::uint32_t rateClass : {mediaengine::kWmaRateClass64, mediaengine::kWmaRateClass128}) {
    for (std::size_t frames : {stereo.size() / 2, std::size_t{0}}) {
      mediaengine::WmaEncoder encoder;
      const std::wstring path = L"C:\\seed" + std::to_wstring(++n) + L".wma";
      if (encoder.Open(files, path, Tags(n), rateClass, 133485408000000000ULL) != os::kSuccess ||
          (frames && encoder.Write(stereo.data(), frames) != os::kSuccess) ||
          encoder.Finish() != os::kSuccess) {
        corpus.Fail("the encoder failed");
        continue;
      }
      corpus.Add("asf_reader", files.Content(path));
    }
  }
}

void WplSeeds(Corpus& corpus) {
  corpus.Add("wpl", std::string(1, '\0') + "転送 & <Sync>\nC:\\Music\\Tom & Jerry\\it's.wma\nC:\\Music\\a.wma");
  corpus.Add("wpl", std::string(1, '\0') + "NUL.mix\n\t\"quoted\"\r\n");
  // Wide characters as they may stand in memory: a lone surrogate, U+FFFF
  // and a value past U+10FFFF.
  std::string raw(1, '\1');
  for (std::uint32_t c : {0x41u, 0xD800u, 0x42u, 0xFFFFu, 0x0Au, 0x110000u, 0x1F3B5u}) {
    raw += {static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF), static_cast<char>(c >> 16)};
  }
  corpus.Add("wpl", raw);
}

// The store of a library in use: rips, playlists, sync marks, a removal.
void LibrarySeeds(Corpus& corpus) {
  fakes::FakeFileSystem files;
  files.AddDrive(L'C');
  const std::wstring folder = L"C:\\Library";  // as the library harness opens it
  mediaengine::MediaLibrary library(files, folder, nullptr);
  library.Load();
  auto media = library.MediaCollection();
  auto playlists = library.PlaylistCollection();
  std::vector<wmp::MediaPtr> items;
  for (int t = 1; t <= 3; ++t) {
    mediaengine::RippedTrack track;
    track.url = L"C:\\Music\\木琴合奏団\\マリンバの午後\\0" + std::to_wstring(t) + L" トラック.wma";
    track.title = t == 2 ? L"タブ\tと\\改行\nあり" : L"トラック " + std::to_wstring(t);
    track.artist = L"木琴合奏団";
    track.albumTitle = L"マリンバの午後";
    track.albumArtist = L"木琴合奏団";
    track.genre = L"Jazz";
    track.trackNumber = t;
    track.toc = L"3+96+27DF+4A10+6C33";
    track.durationSeconds = 200.25 + t;
    track.bitrate = 64000;
    track.fileSize = 1000u + static_cast<unsigned>(t);
    track.extra = {{L"WM/Year", L"2024"}};
    wmp::MediaPtr item;
    if (library.AddRipped(track, &item) == wmp::kOk) items.push_back(item);
  }
  wmp::PlaylistPtr list, other;
  playlists->NewPlaylist(L"転送 & <Sync>", &list);
  playlists->NewPlaylist(L"NUL.mix", &other);
  for (const wmp::MediaPtr& item : items) list->AppendItem(item.get());
  list->SetItemInfo(L"Sync07", L"1");
  library.Save();
  const std::wstring store = folder + L"\\library.txt";
  corpus.Add("library_store", files.Content(store));
  if (items.size() != 3) corpus.Fail("the library took no rips");
  media->Remove(items.front().get(), false);
  library.Save();
  corpus.Add("library_store", files.Content(store));
}

void PlayerSeeds(Corpus& corpus) {
  // As tools/make-demo-player writes the internal storage and a card.
  corpus.Add("player_inf",
             "Maker=Orbit\nModel=Cadenza Digital Audio Player\nSerial=ORB-DEMO-0001\nStorage=Internal\n"
             "SyncFolder=Root\nCapacity=1073741824\n");
  corpus.Add("player_inf",
             "Maker=Orbit\nModel=Cadenza Digital Audio Player\nSerial=ORB-DEMO-0001-SD\nStorage=Card\n"
             "SyncFolder=Music\nCapacity=1073741824\n");
  corpus.Add("player_inf", "\xEF\xBB\xBF maker = ORBIT \r\nserial=7\r\nStorage=card\r\nColour=blue\r\n");

  const std::wstring id = mediaengine::DeviceIdOf(L"drive|Orbit|ORB-DEMO-0001");
  const std::string utf16 = mediaengine::WmpInfoBytes(id);
  const std::string utf8 = "\xEF\xBB\xBF<?xml version=\"1.0\"?>\r\n<!-- written elsewhere -->\r\n"
                           "<DeviceInfo Version='2'><WMP DeviceID='" + os::Utf8FromWide(id) +
                           "' Name=\"Orbit &amp; Co\"/></DeviceInfo>\r\n";
  corpus.Add("wmp_info", utf16);
  corpus.Add("wmp_info", utf8);
  corpus.Add("wmp_info", mediaengine::WmpInfoBytes(L"a\"b'c<d>&e\t"));

  // The first-line harness: a byte for the length asked, then the file.
  corpus.Add("first_line", std::string(1, '\x3F') + utf16);
  corpus.Add("first_line", std::string(1, '\x10') + utf8);
  std::string bigEndian = "\xFE\xFF";
  for (char16_t unit : os::Utf16FromWide(L"ID=テスト\r\nsecond")) {
    bigEndian += {static_cast<char>(unit >> 8), static_cast<char>(unit & 0xFF)};
  }
  corpus.Add("first_line", std::string(1, '\x08') + bigEndian);
  corpus.Add("first_line", std::string(1, '\x05') + "caf\xE9\r\nline two");
  corpus.Add("first_line", std::string(1, '\x02') + "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_seeds FOLDER\n");
    return 2;
  }
  Corpus corpus(argv[1]);
  CueAndDiscSeeds(corpus);
  AsfSeeds(corpus);
  WplSeeds(corpus);
  LibrarySeeds(corpus);
  PlayerSeeds(corpus);
  return corpus.Failed() ? 1 : 0;
}
