#include "mediaengine/disc/disc_source.h"

#include <algorithm>
#include <cstdio>

#include "engine/model/placeholders.h"
#include "mediaengine/disc/cd_audio.h"

namespace mediaengine {
namespace {

bool IsBlank(const std::wstring& text) {
  return std::all_of(text.begin(), text.end(),
                     [](wchar_t c) { return c == L' ' || c == L'\t' || c == 0x3000; });
}

std::wstring Or(const std::wstring& text, const wchar_t* fallback) {
  return IsBlank(text) ? std::wstring(fallback) : text;
}

std::wstring Hex(std::uint32_t value) {
  wchar_t text[16];
  std::swprintf(text, 16, L"%X", static_cast<unsigned>(value));
  return text;
}

}  // namespace

std::uint32_t DiscTrack::Frames() const { return lengthSectors * kFramesPerSector; }
std::uint64_t DiscTrack::PcmBytes() const {
  return static_cast<std::uint64_t>(lengthSectors) * kSectorBytes;
}
double DiscTrack::Seconds() const { return lengthSectors / static_cast<double>(kSectorsPerSecond); }

bool TrackReader::Fail(DiscStatus status, os::ErrorCode error, const std::wstring& path,
                       const std::wstring& reason) {
  problem_.status = status;
  problem_.error = error;
  problem_.path = path;
  problem_.reason = reason;
  return false;
}

std::wstring DiscSource::Album() const { return Or(title_, wmp::kUnknownAlbum); }

std::wstring DiscSource::AlbumArtist() const { return Or(performer_, wmp::kUnknownArtist); }

const DiscTrack* DiscSource::Track(int number) const {
  if (number < 1 || static_cast<std::size_t>(number) > tracks_.size()) return nullptr;
  return &tracks_[static_cast<std::size_t>(number) - 1];
}

bool DiscSource::SameDisc(const DiscSource& other) const {
  if (toc_ != other.toc_ || title_ != other.title_ || performer_ != other.performer_ ||
      tracks_.size() != other.tracks_.size()) {
    return false;
  }
  for (std::size_t i = 0; i < tracks_.size(); ++i) {
    if (tracks_[i].title != other.tracks_[i].title ||
        tracks_[i].artist != other.tracks_[i].artist) {
      return false;
    }
  }
  return true;
}

void DiscSource::SetTracks(const std::vector<std::uint32_t>& starts,
                           const std::vector<std::uint32_t>& lengths,
                           const std::vector<std::wstring>& titles,
                           const std::vector<std::wstring>& performers) {
  tracks_.clear();
  const std::wstring discArtist = AlbumArtist();
  toc_ = Hex(static_cast<std::uint32_t>(starts.size()));
  for (std::size_t i = 0; i < starts.size(); ++i) {
    DiscTrack track;
    track.number = static_cast<int>(i) + 1;
    const std::wstring title = i < titles.size() ? titles[i] : std::wstring();
    const std::wstring performer = i < performers.size() ? performers[i] : std::wstring();
    track.title = IsBlank(title) ? wmp::UnknownTrackTitle(track.number) : title;
    track.artist = Or(performer, discArtist.c_str());
    track.startLba = starts[i];
    track.lengthSectors = lengths[i];
    tracks_.push_back(track);
    toc_ += L"+" + Hex(AddressOf(starts[i]));
  }
  if (!starts.empty()) toc_ += L"+" + Hex(AddressOf(starts.back() + lengths.back()));
}

std::nullptr_t RefuseDisc(DiscProblem* problem, DiscStatus status, const std::wstring& path,
                          os::ErrorCode error, const std::wstring& reason, int line) {
  problem->status = status;
  problem->path = path;
  problem->error = error;
  problem->reason = reason;
  problem->line = line;
  return nullptr;
}

}  // namespace mediaengine
