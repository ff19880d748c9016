// Writes a demo audio CD into a folder, as our CD drive expects one: a cue
// sheet with Japanese CD-TEXT, its BIN image of synthesized marimba music,
// and one TrackNN.cda per track. The music is generated from fixed seeds, so
// every run writes the same bytes.
//
// usage: make_demo_disc [--short | --second | --full | --long] FOLDER
#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "mediaengine/disc/cd_audio.h"
#include "mediaengine/disc/cda_file.h"
#include "mediaengine/disc/cue_sheet.h"
#include "mediaengine/disc/disc_layout.h"
#include "os/text_encoding.h"

namespace fs = std::filesystem;

namespace {

constexpr double kRate = mediaengine::kSampleRate;
constexpr char kCueName[] = "demo.cue";
constexpr char kBinName[] = "demo.bin";

struct TrackPlan {
  const char* title;
  double seconds;     // from INDEX 01 to the next track's gap
  double gapSeconds;  // silence ahead of the track
  bool gapInFile;     // the gap is in the image (INDEX 00); else a PREGAP
};

struct DiscPlan {
  const char* album;
  const char* artist;
  std::vector<TrackPlan> tracks;
};

const char kArtist[] = "木琴合奏団";

DiscPlan ShortDisc() {
  // Both kinds of gap, so that the engine's readers meet each of them.
  return {"マリンバの午後",
          kArtist,
          {{"朝の木漏れ日", 10.0, 0.0, true},
           {"風の小径", 11.2, 1.0, true},
           {"夕暮れの舟歌", 9.4, 1.0, false}}};
}

// Another short album: a disc to swap in (its own table of contents).
DiscPlan SecondDisc() {
  return {"マリンバの夕べ", kArtist, {{"宵の明星", 8.6, 0.0, true}, {"石畳の家路", 12.4, 1.0, true}}};
}

DiscPlan FullDisc() {
  const char* titles[] = {"朝の木漏れ日", "風の小径",       "夕暮れの舟歌",   "雨上がりの坂道",
                          "港のワルツ",   "星降る丘",       "森のささやき",   "路面電車",
                          "縁側の午睡",   "川面のきらめき", "灯台の見える町", "家路"};
  const double seconds[] = {214, 187, 251, 229, 196, 268, 205, 242, 183, 237, 219, 263};
  DiscPlan plan{"マリンバの午後 全曲集", kArtist, {}};
  for (int i = 0; i < 12; ++i) plan.tracks.push_back({titles[i], seconds[i], i ? 2.0 : 0.0, true});
  return plan;
}

// One track of 74 minutes, a whole disc's worth: a rip that cannot share a
// disc's tracks out among threads.
DiscPlan LongDisc() {
  return {"マリンバの午後 全曲連続", kArtist, {{"一日の組曲", 74 * 60.0, 0.0, true}}};
}

// Small deterministic generator (xorshift32).
class Random {
 public:
  explicit Random(std::uint32_t seed) : state_(seed * 2654435761u + 0x9E3779B9u) {}
  std::uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }
  double Unit() { return (Next() >> 8) / 16777216.0; }

 private:
  std::uint32_t state_;
};

double Frequency(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

// A struck marimba bar: the fundamental and the bar's tuned overtones near 4
// and 10 times it, each dying away faster than the one below, a soft attack
// and a little mallet noise. Rendered once per pitch and reused.
std::vector<float> RenderBar(int midi) {
  const double f = Frequency(midi);
  const double decay = std::clamp(1.3 * std::sqrt(261.6 / f), 0.35, 2.2);
  const std::size_t length = static_cast<std::size_t>(kRate * std::min(decay * 5.0, 4.0));
  struct Partial {
    double ratio, amplitude, decay;
  };
  const Partial partials[] = {{1.0, 1.0, decay}, {3.93, 0.22, decay / 4}, {9.7, 0.06, decay / 10}};
  std::vector<float> wave(length);
  Random noise(static_cast<std::uint32_t>(midi));
  const double pi2 = 2.0 * 3.14159265358979323846;
  for (std::size_t n = 0; n < length; ++n) {
    const double t = n / kRate;
    double v = 0.0;
    for (const Partial& p : partials) {
      if (p.ratio * f >= kRate / 2.5) continue;
      v += p.amplitude * std::exp(-t / p.decay) * std::sin(pi2 * p.ratio * f * t);
    }
    v += 0.025 * std::exp(-t / 0.004) * (noise.Unit() * 2.0 - 1.0);
    const double attack = t < 0.002 ? 0.5 - 0.5 * std::cos(pi2 * t / 0.004) : 1.0;
    wave[n] = static_cast<float>(v * attack);
  }
  return wave;
}

struct Note {
  double time;  // seconds from the track start
  int midi;
  double velocity;
  double pan;  // -1 left .. 1 right
};

// A short piece in a major pentatonic key: a bass on beats 1 and 3, a
// broken chord in eighths, and a melody built from two four-bar phrases
// (A A' B A) over a four-chord progression; it ends on the tonic.
std::vector<Note> Compose(int seed, double seconds) {
  Random random(static_cast<std::uint32_t>(seed) + 1);
  const int keys[] = {60, 62, 65, 67, 57, 64};
  const int key = keys[seed % 6];
  const double beat = 60.0 / (84 + random.Below(28));
  const double bar = 4 * beat;
  const int progressions[][4] = {{0, 9, 5, 7}, {0, 5, 9, 7}, {0, 7, 9, 5}, {0, 5, 7, 5}};
  const int* chords = progressions[random.Below(4)];
  const int pentatonic[] = {0, 2, 4, 7, 9};
  auto degreeToMidi = [&](int degree) { return key + 12 * (degree / 5) + pentatonic[degree % 5]; };
  const int rhythms[][8] = {{1, 0, 1, 0, 1, 0, 1, 0}, {1, 1, 1, 0, 1, 0, 1, 0},
                            {1, 0, 1, 1, 1, 0, 1, 1}, {1, 0, 0, 1, 1, 0, 1, 0},
                            {1, 0, 1, 0, 1, 0, 0, 0}, {1, 1, 1, 1, 1, 0, 0, 0}};

  struct PhraseNote {
    int eighth;  // from the phrase start
    int degree;
  };
  auto makePhrase = [&](int startDegree) {
    std::vector<PhraseNote> phrase;
    int degree = startDegree;
    for (int b = 0; b < 4; ++b) {
      const int* rhythm = rhythms[random.Below(6)];
      for (int e = 0; e < 8; ++e) {
        if (!rhythm[e]) continue;
        const int steps[] = {-2, -1, -1, 0, 1, 1, 2};
        degree = std::clamp(degree + steps[random.Below(7)], 3, 12);
        phrase.push_back({b * 8 + e, degree});
      }
    }
    return phrase;
  };
  const std::vector<PhraseNote> a = makePhrase(7);
  std::vector<PhraseNote> a2 = a;
  a2.erase(std::remove_if(a2.begin(), a2.end(), [](const PhraseNote& n) { return n.eighth >= 24; }),
           a2.end());
  for (int e : {24, 26, 28}) a2.push_back({e, 5 + random.Below(5)});
  const std::vector<PhraseNote> b = makePhrase(10);
  const std::vector<PhraseNote>* sections[] = {&a, &a2, &b, &a};

  // The closing chord falls on the last beat that leaves it about two and a
  // half seconds to ring out; the bar before it may stop short.
  const int beats = std::max(4, static_cast<int>((seconds - 2.55) / beat));
  const double end = 0.15 + beats * beat;
  const int bars = (beats + 3) / 4;
  std::vector<Note> notes;
  auto jitter = [&] { return (random.Unit() - 0.5) * 0.01; };
  for (int i = 0; i < bars; ++i) {
    const double start = 0.15 + i * bar;
    const int chord = chords[i % 4];
    const bool minor = chord == 9;
    const int tones[] = {0, minor ? 3 : 4, 7, 12};
    notes.push_back({start, key - 24 + chord, 0.6, 0.3});
    notes.push_back({start + 2 * beat + jitter(), key - 24 + chord + 7, 0.45, 0.3});
    const int pattern[] = {0, 1, 2, 1, 3, 2, 1, 2};
    for (int e = 0; e < 8; ++e) {
      notes.push_back({start + e * beat / 2 + jitter(), key - 12 + chord + tones[pattern[e]],
                       e % 2 ? 0.22 : 0.3, 0.5});
    }
    const std::vector<PhraseNote>& phrase = *sections[(i / 4) % 4];
    for (const PhraseNote& n : phrase) {
      if (n.eighth / 8 != i % 4) continue;
      const int e = n.eighth % 8;
      notes.push_back({start + e * beat / 2 + jitter(), degreeToMidi(n.degree),
                       (e == 0  ? 0.7
                        : e % 2 ? 0.5
                                : 0.6),
                       -0.35});
    }
  }
  notes.erase(std::remove_if(notes.begin(), notes.end(),
                             [&](const Note& n) { return n.time > end - 0.05; }),
              notes.end());
  notes.push_back({end, key - 24, 0.65, 0.3});
  notes.push_back({end, key - 12, 0.4, 0.5});
  notes.push_back({end + 0.02, key + 4 - 12, 0.35, 0.5});
  notes.push_back({end, key + 12, 0.7, -0.35});
  return notes;
}

// Little-endian stereo int16 samples of one track, exactly `frames` long.
std::vector<std::uint8_t> RenderTrack(int seed, std::uint32_t frames,
                                      std::map<int, std::vector<float>>* bars) {
  std::vector<float> left(frames), right(frames);
  for (const Note& note : Compose(seed, frames / kRate)) {
    auto found = bars->find(note.midi);
    if (found == bars->end()) found = bars->emplace(note.midi, RenderBar(note.midi)).first;
    const std::vector<float>& wave = found->second;
    const double angle = (note.pan + 1.0) * 3.14159265358979323846 / 4;
    const float gainL = static_cast<float>(note.velocity * std::cos(angle));
    const float gainR = static_cast<float>(note.velocity * std::sin(angle));
    const std::size_t at = static_cast<std::size_t>(std::max(0.0, note.time) * kRate);
    const std::size_t count = at < frames ? std::min<std::size_t>(wave.size(), frames - at) : 0;
    for (std::size_t n = 0; n < count; ++n) {
      left[at + n] += gainL * wave[n];
      right[at + n] += gainR * wave[n];
    }
  }
  // A soft ping-pong echo gives the room some air.
  const std::size_t delay = static_cast<std::size_t>(0.27 * kRate);
  for (std::size_t n = delay; n < frames; ++n) {
    left[n] += 0.22f * right[n - delay];
    right[n] += 0.22f * left[n - delay];
  }
  // Fade the last half second so the track never ends on a click.
  const std::size_t fade = std::min<std::size_t>(frames, static_cast<std::size_t>(0.5 * kRate));
  for (std::size_t n = 0; n < fade; ++n) {
    const float g = static_cast<float>(n) / static_cast<float>(fade);
    left[frames - 1 - n] *= g;
    right[frames - 1 - n] *= g;
  }
  float peak = 1e-6f;
  for (std::size_t n = 0; n < frames; ++n) {
    peak = std::max({peak, std::fabs(left[n]), std::fabs(right[n])});
  }
  const float scale = 0.8f * 32767.0f / peak;
  std::vector<std::uint8_t> pcm(static_cast<std::size_t>(frames) * mediaengine::kFrameBytes);
  for (std::size_t n = 0; n < frames; ++n) {
    const float channels[2] = {left[n], right[n]};
    for (int c = 0; c < 2; ++c) {
      const long v = std::lround(std::clamp(channels[c] * scale, -32768.0f, 32767.0f));
      const std::uint16_t sample = static_cast<std::uint16_t>(static_cast<std::int16_t>(v));
      pcm[n * 4 + c * 2] = static_cast<std::uint8_t>(sample);
      pcm[n * 4 + c * 2 + 1] = static_cast<std::uint8_t>(sample >> 8);
    }
  }
  return pcm;
}

std::uint32_t Sectors(double seconds) {
  return static_cast<std::uint32_t>(std::lround(seconds * mediaengine::kSectorsPerSecond));
}

std::string CueTime(std::uint32_t sectors) {
  const mediaengine::Msf msf = mediaengine::MsfOf(sectors);
  char text[16];
  std::snprintf(text, sizeof text, "%02u:%02u:%02u", static_cast<unsigned>(msf.minute),
                static_cast<unsigned>(msf.second), static_cast<unsigned>(msf.frame));
  return text;
}

// Written beside the target and renamed over it, so a drive poll never sees
// half a file.
bool WriteFile(const fs::path& path, const void* data, std::size_t size) {
  const fs::path temporary = path.string() + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out.good()) return false;
  }
  std::error_code error;
  fs::rename(temporary, path, error);
  return !error;
}

int Usage() {
  std::fprintf(stderr, "usage: make-demo-disc [--short | --second | --full | --long] FOLDER\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  bool full = false, second = false, oneTrack = false;
  std::string folder;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--short" || arg == "--second") {
      full = oneTrack = false;
      second = arg == "--second";
    } else if (arg == "--full") {
      full = true;
    } else if (arg == "--long") {
      oneTrack = true;
    } else if (!arg.empty() && arg[0] != '-' && folder.empty()) {
      folder = arg;
    } else {
      return Usage();
    }
  }
  if (folder.empty()) return Usage();
  const auto started = std::chrono::steady_clock::now();
  const DiscPlan plan =
      oneTrack ? LongDisc() : full ? FullDisc() : second ? SecondDisc() : ShortDisc();
  const fs::path dir(folder);
  std::error_code error;
  fs::create_directories(dir, error);

  // The image, track by track; the cue sheet records where each one starts.
  std::string cue =
      "REM GENRE \"イージーリスニング\"\r\nREM DATE 2024\r\n"
      "REM COMMENT \"Marimba demo disc\"\r\n";
  cue += std::string("PERFORMER \"") + plan.artist + "\"\r\nTITLE \"" + plan.album + "\"\r\n";
  cue += std::string("FILE \"") + kBinName + "\" BINARY\r\n";
  const fs::path binPath = dir / kBinName;
  const fs::path binTemporary = binPath.string() + ".tmp";
  std::ofstream bin(binTemporary, std::ios::binary | std::ios::trunc);
  std::map<int, std::vector<float>> bars;
  std::uint32_t position = 0;  // sectors written
  for (std::size_t i = 0; i < plan.tracks.size(); ++i) {
    const TrackPlan& track = plan.tracks[i];
    char header[64];
    std::snprintf(header, sizeof header, "  TRACK %02zu AUDIO\r\n", i + 1);
    cue += header;
    cue += std::string("    TITLE \"") + track.title + "\"\r\n";
    cue += std::string("    PERFORMER \"") + plan.artist + "\"\r\n";
    const std::uint32_t gap = Sectors(track.gapSeconds);
    if (gap > 0 && track.gapInFile) {
      cue += "    INDEX 00 " + CueTime(position) + "\r\n";
      const std::vector<char> silence(static_cast<std::size_t>(gap) * mediaengine::kSectorBytes, 0);
      bin.write(silence.data(), static_cast<std::streamsize>(silence.size()));
      position += gap;
    } else if (gap > 0) {
      cue += "    PREGAP " + CueTime(gap) + "\r\n";
    }
    cue += "    INDEX 01 " + CueTime(position) + "\r\n";
    const std::uint32_t sectors = Sectors(track.seconds);
    const std::vector<std::uint8_t> pcm = RenderTrack(static_cast<int>(i) + (full || oneTrack ? 100 : second ? 200 : 0),
                                                      sectors * mediaengine::kFramesPerSector, &bars);
    bin.write(reinterpret_cast<const char*>(pcm.data()), static_cast<std::streamsize>(pcm.size()));
    position += sectors;
  }
  bin.close();
  if (!bin.good()) {
    std::fprintf(stderr, "make-demo-disc: cannot write %s\n", binTemporary.string().c_str());
    return 1;
  }
  fs::rename(binTemporary, binPath, error);
  if (error) {
    std::fprintf(stderr, "make-demo-disc: cannot write %s\n", binPath.string().c_str());
    return 1;
  }

  // Read the sheet back as the engine will, and take the .cda contents and
  // the table of contents from that reading.
  mediaengine::CueSheet sheet;
  mediaengine::CueError cueError;
  mediaengine::DiscLayout layout;
  if (!mediaengine::ParseCueSheet(cue, &sheet, &cueError) ||
      !mediaengine::LayOutDisc(sheet, static_cast<std::uint64_t>(position) * mediaengine::kSectorBytes,
                          &layout, &cueError)) {
    std::fprintf(stderr, "make-demo-disc: line %d: %s\n", cueError.line,
                 os::Utf8FromWide(cueError.reason).c_str());
    return 1;
  }
  const std::uint32_t serial = mediaengine::AudioCdSerial(layout);
  std::vector<fs::path> leftOver;  // .cda files of a longer disc written here before
  for (const fs::directory_entry& entry : fs::directory_iterator(dir, error)) {
    const std::string name = entry.path().filename().string();
    const bool cda = name.size() == 11 && name.compare(0, 5, "Track") == 0 &&
                     name.compare(7, 4, ".cda") == 0 && std::isdigit(name[5]) &&
                     std::isdigit(name[6]);
    if (cda && std::stoi(name.substr(5, 2)) > static_cast<int>(layout.tracks.size())) {
      leftOver.push_back(entry.path());
    } else if (name.size() > 4 && name.substr(name.size() - 4) == ".cue" && name != kCueName) {
      // The drive reads the first sheet it lists, which may not be ours.
      std::fprintf(stderr, "make-demo-disc: warning: %s is also in the folder\n", name.c_str());
    }
  }
  for (const fs::path& path : leftOver) fs::remove(path, error);
  for (const mediaengine::TrackExtent& track : layout.tracks) {
    const auto bytes = mediaengine::BuildCdaFile(
        {static_cast<std::uint16_t>(track.number), serial, track.startLba, track.lengthSectors});
    const std::string name = os::Utf8FromWide(mediaengine::CdaFileName(track.number));
    if (!WriteFile(dir / name, bytes.data(), bytes.size())) {
      std::fprintf(stderr, "make-demo-disc: cannot write %s\n", name.c_str());
      return 1;
    }
  }
  if (!WriteFile(dir / kCueName, cue.data(), cue.size())) {
    std::fprintf(stderr, "make-demo-disc: cannot write %s\n", kCueName);
    return 1;
  }

  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::printf("disc   %s / %s, %zu tracks, %.1f MB\n", plan.album, plan.artist,
              layout.tracks.size(), position * static_cast<double>(mediaengine::kSectorBytes) / 1e6);
  for (const mediaengine::TrackExtent& track : layout.tracks) {
    std::printf("track  %02d  LBA %6u  %6u sectors  %7.2f s  %s\n", track.number,
                static_cast<unsigned>(track.startLba), static_cast<unsigned>(track.lengthSectors),
                track.lengthSectors / static_cast<double>(mediaengine::kSectorsPerSecond),
                plan.tracks[static_cast<std::size_t>(track.number) - 1].title);
  }
  std::printf("toc    %s\n", os::Utf8FromWide(mediaengine::TocText(layout)).c_str());
  std::printf("serial %08X\n", static_cast<unsigned>(serial));
  std::printf("time   %.2f s\n", elapsed);
  return 0;
}
