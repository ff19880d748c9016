// A generated disc ripped as the engine does it: heard through ffmpeg the
// music comes back close to the disc's PCM and a high tone survives at
// 128 kbit/s; a track that cannot be read or written leaves nothing under
// its final name; a whole disc ripped on two threads reaches the library in
// disc order, its tracks coded in batches on both threads into the very bytes
// one encoder gives.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <thread>
#include <vector>

#include "fakes/fake_file_system.h"
#include "mediaengine/cdrom/cd_drive.h"
#include "mediaengine/cdrom/disc_ripper.h"
#include "mediaengine/cdrom/progress_pacer.h"
#include "mediaengine/cdrom/rip_order.h"
#include "mediaengine/cdrom/track_ripper.h"
#include "mediaengine/codec/wma_encoder.h"
#include "mediaengine/disc/disc_image.h"
#include "native/support/engine_signals.h"
#include "native/support/engine_world.h"
#include "native/support/ffmpeg_tools.h"
#include "native/support/posix_file_system.h"
#include "os/text_encoding.h"

namespace {

using mediaengine::TrackRipOutcome;

constexpr std::size_t kSectorFrames = 588;
constexpr double kHighTone = 12000.0;
constexpr double kHighToneAmplitude = 6000.0;

std::string Bytes(const std::vector<std::int16_t>& samples) {
  std::string bytes(samples.size() * 2, '\0');
  for (std::size_t i = 0; i < samples.size(); ++i) {
    bytes[2 * i] = static_cast<char>(samples[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<char>((samples[i] >> 8) & 0xFF);
  }
  return bytes;
}

// A disc in D: of the fake file system: track 1 music (4 s), track 2 a
// 12 kHz tone with a low one under it (3 s), track 3 quiet music (2 s).
struct GeneratedDisc {
  std::vector<std::vector<std::int16_t>> tracks;

  explicit GeneratedDisc(fakes::FakeFileSystem& files) {
    tracks.push_back(engine_signals::MusicLike(300 * kSectorFrames, 44100.0));
    std::vector<std::int16_t> tone =
        engine_signals::StereoTone(kHighTone, kHighToneAmplitude, 1.0, 225 * kSectorFrames);
    const std::vector<std::int16_t> low =
        engine_signals::StereoTone(330.0, 3000.0, -0.8, 225 * kSectorFrames);
    for (std::size_t i = 0; i < tone.size(); ++i) tone[i] = static_cast<std::int16_t>(tone[i] + low[i]);
    tracks.push_back(tone);
    std::vector<std::int16_t> quiet = engine_signals::MusicLike(150 * kSectorFrames, 44100.0);
    for (auto& sample : quiet) sample = static_cast<std::int16_t>(sample / 8);
    tracks.push_back(quiet);

    std::string image;
    for (const auto& track : tracks) image += Bytes(track);
    files.AddDrive(L'D');
    files.AddFile(L"D:\\disc.cue",
                  "PERFORMER \"合成楽団\"\nTITLE \"試験盤\"\nFILE \"disc.bin\" BINARY\n"
                  "TRACK 01 AUDIO\n  TITLE \"音楽\"\n  INDEX 01 00:00:00\n"
                  "TRACK 02 AUDIO\n  TITLE \"高音\"\n  INDEX 01 00:04:00\n"
                  "TRACK 03 AUDIO\n  TITLE \"静か\"\n  INDEX 01 00:07:00\n");
    files.AddFile(L"D:\\disc.bin", image);
    for (int n = 1; n <= 3; ++n) files.AddFile(L"D:\\Track0" + std::to_wstring(n) + L".cda", "cda");
  }
};

class RipTest : public testing::Test, public testing_support::EngineWorld {
 protected:
  RipTest() : disc(files) {
    mediaengine::DiscProblem problem;
    auto image = mediaengine::DiscImage::Open(files, L"D:", &problem);
    EXPECT_TRUE(image) << os::Utf8FromWide(problem.reason);
    if (image) session = std::make_shared<mediaengine::DiscSession>(image);
  }

  mediaengine::TrackRipResult Rip(int number, std::uint32_t rate,
                                  std::function<bool()> stopped = [] { return false; }) {
    return mediaengine::RipTrack(context, *session, number, Preferences(rate), stopped, [](int) {});
  }

  // Names of the files in the rip folder of the disc.
  std::vector<std::string> RipFolderFiles(std::uint32_t rate) {
    std::vector<os::FindEntry> entries;
    files.FindFiles(mediaengine::RipFolderOf(Preferences(rate), *session) + L"\\*", &entries);
    std::vector<std::string> names;
    for (const auto& entry : entries) {
      if (entry.name != L"." && entry.name != L"..") names.push_back(os::Utf8FromWide(entry.name));
    }
    return names;
  }

  long LibraryCount() {
    wmp::PlaylistPtr all;
    long count = -1;
    if (wmp::Succeeded(library.MediaCollection()->GetAll(&all))) all->Count(&count);
    return count;
  }

  GeneratedDisc disc;
  std::shared_ptr<mediaengine::DiscSession> session;
};

TEST_F(RipTest, RippedTracksSoundLikeTheDiscAndKeepAHighToneAt128) {
  if (!ffmpeg_tools::Installed("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
  ASSERT_TRUE(session);
  testing_support::TempFolder folder;
  ASSERT_TRUE(folder.ok());
  const struct {
    std::uint32_t rate;
    int track;
    double minSnrDb;
  } cases[] = {
      // About 2 dB below what libavcodec 5.1 gives, as its float paths
      // differ a little between processors.
      {128000, 1, 18.0}, {128000, 2, 40.0}, {128000, 3, 18.0},
      {64000, 1, 15.0},  {64000, 3, 15.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rate << " track " << c.track);
    const mediaengine::TrackRipResult result = Rip(c.track, c.rate);
    ASSERT_EQ(result.outcome, TrackRipOutcome::Ripped) << os::Utf8FromWide(result.reason);
    const std::string path = folder.path() + "/track" + std::to_string(c.rate) + "_" + std::to_string(c.track) + ".wma";
    std::ofstream(path, std::ios::binary) << files.Content(result.path);

    const std::vector<std::int16_t>& source = disc.tracks[static_cast<std::size_t>(c.track - 1)];
    const std::vector<std::int16_t> decoded = ffmpeg_tools::Decoded(path);
    ASSERT_GE(decoded.size(), source.size()) << "the whole track decodes";
    // The tone track repeats every 4410 frames: look for shorter lags only.
    const std::size_t lag = engine_signals::BestLag(source, decoded, 22050, 4096, 4000);
    EXPECT_EQ(lag, 0u) << "nothing lost or added at the start";
    ASSERT_GE(decoded.size(), source.size() + 2 * lag) << "the end of the track is there";
    const std::vector<std::int16_t> aligned(decoded.begin() + 2 * lag, decoded.end());
    const double snr = engine_signals::SnrDb(source, aligned, source.size());
    EXPECT_GT(snr, c.minSnrDb);
    std::printf("fidelity: %u bit/s track %d SNR %.1f dB\n", c.rate, c.track, snr);

    if (c.track == 2 && c.rate == 128000) {
      // 12 kHz stays at its level (within 1 dB) in both channels; 147
      // frames hold exactly 40 of its periods.
      for (int channel = 0; channel < 2; ++channel) {
        const auto fit = engine_signals::FitTone(aligned, 2, channel, 44100, 44100 + 147 * 100,
                                                 kHighTone, 44100.0);
        const double level = 20.0 * std::log10(fit.amplitude / kHighToneAmplitude);
        EXPECT_NEAR(level, 0.0, 1.0) << channel;
        std::printf("fidelity: 12 kHz tone, channel %d, %+.2f dB against the disc\n", channel, level);
      }
    }
  }
}

TEST_F(RipTest, ATrackThatCannotBeReadOrWrittenLeavesNoFileBehind) {
  ASSERT_TRUE(session);
  const std::string image = files.Content(L"D:\\disc.bin");
  struct Case {
    const char* what;
    std::function<void()> spoil;
    std::function<bool()> stopped;
    TrackRipOutcome outcome;
  };
  int polls = 0;
  const Case cases[] = {
      {"image shorter than its sheet", [&] { files.AddFile(L"D:\\disc.bin", image.substr(0, image.size() / 2)); },
       [] { return false; }, TrackRipOutcome::DiscFailed},
      {"image gone", [&] { files.Delete(L"D:\\disc.bin"); }, [] { return false; },
       TrackRipOutcome::DiscFailed},
      {"rip folder full", [&] { files.AddDrive(L'C', 20000); files.AddFolder(L"C:\\Library"); },
       [] { return false; }, TrackRipOutcome::WriteFailed},
      {"stopped halfway", [] {}, [&] { return ++polls > 2; }, TrackRipOutcome::Stopped},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    files.AddDrive(L'C');
    files.AddFile(L"D:\\disc.bin", image);
    c.spoil();
    const mediaengine::TrackRipResult result = mediaengine::RipTrack(
        context, *session, 3, Preferences(128000), c.stopped, [](int) {});
    EXPECT_EQ(result.outcome, c.outcome) << os::Utf8FromWide(result.reason);
    EXPECT_FALSE(files.Exists(result.path));
    EXPECT_EQ(RipFolderFiles(128000), std::vector<std::string>{}) << "no partial file either";
    EXPECT_EQ(LibraryCount(), 0);
  }
}

// Statuses as the engine reports them, item by item.
class StatusLog : public wmp::PlayerEventsBase {
 public:
  void MediaChange(wmp::IMedia* item) override {
    std::wstring number, status;
    item->GetItemInfo(L"WM/TrackNumber", &number);
    item->GetItemInfo(L"Status", &status);
    seen.emplace_back(std::stoi(number), status);
  }
  void MediaError(wmp::IMedia*) override { ++errors; }
  std::vector<std::pair<int, std::wstring>> seen;
  int errors = 0;
};

TEST_F(RipTest, AWholeDiscRipsOnTwoThreadsAndArrivesInDiscOrder) {
  ASSERT_TRUE(session);
  auto log = std::make_shared<StatusLog>();
  std::uint32_t cookie = 0;
  ASSERT_EQ(events.Advise(log, &cookie), wmp::kOk);
  auto drive = std::make_shared<mediaengine::CdDrive>(context, L'D', [] {});
  ASSERT_TRUE(drive->Poll());
  ASSERT_EQ(drive->StartRip(), wmp::kOk);
  long state = 0;
  for (int i = 0; i < 3000 && drive->RipState(&state) == wmp::kOk &&
                  state == static_cast<long>(wmp::RipState::Ripping);
       ++i) {
    queue.Drain();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  drive->Shutdown();
  queue.Drain();
  ASSERT_EQ(state, static_cast<long>(wmp::RipState::Stopped));
  EXPECT_EQ(log->errors, 0);

  wmp::PlaylistPtr all;
  ASSERT_EQ(library.MediaCollection()->GetAll(&all), wmp::kOk);
  long count = 0;
  all->Count(&count);
  ASSERT_EQ(count, 3);
  for (long i = 0; i < count; ++i) {
    wmp::MediaPtr item;
    ASSERT_EQ(all->Item(i, &item), wmp::kOk);
    std::wstring number;
    item->GetItemInfo(L"WM/TrackNumber", &number);
    EXPECT_EQ(number, std::to_wstring(i + 1)) << "library in disc order";
  }
  // What a progress display adds up never runs backwards, and every track
  // ends ripped.
  long overall = -1;
  std::vector<int> ripped;
  for (const auto& [number, status] : log->seen) {
    if (status == L"Ripped (100%)") {
      // Items read their status when the event arrives: one may repeat.
      if (ripped.empty() || ripped.back() != number) ripped.push_back(number);
      continue;
    }
    const std::size_t open = status.find(L'(');
    if (status.rfind(L"Ripping", 0) != 0 || open == std::wstring::npos) continue;
    const long value = (number - 1) * 100L + std::stol(status.substr(open + 1));
    EXPECT_GE(value, overall) << "track " << number << " " << os::Utf8FromWide(status);
    overall = value;
  }
  EXPECT_EQ(ripped, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(RipFolderFiles(64000).size(), 3u);
}

// Tracks 1 and 2 take two batches each, the second one coded while the first
// is: on two threads each file is byte for byte what one encoder coding the
// whole track gives (the codec carries only the overlap of the frame before
// from one frame to the next).
TEST_F(RipTest, BatchesCodedOnTwoThreadsGiveTheBytesOfOneEncoder) {
  ASSERT_TRUE(session);
  ASSERT_GT(disc.tracks[0].size() / 2, mediaengine::kRipBatchCodecFrames * 2048);
  for (const std::uint32_t rate : {64000u, 128000u}) {
    SCOPED_TRACE(rate);
    std::vector<int> ripped;
    mediaengine::DiscRipWatch watch;
    watch.stopped = [] { return false; };
    watch.progress = [](int, int) {};
    watch.ended = [&](int number, const mediaengine::TrackRipResult& result) {
      EXPECT_EQ(result.outcome, TrackRipOutcome::Ripped) << os::Utf8FromWide(result.reason);
      ripped.push_back(number);
    };
    mediaengine::RipDiscTracks(context, *session, Preferences(rate), 2, watch);
    ASSERT_EQ(ripped, (std::vector<int>{1, 2, 3}));
    for (int number = 1; number <= 3; ++number) {
      const auto& pcm = disc.tracks[static_cast<std::size_t>(number - 1)];
      mediaengine::AsfTags tags;
      namespace attr = wmp::attr;
      tags.title = session->TrackAttribute(number, attr::kTitle);
      tags.author = session->TrackAttribute(number, attr::kAuthor);
      tags.albumTitle = session->Album();
      tags.albumArtist = session->DiscAttribute(attr::kAlbumArtist);
      tags.genre = session->TrackAttribute(number, attr::kGenre);
      tags.year = session->TrackAttribute(number, attr::kYear);
      tags.trackNumber = std::to_wstring(number);
      mediaengine::WmaEncoder one;
      ASSERT_EQ(one.Open(files, L"C:\\one.wma", tags, rate,
                         os::FileTimeOfSecondsSince1970(clock.SecondsSince1970())),
                os::kSuccess);
      ASSERT_EQ(one.Write(pcm.data(), pcm.size() / 2), os::kSuccess);
      ASSERT_EQ(one.Finish(), os::kSuccess);
      const std::string batched =
          files.Content(mediaengine::RipPathOf(Preferences(rate), *session, number));
      EXPECT_EQ(batched.size(), files.Content(L"C:\\one.wma").size()) << "track " << number;
      EXPECT_TRUE(batched == files.Content(L"C:\\one.wma")) << "track " << number;
    }
  }
}

// A rip that fails or is stopped in the middle of a track's second batch
// (its first one coded and written): the tracks before it are in, nothing of
// it is left. The disc is read at the polls in order: track 1 at polls 1-7
// (opening, three reads of its first batch, three of its second), track 2
// from poll 8 on; the poll before track 1 is taken in comes anywhere after 7.
TEST_F(RipTest, ARipEndingInsideABatchedTrackKeepsOnlyTheTracksBeforeIt) {
  ASSERT_TRUE(session);
  struct Case {
    const char* what;
    int poll;
    bool stop;  // else the disc is taken out
    std::vector<std::pair<int, TrackRipOutcome>> ended;
  };
  const Case cases[] = {
      {"disc out in track 1's second batch", 6, false, {{1, TrackRipOutcome::DiscFailed}}},
      {"stopped in track 1's second batch", 6, true, {{1, TrackRipOutcome::Stopped}}},
      {"disc out in track 2", 12, false,
       {{1, TrackRipOutcome::Ripped}, {2, TrackRipOutcome::DiscFailed}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    files.SetDriveReady(L'D', true);
    std::atomic<int> polls{0};
    std::vector<std::pair<int, TrackRipOutcome>> ended;
    mediaengine::DiscRipWatch watch;
    watch.stopped = [&] {
      if (++polls < c.poll) return false;
      if (!c.stop) files.SetDriveReady(L'D', false);
      return c.stop;
    };
    watch.progress = [](int, int) {};
    watch.ended = [&](int number, const mediaengine::TrackRipResult& result) {
      ended.emplace_back(number, result.outcome);
    };
    mediaengine::RipDiscTracks(context, *session, Preferences(128000), 2, watch);
    EXPECT_EQ(ended, c.ended);
    const long kept = c.ended.front().second == TrackRipOutcome::Ripped ? 1 : 0;
    EXPECT_EQ(RipFolderFiles(128000).size(), static_cast<std::size_t>(kept)) << "no partial file";
    EXPECT_EQ(LibraryCount(), kept);
  }
}

// The order a two-thread rip keeps, step by step: batches are read one
// after the other and written in the order they were read.
TEST(RipOrder, ReadsBatchesOneByOneAndWritesThemInOrder) {
  mediaengine::RipOrder order;  // nothing parked: a batch waits for its turn
  using Turn = mediaengine::RipOrder::Turn;
  int left = 3;
  auto read = [&] { return left-- > 0; };
  auto park = [] { ADD_FAILURE() << "parked with no room"; };
  EXPECT_EQ(order.Take(read), 1);
  EXPECT_EQ(order.Take(read), 2);
  EXPECT_EQ(order.Done(2), 0);  // not its turn: nothing happens
  Turn second = Turn::Halted;
  std::thread waiter([&] { second = order.HandIn(2, park); });
  EXPECT_EQ(order.HandIn(1, park), Turn::Write);
  EXPECT_EQ(order.Done(1), 0) << "the next one is not parked";
  waiter.join();
  EXPECT_EQ(second, Turn::Write);
  order.Done(2);
  EXPECT_EQ(order.Take(read), 3);
  EXPECT_EQ(order.HandIn(3, park), Turn::Write);
  EXPECT_EQ(order.Take(read), 0) << "none left";
}

// Batches coded before their turn wait parked, as many as there is room
// for, and come back in order to the thread that writes the one before.
TEST(RipOrder, ParksBatchesCodedEarlyAndHandsThemToTheWriterInTurn) {
  mediaengine::RipOrder order(2);
  using Turn = mediaengine::RipOrder::Turn;
  auto read = [] { return true; };
  for (int batch = 1; batch <= 4; ++batch) EXPECT_EQ(order.Take(read), batch);
  std::vector<int> parked, unparked;
  auto park = [&](int batch) { return [&parked, batch] { parked.push_back(batch); }; };
  auto unpark = [&](int batch) { unparked.push_back(batch); };
  EXPECT_EQ(order.HandIn(2, park(2)), Turn::Parked);
  EXPECT_EQ(order.HandIn(3, park(3)), Turn::Parked);
  Turn fourth = Turn::Halted;
  std::thread waiter([&] { fourth = order.HandIn(4, park(4)); });  // no room: waits
  EXPECT_EQ(order.HandIn(1, park(1)), Turn::Write);
  EXPECT_EQ(order.Done(1, unpark), 2) << "the writer of 1 writes 2 next";
  waiter.join();  // room again
  EXPECT_EQ(fourth, Turn::Parked);
  EXPECT_EQ(order.Done(2, unpark), 3);
  EXPECT_EQ(order.Done(3, unpark), 4);
  EXPECT_EQ(order.Done(4, unpark), 0);
  EXPECT_EQ(parked, (std::vector<int>{2, 3, 4}));
  EXPECT_EQ(unparked, (std::vector<int>{2, 3, 4}));
}

TEST(RipOrder, AHaltReleasesWaitersAndStopsReadingAndWriting) {
  mediaengine::RipOrder order(1);
  using Turn = mediaengine::RipOrder::Turn;
  int reads = 0;
  auto read = [&] { return ++reads > 0; };
  EXPECT_EQ(order.Take(read), 1);
  EXPECT_EQ(order.Take(read), 2);
  EXPECT_EQ(order.Take(read), 3);
  EXPECT_EQ(order.HandIn(2, [] {}), Turn::Parked);
  Turn third = Turn::Write;
  std::thread waiter([&] { third = order.HandIn(3, [] {}); });
  order.Halt();
  waiter.join();
  EXPECT_EQ(third, Turn::Halted) << "gives up instead of waiting for ever";
  EXPECT_TRUE(order.Halted());
  EXPECT_EQ(order.Take(read), 0);
  EXPECT_EQ(reads, 3) << "nothing more is read";
  EXPECT_EQ(order.HandIn(1, [] {}), Turn::Halted);
  EXPECT_EQ(order.Done(1), 0) << "the parked batch is not written";
}

// Which reports of a rip become events, given (track, milliseconds) in turn.
TEST(ProgressPacer, ShowsATracksFirstReportAndThenOnePerInterval) {
  struct Report {
    int track;
    int ms;
    bool shown;
  };
  const Report reports[] = {
      {1, 0, true},     // a track's first report
      {1, 40, false},   // too soon after it
      {1, 99, false},
      {1, 100, true},   // a whole interval later
      {1, 150, false},
      {2, 160, true},   // the next track starts: shown at once
      {2, 170, false},
      {1, 175, true},   // back to an earlier track (a rip started again)
      {2, 180, true},
      {2, 400, true},   // a long gap: shown
  };
  mediaengine::ProgressPacer pacer(std::chrono::milliseconds(100));
  const auto start = mediaengine::ProgressPacer::Clock::time_point{} + std::chrono::hours(1);
  for (const Report& report : reports) {
    EXPECT_EQ(pacer.Admit(report.track, start + std::chrono::milliseconds(report.ms)), report.shown)
        << "track " << report.track << " at " << report.ms << " ms";
  }
}

}  // namespace
