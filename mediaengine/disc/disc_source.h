#pragma once
// A disc the engine can rip, whichever way its sectors arrive: an image in a
// drive's root or the drive itself. The ripper reads tracks through
// TrackReader and never learns which kind of disc it has.
//
// A source is immutable once opened and may be shared between the drive
// object and rip workers; each reader owns its own file or device.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "os/win_error.h"

namespace mediaengine {

enum class DiscStatus {
  Ok,
  NoMedium,      // the root cannot be listed or the drive holds no disc
  NoCueSheet,    // no *.cue in the root: not an audio CD image
  BadCueSheet,   // the sheet cannot be read or parsed; `line` says where
  MissingImage,  // the sheet's FILE cannot be opened
  DamagedImage,  // the image does not hold what the sheet describes
  ReadError,     // reading the disc failed or it ended early
  NoAudio,       // the drive's disc has no audio track (a data disc)
  BadBlocks,     // blocks of a track never read the same twice
};

struct DiscProblem {
  DiscStatus status = DiscStatus::Ok;
  std::wstring path;                   // the file or drive concerned, when there is one
  int line = 0;                        // cue sheet line at fault, 0 when none
  os::ErrorCode error = os::kSuccess;  // the failed call's error, when there is one
  std::wstring reason;                 // for logs and test failures, not for the user
  int badBlocks = 0;                   // with BadBlocks: how many
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

// Reads one track as little-endian stereo int16 frames, 588 to a sector.
class TrackReader {
 public:
  explicit TrackReader(std::uint32_t totalFrames) : totalFrames_(totalFrames) {}
  virtual ~TrackReader() = default;
  TrackReader(const TrackReader&) = delete;
  TrackReader& operator=(const TrackReader&) = delete;

  std::uint32_t TotalFrames() const { return totalFrames_; }
  std::uint32_t FramesRead() const { return framesRead_; }
  bool Finished() const { return framesRead_ == totalFrames_; }

  // Replaces `chunk` with the next frames, at most `maxFrames` of them
  // (4 bytes each); at the end of the track the chunk is empty. False when
  // the disc cannot be read; Problem() says why, and every later call fails
  // the same way.
  virtual bool Read(std::uint32_t maxFrames, std::vector<std::uint8_t>* chunk) = 0;
  const DiscProblem& Problem() const { return problem_; }

 protected:
  bool Fail(DiscStatus status, os::ErrorCode error, const std::wstring& path,
            const std::wstring& reason);

  const std::uint32_t totalFrames_;
  std::uint32_t framesRead_ = 0;
  DiscProblem problem_;
};

class DiscSource {
 public:
  virtual ~DiscSource() = default;

  // "D:\\".
  const std::wstring& Root() const { return root_; }
  std::wstring Album() const;        // disc title, else wmp::kUnknownAlbum
  std::wstring AlbumArtist() const;  // disc performer, else wmp::kUnknownArtist
  const std::wstring& Genre() const { return genre_; }
  const std::wstring& Date() const { return date_; }

  const std::vector<DiscTrack>& Tracks() const { return tracks_; }
  // Null unless 1 <= number <= track count.
  const DiscTrack* Track(int number) const;

  // The "TOC" attribute of the disc playlist: track count, each start
  // address and the lead-out of the audio, as uppercase hex joined by "+".
  const std::wstring& Toc() const { return toc_; }
  // The same pressing: equal tables of contents and equal texts.
  bool SameDisc(const DiscSource& other) const;

  // A reader of the track's PCM. Null with `problem` set when the number is
  // out of range or the disc can no longer be read as it was.
  virtual std::unique_ptr<TrackReader> OpenTrack(int number, DiscProblem* problem) const = 0;

 protected:
  DiscSource() = default;
  // Fills the tracks from their extents and texts (empty: the placeholders).
  void SetTracks(const std::vector<std::uint32_t>& starts, const std::vector<std::uint32_t>& lengths,
                 const std::vector<std::wstring>& titles,
                 const std::vector<std::wstring>& performers);

  std::wstring root_;
  std::wstring title_;      // as the disc gives it; may be empty
  std::wstring performer_;  // as the disc gives it; may be empty
  std::wstring genre_;
  std::wstring date_;
  std::wstring toc_;
  std::vector<DiscTrack> tracks_;
};

// A problem as the sources report it; returns null for the caller's return.
std::nullptr_t RefuseDisc(DiscProblem* problem, DiscStatus status, const std::wstring& path,
                          os::ErrorCode error, const std::wstring& reason, int line = 0);

}  // namespace mediaengine
