#pragma once
// Rips the tracks of a disc on several threads: one track after another is
// read in batches of codec frames (from one place at a time, front to back),
// the batches are coded on whichever thread is free, and written in the
// order they were read. So the last track of a disc, or a disc of one long
// track, keeps every thread busy, and the memory in flight is a few batches
// whatever the tracks' lengths.
#include <functional>

#include "mediaengine/cdrom/track_ripper.h"

namespace mediaengine {

struct DiscRipWatch {
  // Polled between reads; true ends the rip (the track in hand is not kept).
  std::function<bool()> stopped;
  // The track being written (the first unfinished one) and its percent,
  // 0 first; called from one thread at a time.
  std::function<void(int number, int percent)> progress;
  // Each track that ends, in disc order: ripped and taken in, or the track
  // that failed or was stopped (the last call then). From one thread at a
  // time.
  std::function<void(int number, const TrackRipResult& result)> ended;
};

// Tracks 1..TrackCount() of the session on `threads` threads (this one and
// threads - 1 helpers).
void RipDiscTracks(EngineContext& context, const DiscSession& session,
                   const RipPreferences& preferences, int threads, const DiscRipWatch& watch);

// One track alone, on this thread, taken into the library: the same steps.
// `percent` is called with 0..99 as the track progresses and `stopped`
// polled between reads. Anything but Ripped leaves no file behind.
TrackRipResult RipTrack(EngineContext& context, const DiscSession& session, int number,
                        const RipPreferences& preferences, const std::function<bool()>& stopped,
                        const std::function<void(int)>& percent);

}  // namespace mediaengine
