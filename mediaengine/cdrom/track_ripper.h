#pragma once
// Rips one track of a disc into the rip folder and adds it to the library.
// The file is written under a temporary name and renamed only when complete,
// so the rip folder never holds a half-written track. Encoding and taking
// the file in are two steps, so tracks can be encoded side by side and still
// arrive in the library in disc order.
#include <functional>
#include <string>

#include "mediaengine/cdrom/disc_session.h"
#include "mediaengine/base/engine_context.h"
#include "mediaengine/base/rip_preferences.h"
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

// Encodes the track into "<final path>.part". `percent` is called with
// 0..99 as the track progresses and `stopped` polled between chunks (both
// from this thread). Anything but Ripped leaves no file behind.
TrackRipResult EncodeTrack(EngineContext& context, const DiscSession& session, int number,
                           const RipPreferences& preferences,
                           const std::function<bool()>& stopped,
                           const std::function<void(int)>& percent, EncodedTrack* encoded);
// Renames the encoded file into place and adds it to the library.
TrackRipResult CommitTrack(EngineContext& context, const EncodedTrack& encoded);
// Deletes the encoded file of a track that is not taken in.
void DiscardTrack(EngineContext& context, const EncodedTrack& encoded);

// Both steps at once.
TrackRipResult RipTrack(EngineContext& context, const DiscSession& session, int number,
                        const RipPreferences& preferences, const std::function<bool()>& stopped,
                        const std::function<void(int)>& percent);

}  // namespace mediaengine
