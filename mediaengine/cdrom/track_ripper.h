#pragma once
// Rips one track of a disc into the rip folder and adds it to the library.
// The file is written under a temporary name and renamed only when complete,
// so the rip folder never holds a half-written track.
#include <atomic>
#include <functional>
#include <string>

#include "mediaengine/cdrom/disc_session.h"
#include "mediaengine/base/engine_context.h"
#include "mediaengine/base/rip_preferences.h"

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

// `percent` is called with 0..99 as the track progresses (from this thread).
TrackRipResult RipTrack(EngineContext& context, const DiscSession& session, int number,
                        const RipPreferences& preferences, const std::atomic<bool>& stop,
                        const std::function<void(int)>& percent);

}  // namespace mediaengine
