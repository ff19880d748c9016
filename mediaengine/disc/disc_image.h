#pragma once
// The audio CD in a drive as an image: a cue sheet in the drive's root with
// its BIN image of raw sectors. Opening checks the whole image up front (sheet
// syntax, file present, whole sectors, every track inside the file), so a
// damaged disc is refused with a reason instead of failing halfway through a
// rip.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "mediaengine/disc/cda_file.h"
#include "mediaengine/disc/cue_sheet.h"
#include "mediaengine/disc/disc_layout.h"
#include "mediaengine/disc/disc_source.h"
#include "os/file_system.h"

namespace mediaengine {

class DiscImage : public DiscSource {
 public:
  // Reads the disc in `root` ("D:\\"). `files` must outlive the image and
  // its readers. Null on failure, with `problem` filled in.
  static std::shared_ptr<const DiscImage> Open(os::IFileSystem& files, const std::wstring& root,
                                               DiscProblem* problem);

  const std::wstring& CuePath() const { return cuePath_; }
  const std::wstring& ImagePath() const { return imagePath_; }
  // The sheet as written, without fallbacks.
  const CueSheet& Sheet() const { return sheet_; }
  const DiscLayout& Layout() const { return layout_; }

  std::uint32_t Serial() const { return AudioCdSerial(layout_); }

  // The content of TrackNN.cda for a track; trackNumber 0 when out of range.
  CdaTrack Cda(int number) const;

  // A reader of the track's PCM. Null with `problem` set when the number is
  // out of range or the image can no longer be opened as it was.
  std::unique_ptr<TrackReader> OpenTrack(int number, DiscProblem* problem) const override;

 private:
  // Only Open makes images; the key lets it use make_shared.
  struct Key {
    explicit Key() = default;
  };

 public:
  DiscImage(Key, os::IFileSystem& files, std::wstring root);

 private:
  os::IFileSystem* files_;
  std::wstring cuePath_;
  std::wstring imagePath_;
  CueSheet sheet_;
  DiscLayout layout_;
};

// Reads one track as little-endian stereo int16 frames, 588 to a sector,
// including the silence a PREGAP or POSTGAP adds to the disc.
class ImageTrackReader : public TrackReader {
 public:
  ImageTrackReader(std::unique_ptr<os::IFileStream> image, std::wstring imagePath,
                   int trackNumber, const DiscLayout& layout);

  // Fails when the image cannot be read or ends early.
  bool Read(std::uint32_t maxFrames, std::vector<std::uint8_t>* chunk) override;

 private:
  bool Fail(os::ErrorCode error, const std::wstring& reason);

  std::unique_ptr<os::IFileStream> image_;
  std::wstring imagePath_;
  int trackNumber_;
  std::vector<DiscSegment> segments_;  // the disc, from the layout
  std::uint64_t firstByte_;            // of the track, on the disc
};

}  // namespace mediaengine
