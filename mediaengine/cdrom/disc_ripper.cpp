#include "mediaengine/cdrom/disc_ripper.h"

#include <map>
#include <thread>
#include <vector>

#include "mediaengine/cdrom/rip_order.h"

namespace mediaengine {
namespace {

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
