#include "mediaengine/cdrom/track_ripper.h"

#include <cstdio>
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

TrackRipResult EncodeTrack(EngineContext& context, const DiscSession& session, int number,
                           const RipPreferences& preferences,
                           const std::function<bool()>& stopped,
                           const std::function<void(int)>& percent, EncodedTrack* encoded) {
  TrackRipResult result;
  result.path = RipPathOf(preferences, session, number);
  const std::wstring temporary = result.path + L".part";
  WmaEncoder encoder;
  auto fail = [&](TrackRipOutcome outcome, std::wstring reason) {
    encoder.Abandon();  // an open file cannot be deleted on Windows
    context.files.Delete(temporary);
    result.outcome = outcome;
    result.reason = std::move(reason);
    return result;
  };

  if (CreateFolders(context.files, RipFolderOf(preferences, session)) != os::kSuccess) {
    return fail(TrackRipOutcome::WriteFailed, L"cannot create the rip folder");
  }
  DiscProblem problem;
  std::unique_ptr<TrackReader> reader = session.Source().OpenTrack(number, &problem);
  if (!reader) return fail(TrackRipOutcome::DiscFailed, problem.reason);

  AsfTags tags;
  tags.title = session.TrackAttribute(number, attr::kTitle);
  tags.author = session.TrackAttribute(number, attr::kAuthor);
  tags.albumTitle = session.Album();
  tags.albumArtist = session.DiscAttribute(attr::kAlbumArtist);
  tags.genre = session.TrackAttribute(number, attr::kGenre);
  tags.year = session.TrackAttribute(number, attr::kYear);
  tags.trackNumber = std::to_wstring(number);

  const os::FileTime now = os::FileTimeOfSecondsSince1970(context.clock.SecondsSince1970());
  const os::ErrorCode opened =
      encoder.Open(context.files, temporary, tags, RateClassOf(preferences.wmaRate), now);
  if (opened == WmaEncoder::kErrorEncoder) {
    return fail(TrackRipOutcome::WriteFailed, L"the encoder cannot be set up");
  }
  if (opened != os::kSuccess) return fail(TrackRipOutcome::WriteFailed, L"cannot create " + temporary);

  std::vector<std::uint8_t> chunk;
  std::vector<std::int16_t> frames;
  int shown = -1;
  for (;;) {
    if (stopped()) return fail(TrackRipOutcome::Stopped, L"stopped");
    if (!reader->Read(kChunkFrames, &chunk)) {
      return fail(TrackRipOutcome::DiscFailed, reader->Problem().reason);
    }
    if (chunk.empty()) break;
    frames.resize(chunk.size() / 2);
    for (std::size_t i = 0; i < frames.size(); ++i) {
      frames[i] = static_cast<std::int16_t>(chunk[2 * i] | (chunk[2 * i + 1] << 8));
    }
    const os::ErrorCode written = encoder.Write(frames.data(), frames.size() / 2);
    if (written == WmaEncoder::kErrorEncoder) {
      return fail(TrackRipOutcome::WriteFailed, L"the encoder refused the audio");
    }
    if (written != os::kSuccess) return fail(TrackRipOutcome::WriteFailed, L"cannot write " + temporary);
    const std::uint32_t total = reader->TotalFrames();
    const int now_percent =
        total ? static_cast<int>(static_cast<std::uint64_t>(reader->FramesRead()) * 100 / total)
              : 0;
    if (now_percent < 100 && now_percent != shown) {
      shown = now_percent;
      percent(now_percent);
    }
  }
  if (encoder.Finish() != os::kSuccess) {
    return fail(TrackRipOutcome::WriteFailed, L"cannot finish " + temporary);
  }
  if (stopped()) return fail(TrackRipOutcome::Stopped, L"stopped");

  encoded->temporary = temporary;
  RippedTrack& ripped = encoded->ripped;
  ripped.url = result.path;
  ripped.title = tags.title;
  ripped.artist = tags.author;
  ripped.albumTitle = tags.albumTitle;
  ripped.albumArtist = tags.albumArtist;
  ripped.genre = tags.genre;
  ripped.trackNumber = number;
  ripped.toc = session.DiscAttribute(attr::kToc);
  ripped.durationSeconds = encoder.DurationSeconds();
  ripped.bitrate = encoder.Bitrate();
  ripped.fileSize = encoder.FileSize();
  if (!tags.year.empty()) ripped.extra.push_back({attr::kYear, tags.year});
  return result;
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

TrackRipResult RipTrack(EngineContext& context, const DiscSession& session, int number,
                        const RipPreferences& preferences, const std::function<bool()>& stopped,
                        const std::function<void(int)>& percent) {
  EncodedTrack encoded;
  const TrackRipResult result =
      EncodeTrack(context, session, number, preferences, stopped, percent, &encoded);
  return result.outcome == TrackRipOutcome::Ripped ? CommitTrack(context, encoded) : result;
}

}  // namespace mediaengine
