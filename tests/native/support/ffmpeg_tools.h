#pragma once
// ffprobe and ffmpeg as outside readers of our files, when installed.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace ffmpeg_tools {

inline bool Installed(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string folders = path ? path : "";
  for (std::size_t start = 0, end; start <= folders.size(); start = end + 1) {
    end = std::min(folders.find(':', start), folders.size());
    if (access((folders.substr(start, end - start) + "/" + program).c_str(), X_OK) == 0) return true;
  }
  return false;
}

inline std::string OutputOf(const std::string& command) {
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, got);
    pclose(pipe);
  }
  return output;
}

// The file decoded by ffmpeg to interleaved 16-bit samples (empty on failure).
inline std::vector<std::int16_t> Decoded(const std::string& path) {
  const std::string raw = OutputOf("ffmpeg -v error -i '" + path + "' -f s16le - 2>/dev/null");
  std::vector<std::int16_t> samples(raw.size() / 2);
  for (std::size_t i = 0; i < samples.size(); ++i) {
    samples[i] = static_cast<std::int16_t>(static_cast<std::uint8_t>(raw[2 * i]) |
                                           (static_cast<std::uint8_t>(raw[2 * i + 1]) << 8));
  }
  return samples;
}

}  // namespace ffmpeg_tools
