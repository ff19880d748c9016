#pragma once
// The steps of ripping a track of a disc into the rip folder and the library.
// The file is written under a temporary name and renamed only when complete,
// so the rip folder never holds a half-written track. Encoding and taking
// the file in are two steps, and a track is read, coded and written in
// batches of codec frames, so a disc's batches (a long track's too) can be
// coded side by side and its tracks still arrive in the library in disc
// order (disc_ripper.h).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "mediaengine/cdrom/disc_session.h"
#include "mediaengine/base/engine_context.h"
#include "mediaengine/base/rip_preferences.h"
#include "mediaengine/codec/wma_encoder.h"
#include "mediaengine/library/media_library.h"

namespace mediaengine {

enum class TrackRipOutcome {
  Ripped,
  Stopped,        // asked to stop; nothing left behind
  DiscFailed,     // the image could not be read
  WriteFailed,    // the rip folder or the file could not be written
  LibraryFailed,  // the file was written but the library refused it
};

struct TrackRipResult {
  TrackRipOutcome outcome = TrackRipOutcome::Ripped;
  std::wstring path;  // the finished file
  std::wstring reason;
};

// Folder of a disc's files below the rip folder: "<record>\<album artist>\<album>".
std::wstring RipFolderOf(const RipPreferences& preferences, const DiscSession& session);
// Full path of a track's file.
std::wstring RipPathOf(const RipPreferences& preferences, const DiscSession& session,
                       int number);

// A track encoded into its temporary file, waiting to be taken in.
struct EncodedTrack {
  std::wstring temporary;
  RippedTrack ripped;  // its library entry; ripped.url is the path it is meant for
};

// Codec frames of a batch (2048 stereo frames each at 44.1 kHz: about 3 s,
// 0.5 MB of PCM). Each batch also codes the frame before it, so longer
// batches waste less; shorter ones hold less memory in flight.
constexpr std::size_t kRipBatchCodecFrames = 64;

// A run of a track's codec frames: read in disc order, coded on any thread
// (CodeBatch), written in order by the disc ripper.
struct RipBatch {
  int number = 0;      // the track
  bool first = false;  // opens its track's file
  bool last = false;   // ends it
  // Anything else ends the track here, with nothing of it written.
  TrackRipOutcome outcome = TrackRipOutcome::Ripped;
  std::wstring reason;
  std::vector<std::int16_t> previous;  // the frame before the run; empty for the first
  std::vector<std::int16_t> frames;    // whole codec frames, stereo
  std::uint32_t audioFrames = 0;       // of the track's audio in them (not the padding)
  int percent = 0;                     // of the track, once this run is in
  std::vector<std::uint8_t> blocks;    // coded

  // Empties it for the next run, keeping its buffers' memory.
  void Clear();
};

// Reads tracks `first`..`last` of the disc one after the other, each in runs
// of `batchFrames` codec frames of `frameSize` stereo frames, the last run
// of a track padded as WmaEncoder pads it. One thread at a time.
class BatchReader {
 public:
  BatchReader(const DiscSession& session, int first, int last, std::size_t frameSize,
              std::size_t batchFrames);
  // Fills the next batch; false once every track is read or a batch ended
  // with a failure or a stop (that batch itself is handed out first).
  // `stopped` is polled between reads of about a second.
  bool Next(const std::function<bool()>& stopped, RipBatch* batch);

 private:
  const DiscSession& session_;
  int next_;
  const int last_;
  const std::size_t frameSize_;
  const std::size_t batchFrames_;
  int number_ = 0;  // the track being read, 0 between tracks
  std::unique_ptr<TrackReader> reader_;
  std::vector<std::int16_t> previous_;
  std::vector<std::uint8_t> chunk_;
  bool over_ = false;
};

// Codes a batch's frames into its blocks; false when the codec refuses them.
bool CodeBatch(Wmav2Codec& codec, RipBatch* batch);

// Renames the encoded file into place and adds it to the library.
TrackRipResult CommitTrack(EngineContext& context, const EncodedTrack& encoded);
// Deletes the encoded file of a track that is not taken in.
void DiscardTrack(EngineContext& context, const EncodedTrack& encoded);

}  // namespace mediaengine
