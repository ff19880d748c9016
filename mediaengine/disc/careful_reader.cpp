#include "mediaengine/disc/careful_reader.h"

#include <algorithm>
#include <cstring>

#include "mediaengine/disc/cd_audio.h"

namespace mediaengine {

CarefulTrackReader::CarefulTrackReader(std::unique_ptr<os::ICdromDevice> device,
                                       std::wstring drive, const CarefulExtent& extent)
    : TrackReader(extent.sectors * kFramesPerSector),
      device_(std::move(device)),
      drive_(std::move(drive)),
      extent_(extent),
      nextLba_(extent.startLba),
      verify_(static_cast<std::size_t>(kCarefulBlockSectors) * kSectorBytes) {}

namespace {

bool NoDisc(os::ErrorCode error) {
  return error == os::kErrorNotReady || error == os::kErrorNoMediaInDrive ||
         error == os::kErrorMediaChanged;
}

}  // namespace

bool CarefulTrackReader::Gone(os::ErrorCode error) {
  if (error == os::kSuccess) return false;
  // A failed read says "not ready" on some drives and only "I/O error" on
  // others: the drive is asked whether it still holds the disc.
  if (!NoDisc(error) && !NoDisc(device_->CheckMedium())) return false;
  Fail(DiscStatus::NoMedium, error, drive_,
       L"the disc left the drive during track " + std::to_wstring(extent_.trackNumber));
  return true;
}

os::ErrorCode CarefulTrackReader::ReadBlock(std::uint32_t lba, std::uint32_t sectors,
                                            std::uint8_t* out) {
  ++counts_.blockReads;
  return device_->ReadAudio(lba, sectors, out);
}

bool CarefulTrackReader::DefeatCache(std::uint32_t lba) {
  // The far end of the audio from where the block lies.
  const bool nearStart = lba - extent_.audioStart < extent_.audioEnd - lba;
  const std::uint32_t distant = nearStart ? extent_.audioEnd - 1 : extent_.audioStart;
  ++counts_.cacheReads;
  // Only what it does to the cache matters, unless it shows the disc went.
  return !Gone(device_->ReadAudio(distant, 1, cacheSector_.data()));
}

CarefulTrackReader::Digest CarefulTrackReader::DigestOf(const std::uint8_t* bytes,
                                                        std::size_t size) {
  // Two independent 64-bit hashes: earlier reads of a troubled block are kept
  // as digests, so its re-reads cost no memory per read.
  std::uint64_t fnv = 14695981039346656037ull;
  std::uint64_t mix = 0x9E3779B97F4A7C15ull;
  for (std::size_t i = 0; i < size; ++i) {
    fnv = (fnv ^ bytes[i]) * 1099511628211ull;
    mix = (mix + bytes[i] + 1) * 0xC2B2AE3D27D4EB4Full;
    mix ^= mix >> 29;
  }
  return {fnv, mix};
}

bool CarefulTrackReader::Settle(std::uint32_t lba, std::uint32_t sectors, std::uint8_t* anchor,
                                bool anchorOk, bool secondOk) {
  const std::size_t size = static_cast<std::size_t>(sectors) * kSectorBytes;
  std::vector<Digest> seen;
  if (!anchorOk && secondOk) {
    std::memcpy(anchor, verify_.data(), size);
    anchorOk = true;
  } else if (secondOk) {
    seen.push_back(DigestOf(verify_.data(), size));
  }
  for (int attempt = 0; attempt < kCarefulMaxRereads; ++attempt) {
    if (!DefeatCache(lba)) return false;
    ++counts_.rereads;
    const os::ErrorCode error = ReadBlock(lba, sectors, verify_.data());
    if (Gone(error)) return false;
    if (error != os::kSuccess) continue;
    if (anchorOk && std::memcmp(anchor, verify_.data(), size) == 0) return true;
    const Digest digest = DigestOf(verify_.data(), size);
    if (std::find(seen.begin(), seen.end(), digest) != seen.end()) {
      std::memcpy(anchor, verify_.data(), size);
      return true;
    }
    if (!anchorOk) {
      std::memcpy(anchor, verify_.data(), size);
      anchorOk = true;
    } else {
      seen.push_back(digest);
    }
  }
  ++counts_.badBlocks;
  return true;
}

bool CarefulTrackReader::FillWindow() {
  const std::uint32_t end = extent_.startLba + extent_.sectors;
  struct Block {
    std::uint32_t lba, sectors;
    std::size_t offset;
    bool firstOk;
  };
  std::vector<Block> blocks;
  std::size_t bytes = 0;
  for (std::uint32_t lba = nextLba_; lba < end && blocks.size() < kCarefulWindowBlocks;) {
    const std::uint32_t sectors = std::min(kCarefulBlockSectors, end - lba);
    blocks.push_back({lba, sectors, bytes, false});
    bytes += static_cast<std::size_t>(sectors) * kSectorBytes;
    lba += sectors;
  }
  window_.resize(bytes);
  windowPos_ = 0;
  for (Block& block : blocks) {
    const os::ErrorCode error = ReadBlock(block.lba, block.sectors, &window_[block.offset]);
    if (Gone(error)) return false;
    block.firstOk = error == os::kSuccess;
  }
  if (!DefeatCache(blocks.front().lba)) return false;
  for (const Block& block : blocks) {
    const std::size_t size = static_cast<std::size_t>(block.sectors) * kSectorBytes;
    const os::ErrorCode error = ReadBlock(block.lba, block.sectors, verify_.data());
    if (Gone(error)) return false;
    const bool secondOk = error == os::kSuccess;
    if (block.firstOk && secondOk &&
        std::memcmp(&window_[block.offset], verify_.data(), size) == 0) {
      continue;
    }
    if (!Settle(block.lba, block.sectors, &window_[block.offset], block.firstOk, secondOk)) {
      return false;
    }
  }
  nextLba_ += static_cast<std::uint32_t>(bytes / kSectorBytes);
  return true;
}

bool CarefulTrackReader::Read(std::uint32_t maxFrames, std::vector<std::uint8_t>* chunk) {
  chunk->clear();
  if (problem_.status != DiscStatus::Ok) return false;
  const std::uint32_t frames = std::min(maxFrames, totalFrames_ - framesRead_);
  if (frames == 0 && counts_.badBlocks > 0) {
    problem_.badBlocks = counts_.badBlocks;
    return Fail(DiscStatus::BadBlocks, os::kErrorCrc, drive_,
                L"track " + std::to_wstring(extent_.trackNumber) + L": " +
                    std::to_wstring(counts_.badBlocks) +
                    L" blocks never read the same twice in " +
                    std::to_wstring(2 + kCarefulMaxRereads) + L" reads");
  }
  chunk->resize(static_cast<std::size_t>(frames) * kFrameBytes);
  std::size_t filled = 0;
  while (filled < chunk->size()) {
    if (windowPos_ == window_.size() && !FillWindow()) {
      chunk->clear();
      return false;
    }
    const std::size_t count = std::min(chunk->size() - filled, window_.size() - windowPos_);
    std::memcpy(chunk->data() + filled, window_.data() + windowPos_, count);
    filled += count;
    windowPos_ += count;
  }
  framesRead_ += frames;
  return true;
}

}  // namespace mediaengine
