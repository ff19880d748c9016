// A real reader's view of our .wma files: ffprobe (when installed) must find
// Windows Media Audio 2 at 44.1 kHz stereo, the length, the tags and a
// declared rate in the right class, and ffmpeg's decoder (when installed)
// must hear the audio we meant.
#include <gtest/gtest.h>

#include "mediaengine/codec/wma_encoder.h"
#include "native/support/engine_signals.h"
#include "native/support/ffmpeg_tools.h"
#include "native/support/posix_file_system.h"
#include "os/text_encoding.h"

namespace {

using ffmpeg_tools::Installed;
using ffmpeg_tools::OutputOf;

// The first `"key": value` at or after `from`, unquoted. ffprobe writes tags
// as UTF-8 and escapes only what the test tags do not hold.
std::string Value(const std::string& json, const std::string& key, std::size_t from = 0) {
  const std::string needle = "\"" + key + "\": ";
  std::size_t begin = json.find(needle, from);
  if (begin == std::string::npos) return "(missing)";
  begin += needle.size();
  if (json[begin] == '"') return json.substr(begin + 1, json.find('"', begin + 1) - begin - 1);
  return json.substr(begin, json.find_first_of(",\n}", begin) - begin);
}

TEST(WmaFileInFfprobe, ShowsCodecLengthTagsAndRateClass) {
  if (!Installed("ffprobe")) GTEST_SKIP() << "ffprobe is not installed";
  testing_support::TempFolder folder;
  ASSERT_TRUE(folder.ok());
  testing_support::PosixFileSystem files;
  mediaengine::AsfTags tags;
  tags.title = L"さくらさくら";
  tags.author = L"琴の会";
  tags.albumTitle = L"日本の歌";
  tags.albumArtist = L"Various Artists";
  tags.genre = L"Traditional";
  tags.year = L"1888";
  tags.trackNumber = L"4";
  const std::size_t frames = 44100 * 5 / 2 + 777;
  const std::vector<std::int16_t> music = engine_signals::MusicLike(frames, 44100.0);

  for (std::uint32_t rateClass : {mediaengine::kWmaRateClass64, mediaengine::kWmaRateClass128}) {
    SCOPED_TRACE(rateClass);
    const std::string path = folder.path() + "/track" + std::to_string(rateClass) + ".wma";
    mediaengine::WmaEncoder encoder;
    ASSERT_EQ(encoder.Open(files, os::WideFromUtf8(path), tags, rateClass), os::kSuccess);
    ASSERT_EQ(encoder.Write(music.data(), frames), os::kSuccess);
    ASSERT_EQ(encoder.Finish(), os::kSuccess);

    const std::string json = OutputOf("ffprobe -v error -show_format -show_streams -of json '" + path + "' 2>&1");
    const std::size_t format = json.find("\"format\": {");
    ASSERT_NE(format, std::string::npos) << json;
    EXPECT_EQ(Value(json, "codec_name"), "wmav2");
    EXPECT_EQ(Value(json, "sample_rate"), "44100");
    EXPECT_EQ(Value(json, "channels"), "2");
    EXPECT_EQ(std::stoul(Value(json, "bit_rate")) / 1000, rateClass / 1000) << "declared rate";
    EXPECT_NEAR(std::stod(Value(json, "duration", format)), frames / 44100.0, 0.1);
    EXPECT_EQ(Value(json, "title", format), os::Utf8FromWide(tags.title));
    EXPECT_EQ(Value(json, "artist", format), os::Utf8FromWide(tags.author));
    EXPECT_EQ(Value(json, "album", format), os::Utf8FromWide(tags.albumTitle));
    EXPECT_EQ(Value(json, "album_artist", format), "Various Artists");
    EXPECT_EQ(Value(json, "genre", format), "Traditional");
    EXPECT_EQ(Value(json, "track", format), "4");
    EXPECT_EQ(Value(json, "WM/Year", format), "1888");

    if (!Installed("ffmpeg")) continue;
    // ffmpeg decodes every block without complaint (-xerror stops at the
    // first error), and what it hears is the input from its first sample.
    const std::string errors = OutputOf("ffmpeg -v error -xerror -i '" + path + "' -f null - 2>&1");
    EXPECT_EQ(errors, "");
    const std::vector<std::int16_t> decoded = ffmpeg_tools::Decoded(path);
    ASSERT_GE(decoded.size(), music.size());
    const std::size_t lag = engine_signals::BestLag(music, decoded, 44100, 4096, 3 * 2048);
    EXPECT_EQ(lag, 0u) << "nothing lost or added at the start";
    ASSERT_GE(decoded.size(), music.size() + 2 * lag) << "the end is there";
    const std::vector<std::int16_t> aligned(decoded.begin() + 2 * lag, decoded.end());
    EXPECT_GT(engine_signals::SnrDb(music, aligned, music.size()),
              rateClass == mediaengine::kWmaRateClass128 ? 18.0 : 15.0);
  }
}

}  // namespace
