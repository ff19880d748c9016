#pragma once
// Reads a track from a drive so that what it hands on is what the disc holds:
// every block (at most 27 sectors) is read twice with the drive's cache
// defeated in between (a distant sector is read first, so the second read
// comes from the disc, not from the drive's memory) and the reads compared.
// A block whose reads differ, or fail, is read again, at most 16 more times,
// until two reads agree. A track with a block that never agrees fails after
// its last block, with the number of such blocks; a disc taken out fails the
// read at once. Blocks are read a few at a time (a window), so a track costs
// memory for those few and not for its length.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "mediaengine/disc/disc_source.h"
#include "os/cdrom_control.h"

namespace mediaengine {

constexpr std::uint32_t kCarefulBlockSectors = os::kMaxAudioSectorsPerRead;
constexpr int kCarefulWindowBlocks = 4;
constexpr int kCarefulMaxRereads = 16;

// Where a track lies and the audio area a cache-defeating read may go to.
struct CarefulExtent {
  int trackNumber = 0;
  std::uint32_t startLba = 0;
  std::uint32_t sectors = 0;
  std::uint32_t audioStart = 0;  // first audio sector of the disc
  std::uint32_t audioEnd = 0;    // one past the last
};

// What a reader asked of the drive, for tests and benchmarks.
struct CarefulCounts {
  std::uint64_t blockReads = 0;   // audio requests, first, second and again
  std::uint64_t cacheReads = 0;   // distant one-sector reads
  std::uint64_t rereads = 0;      // blocks read beyond the second time
  int badBlocks = 0;              // blocks that never agreed
};

class CarefulTrackReader : public TrackReader {
 public:
  CarefulTrackReader(std::unique_ptr<os::ICdromDevice> device, std::wstring drive,
                     const CarefulExtent& extent);

  // Fails when the disc goes (NoMedium) or, at the end of the track, when a
  // block never read the same twice (BadBlocks, with their number).
  bool Read(std::uint32_t maxFrames, std::vector<std::uint8_t>* chunk) override;
  const CarefulCounts& Counts() const { return counts_; }

 private:
  using Digest = std::pair<std::uint64_t, std::uint64_t>;

  bool FillWindow();
  // Reads the block again until two reads agree; false when the disc went.
  bool Settle(std::uint32_t lba, std::uint32_t sectors, std::uint8_t* anchor, bool anchorOk,
              bool secondOk);
  // os::kSuccess, or the error; a gone disc ends the reader.
  os::ErrorCode ReadBlock(std::uint32_t lba, std::uint32_t sectors, std::uint8_t* out);
  bool DefeatCache(std::uint32_t lba);
  bool Gone(os::ErrorCode error);
  static Digest DigestOf(const std::uint8_t* bytes, std::size_t size);

  std::unique_ptr<os::ICdromDevice> device_;
  std::wstring drive_;
  CarefulExtent extent_;
  std::uint32_t nextLba_;                // first sector not yet in a window
  std::vector<std::uint8_t> window_;     // checked bytes of the current window
  std::size_t windowPos_ = 0;            // handed on so far
  std::vector<std::uint8_t> verify_;     // one block: the later reads
  std::array<std::uint8_t, 2352> cacheSector_{};
  CarefulCounts counts_;
};

}  // namespace mediaengine
