#pragma once
// The audio CD in a drive: a cue sheet in the drive's root with its BIN image
// of raw sectors. Opening checks the whole image up front (sheet syntax, file
// present, whole sectors, every track inside the file), so a damaged disc is
// refused with a reason instead of failing halfway through a rip.
//
// A DiscImage is immutable once opened and may be shared between the drive
// object and a rip worker; each reader owns its own file stream.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "mediaengine/disc/cda_file.h"
#include "mediaengine/disc/cue_sheet.h"
#include "mediaengine/disc/disc_layout.h"
#include "os/file_system.h"

namespace mediaengine {

enum class DiscStatus {
  Ok,
  NoMedium,      // the root cannot be listed: empty drive or unreadable disc
  NoCueSheet,    // no *.cue in the root: not an audio CD image
  BadCueSheet,   // the sheet cannot be read or parsed; `line` says where
  MissingImage,  // the sheet's FILE cannot be opened
  DamagedImage,  // the image does not hold what the sheet describes
  ReadError,     // reading the image failed or it ended early
};

struct DiscProblem {
  DiscStatus status = DiscStatus::Ok;
  std::wstring path;                   // the file concerned, when there is one
  int line = 0;                        // cue sheet line at fault, 0 when none
  os::ErrorCode error = os::kSuccess;  // the failed call's error, when there is one
  std::wstring reason;                 // for logs and test failures, not for the user
};

struct DiscTrack {
  int number = 0;       // 1-based, equal to the position + 1
  std::wstring title;   // CD-TEXT title, else wmp::UnknownTrackTitle(number)
  std::wstring artist;  // track performer, else the disc's, else wmp::kUnknownArtist
  std::uint32_t startLba = 0;
  std::uint32_t lengthSectors = 0;

  std::uint32_t Frames() const;    // stereo sample frames
  std::uint64_t PcmBytes() const;  // Frames() * 4
  double Seconds() const;          // lengthSectors / 75
};

class TrackReader;

class DiscImage {
 public:
  // Reads the disc in `root` ("D:\\"). `files` must outlive the image and
  // its readers. Null on failure, with `problem` filled in.
  static std::shared_ptr<const DiscImage> Open(os::IFileSystem& files, const std::wstring& root,
                                               DiscProblem* problem);

  const std::wstring& Root() const { return root_; }
  const std::wstring& CuePath() const { return cuePath_; }
  const std::wstring& ImagePath() const { return imagePath_; }
  // The sheet as written, without fallbacks.
  const CueSheet& Sheet() const { return sheet_; }
  const DiscLayout& Layout() const { return layout_; }

  std::wstring Album() const;        // disc TITLE, else wmp::kUnknownAlbum
  std::wstring AlbumArtist() const;  // disc PERFORMER, else wmp::kUnknownArtist
  const std::wstring& Genre() const { return sheet_.genre; }
  const std::wstring& Date() const { return sheet_.date; }

  const std::vector<DiscTrack>& Tracks() const { return tracks_; }
  // Null unless 1 <= number <= track count.
  const DiscTrack* Track(int number) const;

  // The "TOC" attribute of the disc playlist; identifies the disc.
  std::wstring Toc() const { return TocText(layout_); }
  std::uint32_t Serial() const { return AudioCdSerial(layout_); }
  // The same pressing: equal tables of contents and equal CD-TEXT.
  bool SameDisc(const DiscImage& other) const;

  // The content of TrackNN.cda for a track; trackNumber 0 when out of range.
  CdaTrack Cda(int number) const;

  // A reader of the track's PCM. Null with `problem` set when the number is
  // out of range or the image can no longer be opened as it was.
  std::unique_ptr<TrackReader> OpenTrack(int number, DiscProblem* problem) const;

 private:
  // Only Open makes images; the key lets it use make_shared.
  struct Key {
    explicit Key() = default;
  };

 public:
  DiscImage(Key, os::IFileSystem& files, std::wstring root);

 private:
  os::IFileSystem* files_;
  std::wstring root_;
  std::wstring cuePath_;
  std::wstring imagePath_;
  CueSheet sheet_;
  DiscLayout layout_;
  std::vector<DiscTrack> tracks_;
};

// Reads one track as little-endian stereo int16 frames, 588 to a sector,
// including the silence a PREGAP or POSTGAP adds to the disc.
class TrackReader {
 public:
  TrackReader(std::unique_ptr<os::IFileStream> image, std::wstring imagePath, int trackNumber,
              const DiscLayout& layout);

  std::uint32_t TotalFrames() const { return totalFrames_; }
  std::uint32_t FramesRead() const { return framesRead_; }
  bool Finished() const { return framesRead_ == totalFrames_; }

  // Replaces `chunk` with the next frames, at most `maxFrames` of them
  // (4 bytes each); at the end of the track the chunk is empty. False when
  // the image cannot be read or ends early; Problem() says where, and every
  // later call fails the same way.
  bool Read(std::uint32_t maxFrames, std::vector<std::uint8_t>* chunk);
  const DiscProblem& Problem() const { return problem_; }

 private:
  bool Fail(os::ErrorCode error, const std::wstring& reason);

  std::unique_ptr<os::IFileStream> image_;
  std::wstring imagePath_;
  int trackNumber_;
  std::vector<DiscSegment> segments_;  // the disc, from the layout
  std::uint64_t firstByte_;            // of the track, on the disc
  std::uint32_t totalFrames_;
  std::uint32_t framesRead_ = 0;
  DiscProblem problem_;
};

}  // namespace mediaengine
