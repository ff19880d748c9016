#include "mediaengine/cdrom/track_ripper.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <vector>

#include "mediaengine/codec/asf_info.h"
#include "mediaengine/codec/wma_encoder.h"
#include "os/device_names.h"
#include "os/paths.h"

namespace mediaengine {
namespace {

constexpr std::uint32_t kChunkFrames = 588 * 75;  // one second of CD audio

// Far more rips of one name than a folder holds.
constexpr int kMaxNumber = 9999;

// Where a finished rip goes: its own path, unless a file of another track
// is there (a disc without CD-TEXT names its tracks as every such disc
// does, and a file may have lost its library entry); then the next free
// "name (n).wma". Only the same track again is replaced. Empty when no
// name is free.
std::wstring FreeRipPath(os::IFileSystem& files, const std::wstring& path,
                         const os::TrackFacts& ripped, bool* replace) {
  const std::wstring name = os::AfterLastBackslash(path);
  const std::wstring folder = path.substr(0, path.size() - name.size());  // with its backslash
  for (int number = 1; number <= kMaxNumber; ++number) {
    const std::wstring candidate =
        number == 1 ? path : folder + os::DeviceFileName(folder, name, number);
    if (candidate == folder) return std::wstring();
    const std::uint32_t attributes = files.GetAttributes(candidate);
    if (attributes == os::kInvalidAttributes) {
      *replace = false;
      return candidate;
    }
    if (attributes & os::kAttributeDirectory) continue;
    if (os::IsSameTrack(ripped, TrackFactsOfFile(files, candidate))) {
      *replace = true;
      return candidate;
    }
  }
  return std::wstring();
}

std::wstring TwoDigits(int number) {
  wchar_t text[16];
  std::swprintf(text, 16, L"%02d", number);
  return text;
}

}  // namespace

std::wstring RipFolderOf(const RipPreferences& preferences, const DiscSession& session) {
  return os::JoinPath(preferences.recordPath,
                      SafeFileName(session.DiscAttribute(attr::kAlbumArtist))) +
         L"\\" + SafeFileName(session.Album());
}

std::wstring RipPathOf(const RipPreferences& preferences, const DiscSession& session,
                       int number) {
  TrackNaming naming;
  naming.trackNumber = TwoDigits(number);
  naming.title = session.TrackAttribute(number, attr::kTitle);
  naming.artist = session.TrackAttribute(number, attr::kAuthor);
  naming.album = session.Album();
  naming.genre = session.TrackAttribute(number, attr::kGenre);
  naming.bitrate = std::to_wstring(RateClassOf(preferences.wmaRate) / 1000) + L"kbps";
  return RipFolderOf(preferences, session) + L"\\" +
         RipFileName(preferences.fileDetail, preferences.fileSeparator, naming);
}

void RipBatch::Clear() {
  number = 0;
  first = last = false;
  outcome = TrackRipOutcome::Ripped;
  reason.clear();
  previous.clear();
  frames.clear();
  audioFrames = 0;
  percent = 0;
  blocks.clear();
}

BatchReader::BatchReader(const DiscSession& session, int first, int last,
                         std::size_t frameSize, std::size_t batchFrames)
    : session_(session),
      next_(first),
      last_(last),
      frameSize_(frameSize),
      batchFrames_(batchFrames > 0 ? batchFrames : 1) {}

bool BatchReader::Next(const std::function<bool()>& stopped, RipBatch* batch) {
  if (over_ || (number_ == 0 && next_ > last_)) return false;
  batch->Clear();
  auto end = [&](TrackRipOutcome outcome, std::wstring reason) {
    batch->outcome = outcome;
    batch->reason = std::move(reason);
    batch->last = true;
    reader_.reset();
    over_ = true;
    return true;
  };
  if (number_ == 0) {
    number_ = next_++;
    batch->first = true;
    previous_.clear();
  }
  batch->number = number_;
  if (!reader_) {
    if (stopped()) return end(TrackRipOutcome::Stopped, L"stopped");
    DiscProblem problem;
    reader_ = session_.Source().OpenTrack(number_, &problem);
    if (!reader_) return end(TrackRipOutcome::DiscFailed, problem.reason);
  }
  batch->previous = previous_;
  const std::size_t wanted = batchFrames_ * frameSize_;
  std::vector<std::int16_t>& frames = batch->frames;
  frames.reserve(2 * (wanted + frameSize_));
  while (frames.size() < 2 * wanted) {
    if (stopped()) return end(TrackRipOutcome::Stopped, L"stopped");
    const std::size_t room = wanted - frames.size() / 2;
    if (!reader_->Read(static_cast<std::uint32_t>(std::min<std::size_t>(room, kChunkFrames)),
                       &chunk_)) {
      return end(TrackRipOutcome::DiscFailed, reader_->Problem().reason);
    }
    if (chunk_.empty()) {
      batch->last = true;
      break;
    }
    const std::size_t at = frames.size();
    frames.resize(at + chunk_.size() / 2);
    // CD audio is 16-bit little-endian, as the processors this runs on hold it.
    static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "samples are copied as they are");
    std::memcpy(frames.data() + at, chunk_.data(), chunk_.size() / 2 * 2);
  }
  batch->audioFrames = static_cast<std::uint32_t>(frames.size() / 2);
  const std::uint32_t total = reader_->TotalFrames();
  batch->percent =
      total ? static_cast<int>(static_cast<std::uint64_t>(reader_->FramesRead()) * 100 / total) : 0;
  if (batch->last) {
    // As WmaEncoder::Finish: the last frame padded, then one of silence to
    // bring the end out of the codec's overlap.
    const std::size_t whole = (frames.size() / 2 + frameSize_ - 1) / frameSize_ + 1;
    frames.resize(2 * whole * frameSize_, 0);
    reader_.reset();
    number_ = 0;
  } else {
    previous_.assign(frames.end() - 2 * static_cast<std::ptrdiff_t>(frameSize_), frames.end());
  }
  return true;
}

bool CodeBatch(Wmav2Codec& codec, RipBatch* batch) {
  const std::size_t count = batch->frames.size() / 2 / codec.FrameSize();
  batch->blocks.resize(count * codec.BlockAlign());
  return codec.EncodeAfter(batch->previous.empty() ? nullptr : batch->previous.data(),
                           batch->frames.data(), count, batch->blocks.data());
}

TrackRipResult CommitTrack(EngineContext& context, const EncodedTrack& encoded) {
  TrackRipResult result;
  const RippedTrack& ripped = encoded.ripped;
  auto fail = [&](std::wstring reason) {
    DiscardTrack(context, encoded);
    result.outcome = TrackRipOutcome::WriteFailed;
    result.reason = std::move(reason);
    return result;
  };
  // Tracks are taken in one after the other, so the free name one finds is
  // not taken by another at the same time.
  const os::TrackFacts facts{ripped.title,      ripped.artist,
                             ripped.albumArtist, ripped.albumTitle,
                             std::to_wstring(ripped.trackNumber), ripped.durationSeconds};
  bool replace = false;
  result.path = FreeRipPath(context.files, ripped.url, facts, &replace);
  if (result.path.empty()) return fail(L"no free name for " + ripped.url);
  if (context.files.Move(encoded.temporary, result.path, replace) != os::kSuccess) {
    return fail(L"cannot rename to " + result.path);
  }
  RippedTrack placed = ripped;
  placed.url = result.path;
  wmp::MediaPtr item;
  if (wmp::Failed(context.library.AddRipped(placed, &item))) {
    // The file is complete; without its library entry it is only an orphan
    // the next rip replaces, so it is left rather than lost.
    result.outcome = TrackRipOutcome::LibraryFailed;
    result.reason = L"the library refused " + result.path;
  }
  return result;
}

void DiscardTrack(EngineContext& context, const EncodedTrack& encoded) {
  if (!encoded.temporary.empty()) context.files.Delete(encoded.temporary);
}

}  // namespace mediaengine
