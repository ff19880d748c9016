#pragma once
// The CD-ROM control codes of drives holding discs made from PCM: tables of
// contents and CD-TEXT as a drive returns them, CDDA sectors with faults
// injected per sector, presence, change and eject.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "os/cdrom_control.h"

namespace fakes {

struct FakeTocTrack {
  int number = 0;
  bool data = false;
  std::uint32_t startLba = 0;
};

// What a sector does when it is read.
enum class SectorFault {
  kFlapping,     // every other read returns other bytes
  kNeverAgrees,  // every read returns bytes of its own
  kReadError,    // `count` reads fail, then it reads well (count < 0: always)
  kDiscGone,     // the disc is taken out as the sector is read
};

struct FakeCdDisc {
  std::vector<FakeTocTrack> tracks;
  std::uint32_t leadOutLba = 0;
  std::string pcm;                  // sectors from LBA 0 (data sectors read as zeros)
  std::vector<std::uint8_t> cdText;  // READ TOC format 5 answer; empty: the drive has none
};

// A disc of audio tracks laid one after the other from LBA 0.
FakeCdDisc AudioDisc(const std::vector<std::string>& trackPcm);

// CD-TEXT as a drive returns it: title and performer strings indexed by
// track (0 the album) in the given character code (0x00 ISO-8859-1, 0x80
// MS-JIS: the strings are then double-byte bytes).
std::vector<std::uint8_t> CdTextData(const std::vector<std::string>& titles,
                                     const std::vector<std::string>& performers,
                                     std::uint8_t characterCode = 0x00);

class FakeCdromDevices : public os::ICdromDevices {
 public:
  void Insert(wchar_t letter, FakeCdDisc disc);
  void Remove(wchar_t letter);
  void AddFault(wchar_t letter, std::uint32_t lba, SectorFault fault, int count = -1);
  // Open fails for this drive (no such device).
  void Unplug(wchar_t letter);

  int Ejects(wchar_t letter) const;
  std::uint64_t SectorsRead(wchar_t letter) const;

  os::ErrorCode Open(wchar_t letter, std::unique_ptr<os::ICdromDevice>* device) override;
  std::wstring WideFromMsJis(const std::string& bytes) override;

  struct Fault {
    SectorFault kind;
    int count;
    int reads = 0;
  };
  // Shared by the handles of a drive, which rip threads use side by side.
  struct Drive {
    std::mutex mutex;
    bool plugged = true;
    bool present = false;
    bool changed = false;
    FakeCdDisc disc;
    std::map<std::uint32_t, Fault> faults;
    int ejects = 0;
    std::uint64_t sectorsRead = 0;
  };

 private:
  std::map<wchar_t, std::shared_ptr<Drive>> drives_;
};

}  // namespace fakes
