#pragma once
// Streaming writer of an audio-only ASF file: the header goes out first with
// placeholders, fixed-size data packets follow as blocks arrive, and Finish
// rewrites the header with the totals (file size, packet count, durations).
// Every write failure is reported and sticks; a failed writer has closed its
// file so the caller can delete what is left of it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "mediaengine/codec/asf_info.h"
#include "os/file_system.h"

namespace mediaengine {

// WAVEFORMATEX of the single audio stream.
struct AsfAudioFormat {
  std::uint16_t formatTag = 0;
  std::uint16_t channels = 0;
  std::uint32_t sampleRate = 0;
  std::uint32_t avgBytesPerSecond = 0;
  std::uint16_t blockAlign = 0;
  std::uint16_t bitsPerSample = 0;
  std::vector<std::uint8_t> codecData;  // after the WAVEFORMATEX (cbSize bytes)
  std::uint32_t samplesPerBlock = 0;    // per channel, for the packet times
};

struct AsfWriterSettings {
  AsfTags tags;
  AsfAudioFormat format;
  int blocksPerPacket = 2;          // whole codec blocks in each data packet
  std::uint32_t prerollMs = 3100;   // what Windows Media files usually carry
  os::FileTime creationTime = 0;
};

class AsfWriter {
 public:
  AsfWriter();
  ~AsfWriter();
  AsfWriter(const AsfWriter&) = delete;
  AsfWriter& operator=(const AsfWriter&) = delete;

  // Creates (or truncates) `path` and writes the provisional header.
  os::ErrorCode Open(os::IFileSystem& files, const std::wstring& path,
                     const AsfWriterSettings& settings);
  // Appends `count` whole blocks of format.blockAlign bytes each.
  os::ErrorCode WriteBlocks(const std::uint8_t* blocks, std::size_t count);
  // Writes the last packet and the final header, flushes and closes the file.
  // `durationHns` is the media's play time in 100-ns units.
  os::ErrorCode Finish(std::uint64_t durationHns);
  // Closes the file unfinished (for example when the user stops a rip) so
  // that it can be deleted; later calls report kErrorInvalidHandle.
  void Abandon();

  std::uint32_t packetSize() const { return packetSize_; }
  std::uint64_t packetCount() const { return packetCount_; }
  std::uint64_t fileSize() const { return fileSize_; }
  // Declared bit rate of the stream (nAvgBytesPerSec * 8).
  std::uint32_t bitrate() const { return settings_.format.avgBytesPerSecond * 8; }

 private:
  struct Totals {
    std::uint64_t fileSize = 0;
    std::uint64_t packetCount = 0;
    std::uint64_t durationHns = 0;
    std::uint8_t fileId[16] = {};
  };
  std::vector<std::uint8_t> BuildHeader(const Totals& totals) const;
  // Builds a data packet of the pending blocks at the end of packets_.
  void WritePacket();
  // Writes the packets built so far in one piece: one write a batch of
  // blocks rather than one a packet of under a kilobyte, each a system call
  // through Wine's file code.
  os::ErrorCode PutPackets();
  os::ErrorCode Put(const std::vector<std::uint8_t>& bytes);
  os::ErrorCode Fail(os::ErrorCode error);

  AsfWriterSettings settings_;
  std::unique_ptr<os::IFileStream> stream_;
  os::ErrorCode error_ = os::kSuccess;
  bool finished_ = false;
  std::uint32_t packetSize_ = 0;
  std::uint64_t headerSize_ = 0;  // header object + data object header
  std::uint64_t packetCount_ = 0;
  std::uint64_t fileSize_ = 0;
  std::uint64_t samplesWritten_ = 0;  // per channel, before the pending blocks
  std::uint8_t mediaObjectNumber_ = 0;
  std::vector<std::uint8_t> pending_;  // blocks of the packet being filled
  std::vector<std::uint8_t> packets_;  // built, not yet written
  std::uint64_t idHash_[2] = {};
};

}  // namespace mediaengine
