#include "mediaengine/cdrom/disc_ripper.h"

#include <map>
#include <thread>
#include <vector>

#include "mediaengine/cdrom/rip_order.h"

namespace mediaengine {
namespace {

// Creates each missing level of an absolute path such as "C:\a\b\c".
os::ErrorCode CreateFolders(os::IFileSystem& files, const std::wstring& path) {
  std::size_t position = path.find(L'\\');
  if (position == std::wstring::npos) return os::kErrorPathNotFound;
  while (position != std::wstring::npos) {
    position = path.find(L'\\', position + 1);
    const std::wstring level = path.substr(0, position);
    if (files.Exists(level)) continue;
    const os::ErrorCode result = files.CreateFolder(level);
    if (result != os::kSuccess && result != os::kErrorAlreadyExists) return result;
  }
  return os::kSuccess;
}

// Writes batches into their tracks' files, in disc order: one thread at a
// time, each track's batches one after the other. The file is written under
// a temporary name and taken in (CommitTrack) only when complete.
class TrackWriter {
 public:
  TrackWriter(EngineContext& context, const DiscSession& session,
              const RipPreferences& preferences);
  ~TrackWriter();
  TrackWriter(const TrackWriter&) = delete;
  TrackWriter& operator=(const TrackWriter&) = delete;

  // Writes the batch into "<final path>.part" of its track (made at its
  // first batch). Once the last batch is in, `encoded` is ready to be taken
  // in. Anything but Ripped leaves no file of the track behind.
  TrackRipResult Write(const RipBatch& batch, EncodedTrack* encoded);
  // Gives up on a track whose file is open; nothing of it stays.
  void Abandon();

 private:
  TrackRipResult Fail(TrackRipOutcome outcome, std::wstring reason);

  EngineContext& context_;
  const DiscSession& session_;
  const RipPreferences preferences_;
  std::unique_ptr<WmaEncoder> encoder_;
  TrackRipResult result_;
  std::wstring temporary_;
  AsfTags tags_;
};

TrackWriter::TrackWriter(EngineContext& context, const DiscSession& session,
                         const RipPreferences& preferences)
    : context_(context), session_(session), preferences_(preferences) {}

TrackWriter::~TrackWriter() { Abandon(); }

void TrackWriter::Abandon() {
  if (!encoder_) return;
  encoder_->Abandon();  // an open file cannot be deleted on Windows
  encoder_.reset();
  context_.files.Delete(temporary_);
}

TrackRipResult TrackWriter::Fail(TrackRipOutcome outcome, std::wstring reason) {
  Abandon();
  TrackRipResult result = result_;
  result.outcome = outcome;
  result.reason = std::move(reason);
  return result;
}

TrackRipResult TrackWriter::Write(const RipBatch& batch, EncodedTrack* encoded) {
  const int number = batch.number;
  if (batch.first) {
    Abandon();
    result_ = TrackRipResult();
    result_.path = RipPathOf(preferences_, session_, number);
    temporary_ = result_.path + L".part";
  }
  if (batch.outcome != TrackRipOutcome::Ripped) return Fail(batch.outcome, batch.reason);
  if (batch.first) {
    if (CreateFolders(context_.files, RipFolderOf(preferences_, session_)) != os::kSuccess) {
      return Fail(TrackRipOutcome::WriteFailed, L"cannot create the rip folder");
    }
    tags_ = AsfTags();
    tags_.title = session_.TrackAttribute(number, attr::kTitle);
    tags_.author = session_.TrackAttribute(number, attr::kAuthor);
    tags_.albumTitle = session_.Album();
    tags_.albumArtist = session_.DiscAttribute(attr::kAlbumArtist);
    tags_.genre = session_.TrackAttribute(number, attr::kGenre);
    tags_.year = session_.TrackAttribute(number, attr::kYear);
    tags_.trackNumber = std::to_wstring(number);
    const os::FileTime now = os::FileTimeOfSecondsSince1970(context_.clock.SecondsSince1970());
    encoder_ = std::make_unique<WmaEncoder>();
    const os::ErrorCode opened = encoder_->Open(context_.files, temporary_, tags_,
                                                RateClassOf(preferences_.wmaRate), now);
    if (opened == WmaEncoder::kErrorEncoder) {
      return Fail(TrackRipOutcome::WriteFailed, L"the encoder cannot be set up");
    }
    if (opened != os::kSuccess) {
      return Fail(TrackRipOutcome::WriteFailed, L"cannot create " + temporary_);
    }
  }
  if (!encoder_) return Fail(TrackRipOutcome::WriteFailed, L"a batch out of its track");
  const os::ErrorCode written = encoder_->WriteCoded(
      batch.blocks.data(), batch.blocks.size() / encoder_->BlockAlign(), batch.audioFrames);
  if (written != os::kSuccess) return Fail(TrackRipOutcome::WriteFailed, L"cannot write " + temporary_);
  if (!batch.last) return result_;
  if (encoder_->FinishCoded() != os::kSuccess) {
    return Fail(TrackRipOutcome::WriteFailed, L"cannot finish " + temporary_);
  }
  encoded->temporary = temporary_;
  RippedTrack& ripped = encoded->ripped;
  ripped = RippedTrack();
  ripped.url = result_.path;
  ripped.title = tags_.title;
  ripped.artist = tags_.author;
  ripped.albumTitle = tags_.albumTitle;
  ripped.albumArtist = tags_.albumArtist;
  ripped.genre = tags_.genre;
  ripped.trackNumber = number;
  ripped.toc = session_.DiscAttribute(attr::kToc);
  ripped.durationSeconds = encoder_->DurationSeconds();
  ripped.bitrate = encoder_->Bitrate();
  ripped.fileSize = encoder_->FileSize();
  if (!tags_.year.empty()) ripped.extra.push_back({attr::kYear, tags_.year});
  encoder_.reset();  // finished and closed: the file is the caller's now
  return result_;
}


// Tracks `firstTrack`..`lastTrack`: the whole disc, or one track alone.
void RipTracks(EngineContext& context, const DiscSession& session,
               const RipPreferences& preferences, int firstTrack, int lastTrack, int threads,
               const DiscRipWatch& watch) {
  const std::uint32_t rate = RateClassOf(preferences.wmaRate);
  // The frame size for the reader; each thread codes with a codec of its own.
  std::unique_ptr<Wmav2Codec> first = Wmav2Codec::Open(rate);
  TrackWriter writer(context, session, preferences);  // written only in turn
  if (!first) {
    RipBatch batch;
    batch.number = firstTrack;
    batch.first = true;
    batch.outcome = TrackRipOutcome::WriteFailed;
    batch.reason = L"the encoder cannot be set up";
    EncodedTrack none;
    if (firstTrack <= lastTrack) watch.ended(firstTrack, writer.Write(batch, &none));
    return;
  }
  // Two batches may wait coded for their turn while their threads go on:
  // a track's short last batch does not leave its thread idle. Every batch's
  // buffers are kept for later ones; a rip holds threads + 2 batches at
  // most, whatever the length of its tracks.
  constexpr int kParkable = 2;
  RipOrder order(kParkable);
  std::map<int, RipBatch> parked;  // by turn; touched under the order's lock only
  std::vector<RipBatch> spares;
  BatchReader reader(session, firstTrack, lastTrack, first->FrameSize(), kRipBatchCodecFrames);
  auto stopped = [&] { return order.Halted() || watch.stopped(); };
  int shown = -1;  // percent of the track being written

  // Writes a batch whose turn has come (one thread at a time); a failure or
  // a stop halts the order.
  auto write = [&](const RipBatch& batch) {
    if (batch.first) {
      shown = 0;
      watch.progress(batch.number, 0);
    }
    EncodedTrack encoded;
    TrackRipResult result = writer.Write(batch, &encoded);
    if (result.outcome == TrackRipOutcome::Ripped && batch.last) {
      // The reader polls while it reads; a stop after the track's last
      // read still keeps the track out.
      if (watch.stopped()) {
        DiscardTrack(context, encoded);
        result.outcome = TrackRipOutcome::Stopped;
        result.reason = L"stopped";
      } else {
        result = CommitTrack(context, encoded);
      }
    }
    if (result.outcome != TrackRipOutcome::Ripped) order.Halt();
    if (result.outcome != TrackRipOutcome::Ripped || batch.last) {
      watch.ended(batch.number, result);
    } else if (batch.percent < 100 && batch.percent != shown) {
      watch.progress(batch.number, shown = batch.percent);
    }
  };

  auto work = [&](std::unique_ptr<Wmav2Codec> codec) {
    RipBatch batch;  // its buffers serve later batches, of this thread or another
    for (;;) {
      int turn = order.Take([&] { return reader.Next(stopped, &batch); });
      if (turn == 0) return;
      if (batch.outcome == TrackRipOutcome::Ripped) {
        if (!codec) codec = Wmav2Codec::Open(rate);
        if (!codec || !CodeBatch(*codec, &batch)) {
          batch.outcome = TrackRipOutcome::WriteFailed;
          batch.reason = L"the encoder refused the audio";
        }
      }
      const RipOrder::Turn handed = order.HandIn(turn, [&] {
        parked.emplace(turn, std::move(batch));
        batch = RipBatch();
        if (!spares.empty()) {
          batch = std::move(spares.back());
          spares.pop_back();
        }
      });
      if (handed == RipOrder::Turn::Parked) continue;
      if (handed == RipOrder::Turn::Halted) {
        order.Done(turn);
        continue;  // halted: Take hands out nothing more
      }
      // This batch, then each parked one whose turn comes with it.
      while (turn != 0) {
        write(batch);
        turn = order.Done(turn, [&](int next) {
          spares.push_back(std::move(batch));
          auto due = parked.find(next);
          batch = std::move(due->second);
          parked.erase(due);
        });
      }
    }
  };
  std::vector<std::thread> helpers;
  for (int i = 1; i < threads; ++i) helpers.emplace_back(work, nullptr);
  work(std::move(first));
  for (std::thread& helper : helpers) helper.join();
}

}  // namespace

void RipDiscTracks(EngineContext& context, const DiscSession& session,
                   const RipPreferences& preferences, int threads, const DiscRipWatch& watch) {
  RipTracks(context, session, preferences, 1, session.TrackCount(), threads, watch);
}

TrackRipResult RipTrack(EngineContext& context, const DiscSession& session, int number,
                        const RipPreferences& preferences, const std::function<bool()>& stopped,
                        const std::function<void(int)>& percent) {
  TrackRipResult result;
  result.outcome = TrackRipOutcome::DiscFailed;  // a track the disc does not have
  result.reason = L"no such track";
  DiscRipWatch watch;
  watch.stopped = stopped;
  watch.progress = [&](int, int now) { percent(now); };
  watch.ended = [&](int, const TrackRipResult& ended) { result = ended; };
  RipTracks(context, session, preferences, number, number, 1, watch);
  return result;
}

}  // namespace mediaengine
