// Reads every track of one disc twice over, as a rip reads it: once from its
// image (a folder holding the cue sheet and BIN) and once from a drive through
// the CD-ROM control codes with careful reading; prints the seconds of each,
// their ratio and whether the bytes agree.
//
// usage: read_disc.exe IMAGE_ROOT DRIVE_LETTER
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "mediaengine/disc/careful_reader.h"
#include "mediaengine/disc/disc_image.h"
#include "mediaengine/disc/drive_disc.h"
#include "os/win32/win32_cdrom.h"
#include "os/win32/win32_file_system.h"

namespace {

// Seconds to read every track; the bytes folded into `digest`.
double ReadAll(const mediaengine::DiscSource& disc, std::uint64_t* digest, bool* ok) {
  const auto start = std::chrono::steady_clock::now();
  std::vector<std::uint8_t> chunk;
  for (const auto& track : disc.Tracks()) {
    mediaengine::DiscProblem problem;
    auto reader = disc.OpenTrack(track.number, &problem);
    if (!reader) {
      *ok = false;
      continue;
    }
    while (reader->Read(44100, &chunk) && !chunk.empty()) {
      for (std::uint8_t byte : chunk) *digest = (*digest ^ byte) * 1099511628211ull;
    }
    *ok = *ok && reader->Finished() && reader->Problem().status == mediaengine::DiscStatus::Ok;
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: read_disc.exe IMAGE_ROOT DRIVE_LETTER\n");
    return 2;
  }
  os::win32::Win32FileSystem files;
  os::win32::Win32CdromDevices devices;
  mediaengine::DiscProblem problem;
  auto image = mediaengine::DiscImage::Open(files, argv[1], &problem);
  auto drive = mediaengine::DriveDisc::Open(devices, argv[2][0], nullptr, &problem);
  if (!image || !drive) {
    std::fprintf(stderr, "read_disc: the %s cannot be read\n", image ? "drive" : "image");
    return 1;
  }
  std::uint64_t imageDigest = 14695981039346656037ull, driveDigest = imageDigest;
  bool imageOk = true, driveOk = true;
  const double imageSeconds = ReadAll(*image, &imageDigest, &imageOk);
  const double driveSeconds = ReadAll(*drive, &driveDigest, &driveOk);
  std::printf("tracks=%zu same_toc=%d same_bytes=%d\n", drive->Tracks().size(),
              image->Toc() == drive->Toc() ? 1 : 0,
              imageOk && driveOk && imageDigest == driveDigest ? 1 : 0);
  std::printf("image_read_s=%.3f\ndrive_read_s=%.3f\ndrive_read_over_image=%.2f\n", imageSeconds,
              driveSeconds, imageSeconds > 0 ? driveSeconds / imageSeconds : 0.0);
  return imageOk && driveOk && imageDigest == driveDigest ? 0 : 1;
}
