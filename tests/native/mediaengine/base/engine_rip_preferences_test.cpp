// What the engine makes of the rip preferences: defaults, rate classes and
// the file names of the three detail patterns.
#include <gtest/gtest.h>

#include "mediaengine/base/rip_preferences.h"
#include "fakes/fake_registry.h"
#include "os/reg_key.h"

namespace {

const mediaengine::TrackNaming kTrack{L"03", L"朝の歌", L"木琴合奏団", L"マリンバの午後", L"Classical",
                                 L"64kbps"};

TEST(RipPreferences, DefaultsWithoutAKeyAndTakesWhatIsStored) {
  fakes::FakeRegistry registry;
  mediaengine::RipPreferences none = mediaengine::ReadRipPreferences(registry, L"C:\\Music");
  EXPECT_EQ(none.recordPath, L"C:\\Music");
  EXPECT_EQ(none.fileDetail, L"*TrackNumber;*SongTitle;Artist;Album;Genre;Bitrate");
  EXPECT_EQ(none.fileSeparator, L" ");
  EXPECT_EQ(none.wmaRate, 64000u);

  os::RegKey key = os::RegKey::Create(registry, os::Hive::CurrentUser,
                                      L"Software\\Microsoft\\MediaPlayer\\Preferences",
                                      os::KeyAccess::Write);
  key.SetString(L"CDRecordPath", L"E:\\Rips");
  key.SetString(L"CDRecordFileDetail", L"*Artist;*Album;*SongTitle;TrackNumber;Genre;Bitrate");
  key.SetString(L"CDRecordFileSeparator", L"-");
  key.SetDword(L"WMARecordRate", 128000);
  key.Close();
  const mediaengine::RipPreferences stored = mediaengine::ReadRipPreferences(registry, L"C:\\Music");
  EXPECT_EQ(stored.recordPath, L"E:\\Rips");
  EXPECT_EQ(stored.fileSeparator, L"-");
  EXPECT_EQ(stored.wmaRate, 128000u);
  EXPECT_EQ(mediaengine::RateClassOf(stored.wmaRate), 128000u);
  EXPECT_EQ(mediaengine::RateClassOf(64000), 64000u);
  EXPECT_EQ(mediaengine::RateClassOf(96000), 64000u);
  EXPECT_EQ(mediaengine::RateClassOf(192000), 128000u);
}

TEST(RipPreferences, NamesFilesByTheStarredFieldsInOrder) {
  EXPECT_EQ(mediaengine::RipFileName(L"*TrackNumber;*SongTitle;Artist;Album;Genre;Bitrate", L" ",
                                kTrack),
            L"03 朝の歌.wma");
  EXPECT_EQ(mediaengine::RipFileName(L"*SongTitle;TrackNumber;Artist;Album;Genre;Bitrate", L" ",
                                kTrack),
            L"朝の歌.wma");
  EXPECT_EQ(mediaengine::RipFileName(L"*Artist;*Album;*SongTitle;TrackNumber;Genre;Bitrate", L" - ",
                                kTrack),
            L"木琴合奏団 - マリンバの午後 - 朝の歌.wma");
  EXPECT_EQ(mediaengine::RipFileName(L"Artist;Album", L" ", kTrack), L"03.wma")
      << "no starred field still gives a usable name";
}

TEST(RipPreferences, MakesNamesSafeForTheFileSystem) {
  mediaengine::TrackNaming track = kTrack;
  track.title = L"AC/DC: Live? <1>|\"x\"*";
  EXPECT_EQ(mediaengine::RipFileName(L"*SongTitle", L" ", track), L"AC_DC_ Live_ _1___x__.wma");
  EXPECT_EQ(mediaengine::SafeFileName(L"Album. . "), L"Album");
  EXPECT_EQ(mediaengine::SafeFileName(L"..."), L"_");
  EXPECT_EQ(mediaengine::SafeFileName(L"a\tb"), L"a_b");
}

}  // namespace
