#pragma once
// The audio CD in a drive, read through the drive's control codes: the table
// of contents gives the audio tracks and the disc's identity, CD-TEXT their
// titles (else the placeholders), and each track is read with care
// (CarefulTrackReader). A disc without audio tracks is not an audio CD.
#include <memory>
#include <string>
#include <vector>

#include "mediaengine/disc/disc_source.h"
#include "os/cdrom_control.h"

namespace mediaengine {

class DriveDisc : public DiscSource {
 public:
  // Reads the disc in the drive of `letter`. When `shown` is a disc of this
  // drive and the table of contents is still its own, `shown` itself comes
  // back: a poll costs the presence check and the table, not the CD-TEXT.
  // Null with `problem` when the drive cannot be opened, holds no disc
  // (NoMedium) or no audio (NoAudio). `devices` outlives the disc.
  static std::shared_ptr<const DriveDisc> Open(os::ICdromDevices& devices, wchar_t letter,
                                               const std::shared_ptr<const DiscSource>& shown,
                                               DiscProblem* problem);

  std::unique_ptr<TrackReader> OpenTrack(int number, DiscProblem* problem) const override;
  // Opens the tray, through a handle of its own.
  os::ErrorCode Eject() const;
  // CD-TEXT packs that failed their CRC and were ignored.
  int BadCdTextPacks() const { return badPacks_; }

 private:
  struct Key {
    explicit Key() = default;
  };

 public:
  DriveDisc(Key, os::ICdromDevices& devices, wchar_t letter);

 private:
  os::ICdromDevices* devices_;
  wchar_t letter_;
  std::vector<std::uint8_t> rawToc_;
  std::uint32_t audioStart_ = 0;
  std::uint32_t audioEnd_ = 0;
  int badPacks_ = 0;
};

}  // namespace mediaengine
