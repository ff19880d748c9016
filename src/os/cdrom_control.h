#pragma once
// CD-ROM control port: a drive opened as \\.\X: for reading (shared read and
// write) and the CD-ROM and storage control codes the engine reads an audio
// CD through. The table of contents and CD-TEXT come back as the drive's own
// bytes, so what they mean is decided (and tested) in portable code.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "os/win_error.h"

namespace os {

// Largest CDDA request: 27 sectors stay inside the 64 KiB every drive takes.
constexpr std::uint32_t kMaxAudioSectorsPerRead = 27;

class ICdromDevice {
 public:
  virtual ~ICdromDevice() = default;
  // IOCTL_CDROM_READ_TOC: the CDROM_TOC bytes (Length[2] big-endian, first
  // and last track, 8-byte TRACK_DATA entries ending with the lead-out 0xAA).
  virtual ErrorCode ReadToc(std::vector<std::uint8_t>* toc) = 0;
  // READ TOC format 5 (IOCTL_CDROM_READ_TOC_EX, else the same command through
  // SCSI pass-through): Length[2], two reserved bytes, 18-byte packs.
  // An error when the drive or disc has none.
  virtual ErrorCode ReadCdText(std::vector<std::uint8_t>* data) = 0;
  // IOCTL_CDROM_RAW_READ with CDDA: `sectors` (at most
  // kMaxAudioSectorsPerRead) raw sectors from `lba` into `out`, 2352 bytes each.
  virtual ErrorCode ReadAudio(std::uint32_t lba, std::uint32_t sectors, std::uint8_t* out) = 0;
  // IOCTL_STORAGE_CHECK_VERIFY: kSuccess with a medium, kErrorNotReady
  // without, kErrorMediaChanged once after a change.
  virtual ErrorCode CheckMedium() = 0;
  // IOCTL_STORAGE_EJECT_MEDIA.
  virtual ErrorCode Eject() = 0;
};

class ICdromDevices {
 public:
  virtual ~ICdromDevices() = default;
  // Opens the drive of `letter`; each opening is a handle of its own.
  virtual ErrorCode Open(wchar_t letter, std::unique_ptr<ICdromDevice>* device) = 0;
  // CD-TEXT in the double-byte character code (MS-JIS: code page 932) as
  // wide text; empty when the bytes cannot be converted.
  virtual std::wstring WideFromMsJis(const std::string& bytes) = 0;
};

}  // namespace os
