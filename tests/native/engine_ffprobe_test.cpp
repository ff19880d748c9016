// A real reader's view of our .wma files: ffprobe (when installed) must find
// the codec, the length and the tags, and a declared rate in the right class;
// ffmpeg's own decoder must hear the audio we meant.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "codec/resampler.h"
#include "codec/wma_encoder.h"
#include "native/engine_signals.h"
#include "native/posix_file_system.h"
#include "os/text_encoding.h"

namespace {

bool Installed(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string rest = path ? path : "";
  while (!rest.empty()) {
    const std::size_t colon = rest.find(':');
    const std::string folder = rest.substr(0, colon);
    if (!folder.empty() && access((folder + "/" + program).c_str(), X_OK) == 0) return true;
    rest = colon == std::string::npos ? "" : rest.substr(colon + 1);
  }
  return false;
}

std::string OutputOf(const std::string& command) {
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    std::size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
    pclose(pipe);
  }
  return output;
}

// The value of the first `"key": value` in `json` at or after `from`, quotes
// removed (ffprobe writes tags as UTF-8 and escapes only quotes, backslashes
// and control characters, none of which the test tags hold).
std::string Value(const std::string& json, const std::string& key, std::size_t from = 0) {
  const std::string needle = "\"" + key + "\": ";
  const std::size_t at = json.find(needle, from);
  if (at == std::string::npos) return "(missing)";
  std::size_t begin = at + needle.size();
  std::size_t end;
  if (json[begin] == '"') {
    ++begin;
    end = json.find('"', begin);
  } else {
    end = json.find_first_of(",\n}", begin);
  }
  return json.substr(begin, end - begin);
}

TEST(WmaFileInFfprobe, ShowsCodecLengthTagsAndRateClass) {
  if (!Installed("ffprobe")) GTEST_SKIP() << "ffprobe is not installed";
  testing_support::TempFolder folder;
  ASSERT_TRUE(folder.ok());
  testing_support::PosixFileSystem files;

  engine::AsfTags tags;
  tags.title = L"さくらさくら";
  tags.author = L"琴の会";
  tags.albumTitle = L"日本の歌";
  tags.albumArtist = L"Various Artists";
  tags.genre = L"Traditional";
  tags.trackNumber = L"4";
  const std::size_t frames = 44100 * 5 / 2 + 777;
  const std::vector<std::int16_t> music = engine_signals::MusicLike(frames, 44100.0);

  for (std::uint32_t rateClass : {engine::kWmaRateClass64, engine::kWmaRateClass128}) {
    SCOPED_TRACE(rateClass);
    const std::string name = "track" + std::to_string(rateClass) + ".wma";
    engine::WmaEncoder encoder;
    ASSERT_EQ(encoder.Open(files, folder.File(name), tags, rateClass), os::kSuccess);
    ASSERT_EQ(encoder.Write(music.data(), frames), os::kSuccess);
    ASSERT_EQ(encoder.Finish(), os::kSuccess);

    const std::string json = OutputOf("ffprobe -v error -show_format -show_streams -of json '" +
                                 folder.path() + "/" + name + "' 2>&1");
    const std::size_t format = json.find("\"format\": {");
    ASSERT_NE(format, std::string::npos) << json;
    EXPECT_EQ(Value(json, "codec_name"), "adpcm_ima_wav");
    EXPECT_EQ(Value(json, "sample_rate"), "16000");
    EXPECT_EQ(Value(json, "channels"), rateClass == engine::kWmaRateClass64 ? "1" : "2");
    EXPECT_EQ(std::stoul(Value(json, "bit_rate")) / 1000, rateClass / 1000) << "declared rate";
    EXPECT_EQ(Value(json, "format_name", format), "asf");
    EXPECT_NEAR(std::stod(Value(json, "duration", format)), frames / 44100.0, 0.1);
    EXPECT_EQ(Value(json, "title", format), os::Utf8FromWide(tags.title));
    EXPECT_EQ(Value(json, "artist", format), os::Utf8FromWide(tags.author));
    EXPECT_EQ(Value(json, "album", format), os::Utf8FromWide(tags.albumTitle));
    EXPECT_EQ(Value(json, "album_artist", format), "Various Artists");
    EXPECT_EQ(Value(json, "genre", format), "Traditional");
    EXPECT_EQ(Value(json, "track", format), "4");

    if (!Installed("ffmpeg")) continue;
    const std::string raw = OutputOf("ffmpeg -v error -i '" + folder.path() + "/" + name +
                                     "' -f s16le -");
    std::vector<std::int16_t> decoded(raw.size() / 2);
    for (std::size_t i = 0; i < decoded.size(); ++i) {
      decoded[i] = static_cast<std::int16_t>(static_cast<std::uint8_t>(raw[2 * i]) |
                                             (static_cast<std::uint8_t>(raw[2 * i + 1]) << 8));
    }
    engine::Resampler resampler(rateClass == engine::kWmaRateClass64 ? 1 : 2);
    std::vector<std::int16_t> expected;
    resampler.Write(music.data(), frames, &expected);
    resampler.Flush(&expected);
    ASSERT_GE(decoded.size(), expected.size());
    EXPECT_GT(engine_signals::SnrDb(expected, decoded, expected.size()), 22.0);
  }
}

}  // namespace
