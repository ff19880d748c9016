// Encoding speed of the rip path: synthetic CD audio through the wmav2
// encoder and the ASF writer onto the real disk, per rate class (one thread).
// Prints how many times faster than real time each class encodes.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "mediaengine/codec/wma_encoder.h"
#include "native/support/posix_file_system.h"

namespace {

// Thirty seconds of chords over noise, looped: generating it is not timed.
std::vector<std::int16_t> SyntheticAudio() {
  const std::size_t frames = 44100 * 30;
  std::vector<std::int16_t> out(frames * 2);
  std::uint32_t seed = 12345;
  double low = 0.0;
  for (std::size_t n = 0; n < frames; ++n) {
    const double t = static_cast<double>(n) / 44100.0;
    seed = seed * 1664525u + 1013904223u;
    low += 0.1 * ((static_cast<double>(seed >> 8) / 16777216.0 - 0.5) - low);
    const double chord = std::sin(2 * M_PI * 220 * t) + 0.7 * std::sin(2 * M_PI * 277.18 * t) +
                         0.5 * std::sin(2 * M_PI * 329.63 * t) + 0.3 * std::sin(2 * M_PI * 1760 * t);
    const double envelope = 0.5 + 0.5 * std::cos(2 * M_PI * 0.5 * t);
    out[2 * n] = static_cast<std::int16_t>(7000 * envelope * chord + 6000 * low);
    out[2 * n + 1] = static_cast<std::int16_t>(6000 * chord - 5000 * low);
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  const double minutes = argc > 1 ? std::atof(argv[1]) : 10.0;
  const std::size_t totalFrames = static_cast<std::size_t>(minutes * 60 * 44100);
  const std::vector<std::int16_t> audio = SyntheticAudio();
  const std::size_t loopFrames = audio.size() / 2;
  const std::size_t chunk = 588 * 25;  // 25 CD sectors, as a rip reads them

  testing_support::TempFolder folder;
  if (!folder.ok()) {
    std::fprintf(stderr, "no temporary folder\n");
    return 1;
  }
  testing_support::PosixFileSystem files;
  for (std::uint32_t rateClass : {mediaengine::kWmaRateClass64, mediaengine::kWmaRateClass128}) {
    const std::wstring path = folder.File("bench" + std::to_string(rateClass) + ".wma");
    mediaengine::AsfTags tags;
    tags.title = L"Benchmark";
    const auto start = std::chrono::steady_clock::now();
    mediaengine::WmaEncoder encoder;
    os::ErrorCode result = encoder.Open(files, path, tags, rateClass);
    std::size_t done = 0;
    while (result == os::kSuccess && done < totalFrames) {
      const std::size_t offset = done % loopFrames;
      const std::size_t count = std::min({chunk, totalFrames - done, loopFrames - offset});
      result = encoder.Write(audio.data() + 2 * offset, count);
      done += count;
    }
    if (result == os::kSuccess) result = encoder.Finish();
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (result != os::kSuccess) {
      std::fprintf(stderr, "class %u: encoding failed with error %ld\n", rateClass, result);
      return 1;
    }
    std::printf("class=%u audio_seconds=%.0f elapsed_seconds=%.3f file_bytes=%llu bitrate=%u "
                "encode_x_realtime=%.1f\n",
                rateClass, encoder.DurationSeconds(), elapsed,
                static_cast<unsigned long long>(encoder.FileSize()), encoder.Bitrate(),
                encoder.DurationSeconds() / elapsed);
  }
  return 0;
}
