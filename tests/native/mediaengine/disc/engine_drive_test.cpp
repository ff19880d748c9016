// A disc read from the drive itself, through a fake of the CD-ROM control
// codes that serves PCM with faults injected per sector: its table of
// contents and CD-TEXT, the careful reading of every block, and whole rips
// that give the same files as the image of the same disc.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "engine/model/placeholders.h"
#include "fakes/fake_cdrom.h"
#include "mediaengine/cdrom/cd_drive.h"
#include "mediaengine/cdrom/disc_ripper.h"
#include "mediaengine/disc/careful_reader.h"
#include "mediaengine/disc/cd_audio.h"
#include "mediaengine/disc/cd_toc.h"
#include "mediaengine/disc/disc_image.h"
#include "mediaengine/disc/drive_disc.h"
#include "native/support/engine_world.h"
#include "os/text_encoding.h"

namespace {

using fakes::SectorFault;
using mediaengine::DiscStatus;
constexpr std::uint32_t kSector = mediaengine::kSectorBytes;

// Sectors whose bytes differ from sector to sector and track to track.
std::string Pcm(std::uint32_t sectors, int seed) {
  std::string bytes(static_cast<std::size_t>(sectors) * kSector, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<char>(((i + 7919u * seed) * 2654435761u) >> 13);
  }
  return bytes;
}

std::vector<std::string> Tracks(int count, std::uint32_t sectors) {
  std::vector<std::string> tracks;
  for (int i = 0; i < count; ++i) tracks.push_back(Pcm(sectors + 3 * i, i + 1));
  return tracks;
}

std::string U8(const std::wstring& text) { return os::Utf8FromWide(text); }

TEST(DriveDiscTest, TableOfContentsAndCdTextMakeTheDisc) {
  const std::string unknown1 = U8(wmp::UnknownTrackTitle(1));
  const std::string unknown2 = U8(wmp::UnknownTrackTitle(2));
  const std::string unknownAlbum = U8(wmp::kUnknownAlbum);
  struct Case {
    const char* why;
    std::function<void(fakes::FakeCdDisc&)> make;
    DiscStatus status;
    std::size_t tracks;
    std::string album, title1, title2, artist2;
    int badPacks;
  };
  const std::string cafe = "Caf\xE9";  // ISO-8859-1
  const Case cases[] = {
      {"ISO-8859-1 text; a TAB repeats the track before",
       [&](fakes::FakeCdDisc& d) {
         d.cdText = fakes::CdTextData({"Album", cafe, "Deux", "Trois"}, {"Band", "Ann", "\t", "Bo"});
       },
       DiscStatus::Ok, 3, "Album", "Café", "Deux", "Ann", 0},
      {"MS-JIS text (Shift-JIS, two bytes a character)",
       [](fakes::FakeCdDisc& d) {
         d.cdText = fakes::CdTextData({"\x83\x7D\x83\x8A\x83\x93\x83\x6F", "\x92\xA9", "\x96\xE9", ""},
                                      {}, 0x80);
       },
       DiscStatus::Ok, 3, "マリンバ", "朝", "夜", U8(wmp::kUnknownArtist), 0},
      {"a pack with a bad CRC loses only the texts in it",
       [](fakes::FakeCdDisc& d) {
         // Pack 0 holds the album and track 1, pack 1 the start of track 2.
         d.cdText = fakes::CdTextData({"Album12", "One", "Second title", "Three"}, {});
         d.cdText[4 + 18 + 6] ^= 0x20;
       },
       DiscStatus::Ok, 3, "Album12", "One", unknown2, U8(wmp::kUnknownArtist), 1},
      {"no CD-TEXT: the placeholders", [](fakes::FakeCdDisc&) {}, DiscStatus::Ok, 3, unknownAlbum,
       unknown1, unknown2, U8(wmp::kUnknownArtist), 0},
      {"enhanced CD: the data session is left out",
       [](fakes::FakeCdDisc& d) {
         d.tracks.push_back({4, true, d.leadOutLba + mediaengine::kSessionGapSectors});
         d.leadOutLba += mediaengine::kSessionGapSectors + 3000;
       },
       DiscStatus::Ok, 3, unknownAlbum, unknown1, unknown2, U8(wmp::kUnknownArtist), 0},
      {"data only: no audio CD",
       [](fakes::FakeCdDisc& d) {
         for (auto& track : d.tracks) track.data = true;
       },
       DiscStatus::NoAudio, 0, "", "", "", "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    fakes::FakeCdromDevices devices;
    fakes::FakeCdDisc disc = fakes::AudioDisc(Tracks(3, 60));
    const std::uint32_t audioEnd = disc.leadOutLba;
    c.make(disc);
    devices.Insert(L'D', disc);
    mediaengine::DiscProblem problem;
    auto read = mediaengine::DriveDisc::Open(devices, L'D', nullptr, &problem);
    EXPECT_EQ(problem.status, c.status) << U8(problem.reason);
    if (c.status != DiscStatus::Ok) continue;
    ASSERT_TRUE(read);
    ASSERT_EQ(read->Tracks().size(), c.tracks);
    EXPECT_EQ(U8(read->Album()), c.album);
    EXPECT_EQ(U8(read->Tracks()[0].title), c.title1);
    EXPECT_EQ(U8(read->Tracks()[1].title), c.title2);
    EXPECT_EQ(U8(read->Tracks()[1].artist), c.artist2);
    EXPECT_EQ(read->BadCdTextPacks(), c.badPacks);
    EXPECT_EQ(read->Tracks().back().startLba + read->Tracks().back().lengthSectors, audioEnd)
        << "the last audio track ends where its audio does";
    EXPECT_EQ(U8(read->Toc()), "3+96+D2+111+153");
  }
}

TEST(DriveDiscTest, NinetyNineTracksAnEmptyDriveAndAPollThatCostsNoCdText) {
  fakes::FakeCdromDevices devices;
  mediaengine::DiscProblem problem;
  EXPECT_FALSE(mediaengine::DriveDisc::Open(devices, L'E', nullptr, &problem));
  EXPECT_EQ(problem.status, DiscStatus::NoMedium) << "no such drive";
  devices.Insert(L'E', fakes::AudioDisc(Tracks(1, 30)));
  devices.Remove(L'E');
  EXPECT_FALSE(mediaengine::DriveDisc::Open(devices, L'E', nullptr, &problem));
  EXPECT_EQ(problem.status, DiscStatus::NoMedium) << "empty drive";

  std::vector<std::string> titles{"Many"};
  for (int i = 1; i <= 99; ++i) titles.push_back("T" + std::to_string(i));
  fakes::FakeCdDisc disc = fakes::AudioDisc(Tracks(99, 4));
  disc.cdText = fakes::CdTextData(titles, {});
  devices.Insert(L'E', disc);
  auto many = mediaengine::DriveDisc::Open(devices, L'E', nullptr, &problem);
  ASSERT_TRUE(many) << U8(problem.reason);
  ASSERT_EQ(many->Tracks().size(), 99u);
  EXPECT_EQ(U8(many->Tracks()[98].title), "T99");
  EXPECT_EQ(U8(many->Toc()).substr(0, 6), "63+96+");
  // The same table again: the disc shown is kept, not read anew.
  auto again = mediaengine::DriveDisc::Open(devices, L'E', many, &problem);
  EXPECT_EQ(again, many);
}

// Reads a whole track through the drive; the bytes, or the problem.
struct TrackRead {
  std::string pcm;
  mediaengine::DiscProblem problem;
  mediaengine::CarefulCounts counts;
};

TrackRead ReadDriveTrack(fakes::FakeCdromDevices& devices, int number) {
  TrackRead result;
  auto disc = mediaengine::DriveDisc::Open(devices, L'D', nullptr, &result.problem);
  if (!disc) return result;
  auto reader = disc->OpenTrack(number, &result.problem);
  if (!reader) return result;
  std::vector<std::uint8_t> chunk;
  while (reader->Read(44100, &chunk) && !chunk.empty()) result.pcm.append(chunk.begin(), chunk.end());
  result.problem = reader->Problem();
  result.counts = static_cast<mediaengine::CarefulTrackReader&>(*reader).Counts();
  return result;
}

TEST(CarefulReadingTest, EveryBlockAgreesTwiceOrTheTrackFails) {
  // Track 2 of 200 sectors at 150: 7 blocks of 27 sectors and one of 11, in
  // two windows of four blocks.
  const std::vector<std::string> tracks = {Pcm(150, 1), Pcm(200, 2), Pcm(100, 3)};
  struct Fault {
    std::uint32_t lba;
    SectorFault kind;
    int count;
  };
  struct Case {
    const char* why;
    std::vector<Fault> faults;
    DiscStatus status;
    int badBlocks;
    std::uint64_t minRereads, maxRereads;
  };
  const Case cases[] = {
      {"a sound disc: each block twice, nothing more", {}, DiscStatus::Ok, 0, 0, 0},
      {"a block that differs every other read agrees after re-reads",
       {{160, SectorFault::kFlapping, 0}}, DiscStatus::Ok, 0, 1, 2},
      {"a read error that passes", {{230, SectorFault::kReadError, 3}}, DiscStatus::Ok, 0, 2, 3},
      {"a block that never agrees fails the track",
       {{200, SectorFault::kNeverAgrees, 0}}, DiscStatus::BadBlocks, 1, 16, 16},
      {"two such blocks and one that always fails: all three counted",
       {{151, SectorFault::kNeverAgrees, 0}, {260, SectorFault::kNeverAgrees, 0},
        {349, SectorFault::kReadError, -1}},
       DiscStatus::BadBlocks, 3, 48, 48},
      {"the disc taken out mid-track", {{250, SectorFault::kDiscGone, 0}}, DiscStatus::NoMedium,
       0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    fakes::FakeCdromDevices devices;
    devices.Insert(L'D', fakes::AudioDisc(tracks));
    for (const Fault& f : c.faults) devices.AddFault(L'D', f.lba, f.kind, f.count);
    const TrackRead read = ReadDriveTrack(devices, 2);
    EXPECT_EQ(read.problem.status, c.status) << U8(read.problem.reason);
    EXPECT_EQ(read.counts.badBlocks, c.badBlocks);
    EXPECT_GE(read.counts.rereads, c.minRereads);
    EXPECT_LE(read.counts.rereads, c.maxRereads);
    if (c.status == DiscStatus::Ok) {
      EXPECT_TRUE(read.pcm == tracks[1]) << "exactly the disc's bytes";
      EXPECT_EQ(read.counts.blockReads, 16 + read.counts.rereads);
    }
    if (c.status == DiscStatus::BadBlocks) {
      EXPECT_EQ(read.problem.badBlocks, c.badBlocks);
      EXPECT_NE(U8(read.problem.reason).find("track 2: " + std::to_string(c.badBlocks) + " blocks"),
                std::string::npos)
          << U8(read.problem.reason);
    }
  }
}

// Warnings and errors of a rip, as a host sees them.
class RipLog : public wmp::PlayerEventsBase {
 public:
  void MediaError(wmp::IMedia*) override { ++errors; }
  void Warning(long type, long param, const std::wstring& text) override {
    if (type == mediaengine::kWarningTrackRipFailed) warnings.emplace_back(param, U8(text));
  }
  int errors = 0;
  std::vector<std::pair<long, std::string>> warnings;
};

class DriveRipTest : public testing::Test, public testing_support::EngineWorld {
 protected:
  DriveRipTest() {
    files.AddDrive(L'D');  // the drive's root: no cue sheet
    disc = fakes::AudioDisc(tracks);
    disc.cdText = fakes::CdTextData({"Drive Album", "One", "Two", "Three"}, {"Band"});
  }

  // The same disc as an image in F:.
  std::shared_ptr<const mediaengine::DiscImage> Image() {
    files.AddDrive(L'F');
    files.AddFile(L"F:\\disc.cue",
                  "PERFORMER Band\nTITLE \"Drive Album\"\nFILE disc.bin BINARY\n"
                  "TRACK 01 AUDIO\nTITLE One\nINDEX 01 00:00:00\n"
                  "TRACK 02 AUDIO\nTITLE Two\nINDEX 01 00:01:15\n"
                  "TRACK 03 AUDIO\nTITLE Three\nINDEX 01 00:02:30\n");
    files.AddFile(L"F:\\disc.bin", disc.pcm);
    mediaengine::DiscProblem problem;
    return mediaengine::DiscImage::Open(files, L"F:\\", &problem);
  }

  mediaengine::RipPreferences Preferences() { return EngineWorld::Preferences(64000); }

  std::shared_ptr<RipLog> RipWholeDisc(mediaengine::CdDrive& drive) {
    auto log = std::make_shared<RipLog>();
    std::uint32_t cookie = 0;
    events.Advise(log, &cookie);
    EXPECT_EQ(drive.StartRip(), wmp::kOk);
    long state = 0;
    for (int i = 0; i < 3000 && drive.RipState(&state) == wmp::kOk &&
                    state == static_cast<long>(wmp::RipState::Ripping);
         ++i) {
      queue.Drain();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    drive.Shutdown();
    queue.Drain();
    events.Unadvise(cookie);
    return log;
  }

  std::vector<std::string> Ripped() {
    std::vector<os::FindEntry> entries;
    files.FindFiles(L"C:\\Music\\Band\\Drive Album\\*", &entries);
    std::vector<std::string> names;
    for (const auto& entry : entries) {
      if (!entry.IsFolder()) names.push_back(U8(entry.name));
    }
    return names;
  }

  const std::vector<std::string> tracks = {Pcm(90, 1), Pcm(90, 2), Pcm(60, 3)};
  fakes::FakeCdDisc disc;
};

TEST_F(DriveRipTest, ADriveWithoutACueSheetRipsTheSameFilesAsTheImage) {
  auto image = Image();
  ASSERT_TRUE(image);
  devices.Insert(L'D', disc);
  auto drive = std::make_shared<mediaengine::CdDrive>(context, L'D', [] {});
  ASSERT_TRUE(drive->Poll());
  auto session = drive->Session();
  ASSERT_TRUE(session);
  EXPECT_EQ(session->DiscAttribute(L"TOC"), image->Toc()) << "one disc, one identity";
  EXPECT_EQ(session->TrackAttribute(2, L"Title"), L"Two");
  EXPECT_FALSE(drive->Poll()) << "the same disc is no change";

  auto imageSession = std::make_shared<mediaengine::DiscSession>(image);
  std::vector<std::string> fromImage;
  for (int n = 1; n <= 3; ++n) {
    const auto result = mediaengine::RipTrack(context, *imageSession, n, Preferences(),
                                              [] { return false; }, [](int) {});
    ASSERT_EQ(result.outcome, mediaengine::TrackRipOutcome::Ripped) << U8(result.reason);
    fromImage.push_back(files.Content(result.path));
    files.Delete(result.path);
  }
  auto log = RipWholeDisc(*drive);
  EXPECT_EQ(log->errors, 0);
  const auto names = Ripped();
  ASSERT_EQ(names.size(), 3u);
  for (int n = 1; n <= 3; ++n) {
    const std::wstring path = mediaengine::RipPathOf(Preferences(), *session, n);
    EXPECT_TRUE(files.Content(path) == fromImage[static_cast<std::size_t>(n - 1)])
        << "track " << n << " byte for byte as from the image";
  }
}

TEST_F(DriveRipTest, ATrackThatNeverReadsTheSameLeavesNoFileAndSaysWhy) {
  struct Case {
    const char* why;
    SectorFault fault;
    std::uint32_t lba;
    long warnedTrack;
    std::string warning;
  };
  const Case cases[] = {
      {"a block of track 2 never agrees", SectorFault::kNeverAgrees, 120, 2, "track 2: 1 blocks"},
      {"the disc taken out during track 1", SectorFault::kDiscGone, 60, 1,
       "left the drive during track 1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    for (const auto& name : Ripped()) files.Delete(L"C:\\Music\\Band\\Drive Album\\" + os::WideFromUtf8(name));
    devices.Insert(L'D', disc);
    devices.AddFault(L'D', c.lba, c.fault);
    auto drive = std::make_shared<mediaengine::CdDrive>(context, L'D', [] {});
    ASSERT_TRUE(drive->Poll());
    auto log = RipWholeDisc(*drive);
    EXPECT_GE(log->errors, 1);
    ASSERT_FALSE(log->warnings.empty());
    EXPECT_EQ(log->warnings.front().first, c.warnedTrack);
    EXPECT_NE(log->warnings.front().second.find(c.warning), std::string::npos)
        << log->warnings.front().second;
    for (const auto& name : Ripped()) {
      EXPECT_EQ(name.find(c.warnedTrack == 2 ? "Two" : "One"), std::string::npos)
          << name << ": no file of the failed track";
      EXPECT_EQ(name.find(".part"), std::string::npos) << name;
    }
    if (c.fault == SectorFault::kDiscGone) {
      EXPECT_TRUE(drive->Poll()) << "the disc is gone";
      EXPECT_FALSE(drive->Session());
    }
  }
  // Eject opens the drive's tray.
  devices.Insert(L'D', disc);
  auto drive = std::make_shared<mediaengine::CdDrive>(context, L'D', [] {});
  ASSERT_TRUE(drive->Poll());
  EXPECT_EQ(drive->Eject(), wmp::kOk);
  EXPECT_EQ(devices.Ejects(L'D'), 1);
  EXPECT_FALSE(drive->Session());
}

}  // namespace
