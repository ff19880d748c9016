// A real reader's view of our .wma files: ffprobe (when installed) must find
// the codec, the length, the tags and a declared rate in the right class, and
// ffmpeg's decoder (when installed) must hear the audio we meant.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "mediaengine/codec/resampler.h"
#include "mediaengine/codec/wma_encoder.h"
#include "native/engine_signals.h"
#include "native/posix_file_system.h"
#include "os/text_encoding.h"

namespace {

bool Installed(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string folders = path ? path : "";
  for (std::size_t start = 0, end; start <= folders.size(); start = end + 1) {
    end = std::min(folders.find(':', start), folders.size());
    if (access((folders.substr(start, end - start) + "/" + program).c_str(), X_OK) == 0) return true;
  }
  return false;
}

std::string OutputOf(const std::string& command) {
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, got);
    pclose(pipe);
  }
  return output;
}

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
    EXPECT_EQ(Value(json, "codec_name"), "adpcm_ima_wav");
    EXPECT_EQ(Value(json, "sample_rate"), "16000");
    EXPECT_EQ(Value(json, "channels"), rateClass == mediaengine::kWmaRateClass64 ? "1" : "2");
    EXPECT_EQ(std::stoul(Value(json, "bit_rate")) / 1000, rateClass / 1000) << "declared rate";
    EXPECT_NEAR(std::stod(Value(json, "duration", format)), frames / 44100.0, 0.1);
    EXPECT_EQ(Value(json, "title", format), os::Utf8FromWide(tags.title));
    EXPECT_EQ(Value(json, "artist", format), os::Utf8FromWide(tags.author));
    EXPECT_EQ(Value(json, "album", format), os::Utf8FromWide(tags.albumTitle));
    EXPECT_EQ(Value(json, "album_artist", format), "Various Artists");
    EXPECT_EQ(Value(json, "genre", format), "Traditional");
    EXPECT_EQ(Value(json, "track", format), "4");

    if (!Installed("ffmpeg")) continue;
    const std::string raw = OutputOf("ffmpeg -v error -i '" + path + "' -f s16le -");
    std::vector<std::int16_t> decoded(raw.size() / 2);
    for (std::size_t i = 0; i < decoded.size(); ++i) {
      decoded[i] = static_cast<std::int16_t>(static_cast<std::uint8_t>(raw[2 * i]) |
                                             (static_cast<std::uint8_t>(raw[2 * i + 1]) << 8));
    }
    mediaengine::Resampler resampler(rateClass == mediaengine::kWmaRateClass64 ? 1 : 2);
    std::vector<std::int16_t> expected;
    resampler.Write(music.data(), frames, &expected);
    resampler.Flush(&expected);
    ASSERT_GE(decoded.size(), expected.size());
    EXPECT_GT(engine_signals::SnrDb(expected, decoded, expected.size()), 22.0);
  }
}

}  // namespace
