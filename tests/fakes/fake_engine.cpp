#include "fakes/fake_engine.h"

#include <algorithm>
#include <cmath>

#include "engine/model/placeholders.h"
#include "os/paths.h"

namespace fakes {
namespace {

using wmp::HResult;

using wmp::CanonicalAttribute;
using namespace wmp::attr;

std::uint64_t NextIdentity() {
  static std::uint64_t next = 0;
  return ++next;
}

std::wstring TwoDigits(long value) {
  std::wstring text = std::to_wstring(value);
  return text.size() < 2 ? L"0" + text : text;
}

std::wstring Hex(std::uint64_t value) {
  static const wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring text;
  do {
    text.insert(text.begin(), kDigits[value % 16]);
    value /= 16;
  } while (value != 0);
  return text;
}

std::wstring ReadAttribute(const MediaState& state, const std::wstring& name) {
  const std::wstring canonical = CanonicalAttribute(name);
  if (canonical == kSourceUrl) return state.url;
  auto it = state.attributes.find(canonical);
  return it == state.attributes.end() ? std::wstring() : it->second;
}

void WriteAttribute(MediaState& state, const std::wstring& name, const std::wstring& value) {
  const std::wstring canonical = CanonicalAttribute(name);
  if (canonical == kSourceUrl) {
    state.url = value;
  } else {
    state.attributes[canonical] = value;
  }
}

std::shared_ptr<MediaState> NewMediaState(const std::wstring& title, const std::wstring& url) {
  auto state = std::make_shared<MediaState>();
  state->identity = NextIdentity();
  state->url = url;
  if (!title.empty()) state->attributes[kTitle] = title;
  return state;
}

// Takes one scripted answer for an attribute name.
bool TakeAttributeFailure(std::map<std::wstring, std::pair<HResult, int>>& failures,
                          const std::wstring& name, HResult* result) {
  auto it = failures.find(CanonicalAttribute(name));
  if (it == failures.end()) return false;
  *result = it->second.first;
  if (it->second.second != kAlways && --it->second.second <= 0) failures.erase(it);
  return true;
}

// The item behind an IMedia of any kind: ours by identity, another by its file.
std::shared_ptr<MediaState> FindItem(const std::vector<std::shared_ptr<MediaState>>& items,
                                     wmp::IMedia* media) {
  if (!media) return nullptr;
  if (const auto* fake = dynamic_cast<const FakeMedia*>(media)) {
    for (const auto& item : items) {
      if (item == fake->State()) return item;
    }
    return nullptr;
  }
  std::wstring url;
  if (wmp::Failed(media->SourceUrl(&url)) || url.empty()) return nullptr;
  for (const auto& item : items) {
    if (os::PathKey(item->url) == os::PathKey(url)) return item;
  }
  return nullptr;
}

FakePlaylistPtr Snapshot(const std::wstring& name,
                         const std::vector<std::shared_ptr<MediaState>>& items) {
  FakePlaylistPtr playlist = FakePlaylist::Create(name);
  playlist->State()->items = items;
  return playlist;
}

}  // namespace

// ---------------------------------------------------------------- FakeMedia

std::shared_ptr<FakeMedia> FakeMedia::Create(const std::wstring& title, const std::wstring& url) {
  return std::make_shared<FakeMedia>(NewMediaState(title, url));
}

FakeMedia& FakeMedia::Set(const std::wstring& attribute, const std::wstring& value) {
  WriteAttribute(*state_, attribute, value);
  return *this;
}

FakeMedia& FakeMedia::Unset(const std::wstring& attribute) {
  state_->attributes.erase(CanonicalAttribute(attribute));
  return *this;
}

FakeMedia& FakeMedia::SetUrl(const std::wstring& url) {
  state_->url = url;
  return *this;
}

FakeMedia& FakeMedia::SetSeconds(double seconds) {
  state_->seconds = seconds;
  return *this;
}

FakeMedia& FakeMedia::SetDurationText(const std::wstring& text) {
  state_->durationText = text;
  return *this;
}

std::wstring FakeMedia::Attribute(const std::wstring& attribute) const {
  return ReadAttribute(*state_, attribute);
}

bool FakeMedia::HasAttribute(const std::wstring& attribute) const {
  return state_->attributes.count(CanonicalAttribute(attribute)) != 0;
}

void FakeMedia::FailRead(const std::wstring& attribute, HResult result, int times) {
  state_->readFailures[CanonicalAttribute(attribute)] = {result, times};
}

void FakeMedia::FailWrite(const std::wstring& attribute, HResult result, int times) {
  state_->writeFailures[CanonicalAttribute(attribute)] = {result, times};
}

HResult FakeMedia::Name(std::wstring* name) {
  if (!name) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (state_->script.Take(MediaOp::Name, &scripted)) return scripted;
  *name = ReadAttribute(*state_, kTitle);
  return wmp::kOk;
}

HResult FakeMedia::SetName(const std::wstring& name) {
  HResult scripted = wmp::kOk;
  if (state_->script.Take(MediaOp::SetName, &scripted)) return scripted;
  WriteAttribute(*state_, kTitle, name);
  state_->writes.emplace_back(kTitle, name);
  return wmp::kOk;
}

HResult FakeMedia::SourceUrl(std::wstring* url) {
  if (!url) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (state_->script.Take(MediaOp::SourceUrl, &scripted)) return scripted;
  *url = state_->url;
  return wmp::kOk;
}

HResult FakeMedia::Duration(double* seconds) {
  if (!seconds) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (state_->script.Take(MediaOp::Duration, &scripted)) return scripted;
  *seconds = state_->seconds;
  return wmp::kOk;
}

HResult FakeMedia::DurationString(std::wstring* text) {
  if (!text) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (state_->script.Take(MediaOp::DurationString, &scripted)) return scripted;
  *text = state_->durationText.empty()
              ? wmp::DurationText(static_cast<std::int64_t>(state_->seconds))
              : state_->durationText;
  return wmp::kOk;
}

HResult FakeMedia::GetItemInfo(const std::wstring& attribute, std::wstring* value) {
  if (!value) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (state_->script.Take(MediaOp::GetItemInfo, &scripted)) return scripted;
  if (attribute.empty()) return wmp::kInvalidArg;
  if (TakeAttributeFailure(state_->readFailures, attribute, &scripted)) return scripted;
  *value = ReadAttribute(*state_, attribute);
  return wmp::kOk;
}

HResult FakeMedia::SetItemInfo(const std::wstring& attribute, const std::wstring& value) {
  HResult scripted = wmp::kOk;
  if (state_->script.Take(MediaOp::SetItemInfo, &scripted)) return scripted;
  if (attribute.empty()) return wmp::kInvalidArg;
  if (TakeAttributeFailure(state_->writeFailures, attribute, &scripted)) return scripted;
  WriteAttribute(*state_, attribute, value);
  state_->writes.emplace_back(CanonicalAttribute(attribute), value);
  return wmp::kOk;
}

HResult FakeMedia::IsIdentical(wmp::IMedia* other, bool* identical) {
  if (!identical || !other) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (state_->script.Take(MediaOp::IsIdentical, &scripted)) return scripted;
  const auto* fake = dynamic_cast<const FakeMedia*>(other);
  *identical = fake && fake->state_ == state_;
  return wmp::kOk;
}

// ---------------------------------------------------------------- FakePlaylist

std::shared_ptr<FakePlaylist> FakePlaylist::Create(const std::wstring& name) {
  auto state = std::make_shared<PlaylistState>();
  state->identity = NextIdentity();
  state->info = NewMediaState(name, {});
  return std::make_shared<FakePlaylist>(std::move(state));
}

FakePlaylist& FakePlaylist::Add(const FakeMediaPtr& item) {
  state_->items.push_back(item->State());
  return *this;
}

FakePlaylist& FakePlaylist::SetTitle(const std::wstring& name) {
  WriteAttribute(*state_->info, kTitle, name);
  return *this;
}

FakePlaylist& FakePlaylist::Set(const std::wstring& attribute, const std::wstring& value) {
  WriteAttribute(*state_->info, attribute, value);
  return *this;
}

std::wstring FakePlaylist::Title() const { return ReadAttribute(*state_->info, kTitle); }

std::wstring FakePlaylist::Attribute(const std::wstring& attribute) const {
  return ReadAttribute(*state_->info, attribute);
}

std::vector<FakeMediaPtr> FakePlaylist::Items() const {
  std::vector<FakeMediaPtr> items;
  for (const auto& item : state_->items) items.push_back(std::make_shared<FakeMedia>(item));
  return items;
}

FakeMediaPtr FakePlaylist::At(std::size_t index) const {
  return std::make_shared<FakeMedia>(state_->items.at(index));
}

HResult FakePlaylist::Count(long* count) {
  if (!count) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (state_->script.Take(PlaylistOp::Count, &scripted)) return scripted;
  *count = static_cast<long>(state_->items.size());
  return wmp::kOk;
}

HResult FakePlaylist::Item(long index, wmp::MediaPtr* item) {
  if (!item) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (state_->script.Take(PlaylistOp::Item, &scripted)) {
    item->reset();
    return scripted;
  }
  if (index < 0 || static_cast<std::size_t>(index) >= state_->items.size()) {
    return wmp::kInvalidArg;
  }
  *item = std::make_shared<FakeMedia>(state_->items[static_cast<std::size_t>(index)]);
  return wmp::kOk;
}

HResult FakePlaylist::Name(std::wstring* name) {
  if (!name) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (state_->script.Take(PlaylistOp::Name, &scripted)) return scripted;
  *name = Title();
  return wmp::kOk;
}

HResult FakePlaylist::SetName(const std::wstring& name) {
  HResult scripted = wmp::kOk;
  if (state_->script.Take(PlaylistOp::SetName, &scripted)) return scripted;
  WriteAttribute(*state_->info, kTitle, name);
  state_->info->writes.emplace_back(kTitle, name);
  return wmp::kOk;
}

HResult FakePlaylist::GetItemInfo(const std::wstring& attribute, std::wstring* value) {
  if (!value) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (state_->script.Take(PlaylistOp::GetItemInfo, &scripted)) return scripted;
  if (attribute.empty()) return wmp::kInvalidArg;
  *value = ReadAttribute(*state_->info, attribute);
  return wmp::kOk;
}

HResult FakePlaylist::SetItemInfo(const std::wstring& attribute, const std::wstring& value) {
  HResult scripted = wmp::kOk;
  if (state_->script.Take(PlaylistOp::SetItemInfo, &scripted)) return scripted;
  if (attribute.empty()) return wmp::kInvalidArg;
  WriteAttribute(*state_->info, attribute, value);
  state_->info->writes.emplace_back(CanonicalAttribute(attribute), value);
  return wmp::kOk;
}

HResult FakePlaylist::AppendItem(wmp::IMedia* item) {
  if (!item) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (state_->script.Take(PlaylistOp::AppendItem, &scripted)) return scripted;
  const auto* fake = dynamic_cast<const FakeMedia*>(item);
  if (!fake) return wmp::kInvalidArg;
  state_->items.push_back(fake->State());
  return wmp::kOk;
}

HResult FakePlaylist::RemoveItem(wmp::IMedia* item) {
  if (!item) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (state_->script.Take(PlaylistOp::RemoveItem, &scripted)) return scripted;
  const std::shared_ptr<MediaState> found = FindItem(state_->items, item);
  if (!found) return wmp::kInvalidArg;
  state_->items.erase(std::find(state_->items.begin(), state_->items.end(), found));
  return wmp::kOk;
}

HResult FakePlaylist::MoveItem(long oldIndex, long newIndex) {
  HResult scripted = wmp::kOk;
  if (state_->script.Take(PlaylistOp::MoveItem, &scripted)) return scripted;
  const long count = static_cast<long>(state_->items.size());
  if (oldIndex < 0 || oldIndex >= count || newIndex < 0 || newIndex >= count) {
    return wmp::kInvalidArg;
  }
  auto moved = state_->items[static_cast<std::size_t>(oldIndex)];
  state_->items.erase(state_->items.begin() + oldIndex);
  state_->items.insert(state_->items.begin() + newIndex, std::move(moved));
  return wmp::kOk;
}

HResult FakePlaylist::IsIdentical(wmp::IPlaylist* other, bool* identical) {
  if (!identical || !other) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (state_->script.Take(PlaylistOp::IsIdentical, &scripted)) return scripted;
  const auto* fake = dynamic_cast<const FakePlaylist*>(other);
  *identical = fake && fake->state_ == state_;
  return wmp::kOk;
}

HResult FakePlaylistArray::Count(long* count) {
  if (!count) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (script_.Take(PlaylistArrayOp::Count, &scripted)) return scripted;
  *count = static_cast<long>(playlists_.size());
  return wmp::kOk;
}

HResult FakePlaylistArray::Item(long index, wmp::PlaylistPtr* playlist) {
  if (!playlist) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (script_.Take(PlaylistArrayOp::Item, &scripted)) {
    playlist->reset();
    return scripted;
  }
  if (index < 0 || static_cast<std::size_t>(index) >= playlists_.size()) return wmp::kInvalidArg;
  *playlist = playlists_[static_cast<std::size_t>(index)];
  return wmp::kOk;
}

// ---------------------------------------------------------------- discs

FakePlaylistPtr MakeDisc(const std::wstring& album, const std::vector<FakeTrack>& tracks,
                         const std::wstring& toc) {
  FakePlaylistPtr disc = FakePlaylist::Create(album);
  const std::wstring albumArtist = tracks.empty() ? std::wstring() : tracks.front().artist;
  // Start sectors in hex after the two-second pregap, then the lead-out.
  constexpr std::uint64_t kPregapSectors = 150;
  constexpr double kSectorsPerSecond = 75;
  std::uint64_t sector = kPregapSectors;
  std::wstring madeToc;
  for (std::size_t i = 0; i < tracks.size(); ++i) {
    const FakeTrack& track = tracks[i];
    const std::wstring file = L"Track" + TwoDigits(static_cast<long>(i) + 1) + L".cda";
    FakeMediaPtr item = FakeMedia::Create(track.title, file);
    item->Set(kAuthor, track.artist)
        .Set(kAlbumTitle, album)
        .Set(kAlbumArtist, albumArtist)
        .Set(kTrackNumber, std::to_wstring(i + 1))
        .Set(kMediaType, wmp::kMediaTypeAudio)
        .SetSeconds(track.seconds);
    disc->Add(item);
    madeToc += Hex(sector) + L"+";
    sector += static_cast<std::uint64_t>(std::llround(track.seconds * kSectorsPerSecond));
  }
  madeToc += Hex(sector);
  disc->Set(kToc, toc.empty() ? madeToc : toc);
  return disc;
}

FakePlaylistPtr MakeDisc(int count) {
  std::vector<FakeTrack> tracks;
  for (int n = 1; n <= count; ++n) {
    tracks.push_back({L"Track " + TwoDigits(n), L"Artist", 180.0 + n});
  }
  return MakeDisc(L"Album", tracks);
}

FakePlaylistPtr MakeNoDisc() { return FakePlaylist::Create(wmp::kNoDiscPlaylistName); }

HResult FakeCdromRip::StartRip() {
  HResult scripted = wmp::kOk;
  if (script_.Take(CdromRipOp::StartRip, &scripted)) return scripted;
  state_ = static_cast<long>(wmp::RipState::Ripping);
  return wmp::kOk;
}

HResult FakeCdromRip::StopRip() {
  HResult scripted = wmp::kOk;
  if (script_.Take(CdromRipOp::StopRip, &scripted)) return scripted;
  state_ = static_cast<long>(wmp::RipState::Stopped);
  return wmp::kOk;
}

HResult FakeCdromRip::RipState(long* state) {
  if (!state) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (script_.Take(CdromRipOp::RipState, &scripted)) return scripted;
  *state = state_;
  return wmp::kOk;
}

HResult FakeCdromRip::RipProgress(long* percent) {
  if (!percent) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (script_.Take(CdromRipOp::RipProgress, &scripted)) return scripted;
  *percent = progress_;
  return wmp::kOk;
}

FakeCdrom::FakeCdrom(std::wstring drive) : drive_(std::move(drive)), disc_(MakeNoDisc()) {}

HResult FakeCdrom::DriveSpecifier(std::wstring* drive) {
  if (!drive) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (script_.Take(CdromOp::DriveSpecifier, &scripted)) return scripted;
  *drive = drive_;
  return wmp::kOk;
}

HResult FakeCdrom::Playlist(wmp::PlaylistPtr* playlist) {
  if (!playlist) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (script_.Take(CdromOp::Playlist, &scripted)) {
    playlist->reset();
    return scripted;
  }
  *playlist = disc_->Fresh();
  return wmp::kOk;
}

HResult FakeCdrom::Eject() {
  HResult scripted = wmp::kOk;
  if (script_.Take(CdromOp::Eject, &scripted)) return scripted;
  ++ejects_;
  Remove();
  return wmp::kOk;
}

wmp::CdromRipPtr FakeCdrom::Rip() {
  HResult scripted = wmp::kOk;
  if (script_.Take(CdromOp::Rip, &scripted)) return nullptr;
  return rip_;
}

FakeCdromPtr FakeCdromCollection::AddDrive(const std::wstring& drive, FakePlaylistPtr disc) {
  auto cdrom = std::make_shared<FakeCdrom>(drive);
  if (disc) cdrom->Insert(std::move(disc));
  drives_.push_back(cdrom);
  return cdrom;
}

HResult FakeCdromCollection::Count(long* count) {
  if (!count) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (script_.Take(CdromCollectionOp::Count, &scripted)) return scripted;
  *count = static_cast<long>(drives_.size());
  return wmp::kOk;
}

HResult FakeCdromCollection::Item(long index, wmp::CdromPtr* drive) {
  if (!drive) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (script_.Take(CdromCollectionOp::Item, &scripted)) {
    drive->reset();
    return scripted;
  }
  if (index < 0 || static_cast<std::size_t>(index) >= drives_.size()) return wmp::kInvalidArg;
  *drive = drives_[static_cast<std::size_t>(index)];
  return wmp::kOk;
}

// ---------------------------------------------------------------- library

FakeMediaPtr FakeMediaCollection::AddItem(FakeMediaPtr item) {
  items_.push_back(item->State());
  return item;
}

FakeMediaPtr FakeMediaCollection::AddFile(const std::wstring& url, const std::wstring& title) {
  FakeMediaPtr item = FakeMedia::Create(title.empty() ? os::PathStem(url) : title, url);
  item->Set(kMediaType, L"audio").Set(kFileType, os::PathExtension(url));
  return AddItem(item);
}

FakeMediaPtr FakeMediaCollection::AddRipped(const FakePlaylist& disc, std::size_t index,
                                            const RipOptions& options) {
  const FakeMediaPtr track = disc.At(index);
  const std::wstring title = track->Title();
  const std::wstring artist = track->Attribute(kAuthor);
  std::wstring album = track->Attribute(kAlbumTitle);
  if (album.empty()) album = disc.Title();
  std::wstring albumArtist = track->Attribute(kAlbumArtist);
  if (albumArtist.empty()) albumArtist = artist;
  std::wstring number = track->Attribute(kTrackNumber);
  if (number.empty()) number = std::to_wstring(index + 1);

  const std::wstring url = options.folder + L"\\" + albumArtist + L"\\" + album + L"\\" +
                           TwoDigits(static_cast<long>(index) + 1) + L" " + title + L"." +
                           options.fileType;
  const double seconds = track->State()->seconds;
  const std::int64_t size =
      options.fileSize >= 0
          ? options.fileSize
          : static_cast<std::int64_t>(seconds * static_cast<double>(options.bitrate) / 8);
  FakeMediaPtr item = FakeMedia::Create(title, url);
  item->Set(kAuthor, artist)
      .Set(kAlbumTitle, album)
      .Set(kAlbumArtist, albumArtist)
      .Set(kTrackNumber, number)
      .Set(kToc, disc.Attribute(kToc))
      .Set(kBitrate, std::to_wstring(options.bitrate))
      .Set(kFileSize, std::to_wstring(size))
      .Set(kFileType, options.fileType)
      .Set(kMediaType, wmp::kMediaTypeAudio)
      .SetSeconds(seconds);
  if (track->HasAttribute(kGenre)) item->Set(kGenre, track->Attribute(kGenre));
  return AddItem(item);
}

std::vector<FakeMediaPtr> FakeMediaCollection::AddRippedDisc(const FakePlaylist& disc,
                                                             const RipOptions& options) {
  std::vector<FakeMediaPtr> items;
  for (std::size_t i = 0; i < disc.Size(); ++i) items.push_back(AddRipped(disc, i, options));
  return items;
}

std::vector<FakeMediaPtr> FakeMediaCollection::Items() const {
  std::vector<FakeMediaPtr> items;
  for (const auto& item : items_) items.push_back(std::make_shared<FakeMedia>(item));
  return items;
}

bool FakeMediaCollection::Contains(const wmp::IMedia* item) const {
  const auto* fake = dynamic_cast<const FakeMedia*>(item);
  return fake && std::find(items_.begin(), items_.end(), fake->State()) != items_.end();
}

FakeMediaPtr FakeMediaCollection::FindByUrl(const std::wstring& url) const {
  for (const auto& item : items_) {
    if (!item->url.empty() && os::PathKey(item->url) == os::PathKey(url)) {
      return std::make_shared<FakeMedia>(item);
    }
  }
  return nullptr;
}

void FakeMediaCollection::Erase(const std::shared_ptr<MediaState>& state) {
  items_.erase(std::remove(items_.begin(), items_.end(), state), items_.end());
}

HResult FakeMediaCollection::Add(const std::wstring& url, wmp::MediaPtr* item) {
  if (!item) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (script_.Take(MediaCollectionOp::Add, &scripted)) {
    item->reset();
    return scripted;
  }
  if (url.empty()) return wmp::kInvalidArg;
  addedUrls_.push_back(url);
  FakeMediaPtr found = FindByUrl(url);
  *item = found ? found : AddFile(url)->Fresh();
  return wmp::kOk;
}

HResult FakeMediaCollection::Answer(MediaCollectionOp op, const std::wstring& name,
                                    const std::wstring& attribute, const std::wstring& value,
                                    wmp::PlaylistPtr* items) {
  if (!items) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (script_.Take(op, &scripted)) {
    items->reset();
    return scripted;
  }
  std::vector<std::shared_ptr<MediaState>> found;
  for (const auto& item : items_) {
    if (attribute.empty() || ReadAttribute(*item, attribute) == value) found.push_back(item);
  }
  *items = Snapshot(name, found);
  return wmp::kOk;
}

HResult FakeMediaCollection::GetByAttribute(const std::wstring& attribute,
                                            const std::wstring& value, wmp::PlaylistPtr* items) {
  if (attribute.empty()) {
    // Counted and scripted like any other call before the argument check.
    HResult scripted = wmp::kOk;
    if (script_.Take(MediaCollectionOp::GetByAttribute, &scripted)) {
      if (items) items->reset();
      return scripted;
    }
    return wmp::kInvalidArg;
  }
  return Answer(MediaCollectionOp::GetByAttribute, value, attribute, value, items);
}

HResult FakeMediaCollection::GetByAlbum(const std::wstring& album, wmp::PlaylistPtr* items) {
  return Answer(MediaCollectionOp::GetByAlbum, album, kAlbumTitle, album, items);
}

HResult FakeMediaCollection::GetByName(const std::wstring& name, wmp::PlaylistPtr* items) {
  return Answer(MediaCollectionOp::GetByName, name, kTitle, name, items);
}

HResult FakeMediaCollection::GetAll(wmp::PlaylistPtr* items) {
  return Answer(MediaCollectionOp::GetAll, {}, {}, {}, items);
}

HResult FakeMediaCollection::Remove(wmp::IMedia* item, bool deleteFile) {
  if (!item) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (script_.Take(MediaCollectionOp::Remove, &scripted)) return scripted;
  const std::shared_ptr<MediaState> found = FindItem(items_, item);
  if (!found) return wmp::kInvalidArg;
  Erase(found);
  removals_.push_back({found->url, deleteFile});
  // The library entry is gone whether or not the file could be deleted.
  if (deleteFile && files_ && !found->url.empty()) files_->Delete(found->url);
  return wmp::kOk;
}

FakePlaylistPtr FakePlaylistCollection::AddPlaylist(const std::wstring& name) {
  FakePlaylistPtr playlist = FakePlaylist::Create(name);
  // Two playlists of one name keep files of their own.
  std::wstring url = folder_ + L"\\" + name + L".wpl";
  for (int n = 1; std::any_of(playlists_.begin(), playlists_.end(),
                              [&](const FakePlaylistPtr& p) {
                                return os::PathKey(p->State()->info->url) == os::PathKey(url);
                              });
       ++n) {
    url = folder_ + L"\\" + name + L" (" + std::to_wstring(n) + L").wpl";
  }
  MediaState& info = *playlist->State()->info;
  info.url = url;
  info.attributes[kMediaType] = wmp::kMediaTypePlaylist;
  info.attributes[kFileType] = L"wpl";
  if (library_) library_->Insert(playlist->State()->info);
  playlists_.push_back(playlist);
  return playlist;
}

FakePlaylistPtr FakePlaylistCollection::FindByName(const std::wstring& name) const {
  for (const auto& playlist : playlists_) {
    if (playlist->Title() == name) return playlist->Fresh();
  }
  return nullptr;
}

HResult FakePlaylistCollection::NewPlaylist(const std::wstring& name,
                                            wmp::PlaylistPtr* playlist) {
  if (!playlist) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (script_.Take(PlaylistCollectionOp::NewPlaylist, &scripted)) {
    playlist->reset();
    return scripted;
  }
  if (name.empty()) return wmp::kInvalidArg;
  *playlist = AddPlaylist(name)->Fresh();
  return wmp::kOk;
}

HResult FakePlaylistCollection::GetByName(const std::wstring& name,
                                          wmp::PlaylistArrayPtr* playlists) {
  if (!playlists) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (script_.Take(PlaylistCollectionOp::GetByName, &scripted)) {
    playlists->reset();
    return scripted;
  }
  std::vector<FakePlaylistPtr> found;
  for (const auto& playlist : playlists_) {
    if (playlist->Title() == name) found.push_back(playlist->Fresh());
  }
  *playlists = std::make_shared<FakePlaylistArray>(std::move(found));
  return wmp::kOk;
}

HResult FakePlaylistCollection::GetAll(wmp::PlaylistArrayPtr* playlists) {
  if (!playlists) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (script_.Take(PlaylistCollectionOp::GetAll, &scripted)) {
    playlists->reset();
    return scripted;
  }
  std::vector<FakePlaylistPtr> all;
  for (const auto& playlist : playlists_) all.push_back(playlist->Fresh());
  *playlists = std::make_shared<FakePlaylistArray>(std::move(all));
  return wmp::kOk;
}

HResult FakePlaylistCollection::Remove(wmp::IPlaylist* playlist) {
  if (!playlist) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (script_.Take(PlaylistCollectionOp::Remove, &scripted)) return scripted;
  const auto* fake = dynamic_cast<const FakePlaylist*>(playlist);
  if (!fake) return wmp::kInvalidArg;
  auto it = std::find_if(playlists_.begin(), playlists_.end(),
                         [&](const FakePlaylistPtr& p) { return p->SameListAs(*fake); });
  if (it == playlists_.end()) return wmp::kInvalidArg;
  removed_.push_back((*it)->Title());
  if (library_) library_->Erase((*it)->State()->info);
  playlists_.erase(it);
  return wmp::kOk;
}

// ---------------------------------------------------------------- devices

std::shared_ptr<FakeSyncDevice> FakeSyncDevice::Create(const std::wstring& friendlyName,
                                                       const std::wstring& deviceName,
                                                       const std::wstring& serialNumber) {
  auto state = std::make_shared<SyncDeviceState>();
  state->identity = NextIdentity();
  state->friendlyName = friendlyName;
  state->deviceName = deviceName;
  state->deviceId = L"device-" + std::to_wstring(state->identity);
  if (!serialNumber.empty()) state->info[kSerialNumber] = serialNumber;
  return std::make_shared<FakeSyncDevice>(std::move(state));
}

FakeSyncDevice& FakeSyncDevice::SetDeviceId(const std::wstring& id) {
  state_->deviceId = id;
  return *this;
}

FakeSyncDevice& FakeSyncDevice::SetConnected(bool connected) {
  state_->connected = connected;
  return *this;
}

FakeSyncDevice& FakeSyncDevice::SetPartnership(long index) {
  state_->partnershipIndex = index;
  state_->status = static_cast<long>(index > 0 ? wmp::DeviceStatus::PartnershipExists
                                               : wmp::DeviceStatus::NewDevice);
  return *this;
}

FakeSyncDevice& FakeSyncDevice::SetStatus(wmp::DeviceStatus status) {
  state_->status = static_cast<long>(status);
  return *this;
}

FakeSyncDevice& FakeSyncDevice::SetSyncState(wmp::SyncState state) {
  state_->syncState = static_cast<long>(state);
  return *this;
}

FakeSyncDevice& FakeSyncDevice::SetProgress(long percent) {
  state_->progress = percent;
  return *this;
}

FakeSyncDevice& FakeSyncDevice::SetInfo(const std::wstring& name, const std::wstring& value) {
  state_->info[name] = value;
  return *this;
}

FakeSyncDevice& FakeSyncDevice::SetSpace(std::uint64_t freeBytes, std::uint64_t totalBytes) {
  state_->info[kFreeSpace] = std::to_wstring(freeBytes);
  state_->info[kTotalSpace] = std::to_wstring(totalBytes);
  return *this;
}

namespace {

template <typename Value>
HResult Answer(OpScript<SyncDeviceOp>& script, SyncDeviceOp op, const Value& value, Value* out) {
  if (!out) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (script.Take(op, &scripted)) return scripted;
  *out = value;
  return wmp::kOk;
}

}  // namespace

HResult FakeSyncDevice::FriendlyName(std::wstring* name) {
  return Answer(state_->script, SyncDeviceOp::FriendlyName, state_->friendlyName, name);
}

HResult FakeSyncDevice::DeviceName(std::wstring* name) {
  return Answer(state_->script, SyncDeviceOp::DeviceName, state_->deviceName, name);
}

HResult FakeSyncDevice::DeviceId(std::wstring* id) {
  return Answer(state_->script, SyncDeviceOp::DeviceId, state_->deviceId, id);
}

HResult FakeSyncDevice::PartnershipIndex(long* index) {
  return Answer(state_->script, SyncDeviceOp::PartnershipIndex, state_->partnershipIndex, index);
}

HResult FakeSyncDevice::Connected(bool* connected) {
  return Answer(state_->script, SyncDeviceOp::Connected, state_->connected, connected);
}

HResult FakeSyncDevice::Status(long* status) {
  return Answer(state_->script, SyncDeviceOp::Status, state_->status, status);
}

HResult FakeSyncDevice::SyncState(long* state) {
  return Answer(state_->script, SyncDeviceOp::SyncState, state_->syncState, state);
}

HResult FakeSyncDevice::Progress(long* percent) {
  return Answer(state_->script, SyncDeviceOp::Progress, state_->progress, percent);
}

HResult FakeSyncDevice::GetItemInfo(const std::wstring& attribute, std::wstring* value) {
  if (!value) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (state_->script.Take(SyncDeviceOp::GetItemInfo, &scripted)) return scripted;
  if (attribute.empty()) return wmp::kInvalidArg;
  auto it = state_->info.find(attribute);
  *value = it == state_->info.end() ? std::wstring() : it->second;
  return wmp::kOk;
}

HResult FakeSyncDevice::CreatePartnership() {
  HResult scripted = wmp::kOk;
  if (state_->script.Take(SyncDeviceOp::CreatePartnership, &scripted)) return scripted;
  return wmp::kOk;
}

HResult FakeSyncDevice::DeletePartnership() {
  HResult scripted = wmp::kOk;
  if (state_->script.Take(SyncDeviceOp::DeletePartnership, &scripted)) return scripted;
  SetPartnership(0);
  return wmp::kOk;
}

HResult FakeSyncDevice::Start() {
  HResult scripted = wmp::kOk;
  if (state_->script.Take(SyncDeviceOp::Start, &scripted)) return scripted;
  state_->syncState = static_cast<long>(wmp::SyncState::Synchronizing);
  state_->progress = 0;
  return wmp::kOk;
}

HResult FakeSyncDevice::Stop() {
  HResult scripted = wmp::kOk;
  if (state_->script.Take(SyncDeviceOp::Stop, &scripted)) return scripted;
  state_->syncState = static_cast<long>(wmp::SyncState::Stopped);
  return wmp::kOk;
}

HResult FakeSyncDevice::IsIdentical(wmp::ISyncDevice* other, bool* identical) {
  if (!identical || !other) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (state_->script.Take(SyncDeviceOp::IsIdentical, &scripted)) return scripted;
  const auto* fake = dynamic_cast<const FakeSyncDevice*>(other);
  *identical = fake && fake->state_ == state_;
  return wmp::kOk;
}

FakeSyncDevicePtr FakeSyncServices::AddDevice(const std::wstring& friendlyName,
                                              const std::wstring& deviceName,
                                              const std::wstring& serialNumber) {
  FakeSyncDevicePtr device = FakeSyncDevice::Create(friendlyName, deviceName, serialNumber);
  devices_.push_back(device);
  return device;
}

void FakeSyncServices::RemoveDevice(const FakeSyncDevice& device) {
  devices_.erase(std::remove_if(devices_.begin(), devices_.end(),
                                [&](const FakeSyncDevicePtr& d) {
                                  return &d->State() == &device.State();
                                }),
                 devices_.end());
}

HResult FakeSyncServices::DeviceCount(long* count) {
  if (!count) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (script_.Take(SyncServicesOp::DeviceCount, &scripted)) return scripted;
  *count = static_cast<long>(devices_.size());
  return wmp::kOk;
}

HResult FakeSyncServices::GetDevice(long index, wmp::SyncDevicePtr* device) {
  if (!device) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (script_.Take(SyncServicesOp::GetDevice, &scripted)) {
    device->reset();
    return scripted;
  }
  if (index < 0 || static_cast<std::size_t>(index) >= devices_.size()) return wmp::kInvalidArg;
  *device = devices_[static_cast<std::size_t>(index)]->Fresh();
  return wmp::kOk;
}

// ---------------------------------------------------------------- player

HResult FakeControls::Stop() {
  HResult scripted = wmp::kOk;
  if (script_.Take(ControlsOp::Stop, &scripted)) return scripted;
  return wmp::kOk;
}

HResult FakePlayerServices::SetTaskPane(const std::wstring& task) {
  tasks_.push_back(task);
  HResult scripted = wmp::kOk;
  if (script_.Take(PlayerServicesOp::SetTaskPane, &scripted)) return scripted;
  return wmp::kOk;
}

FakePlayer::FakePlayer() : FakePlayer(nullptr) {}

FakePlayer::FakePlayer(os::IFileSystem* files)
    : library_(std::make_shared<FakeMediaCollection>(files)),
      playlists_(std::make_shared<FakePlaylistCollection>(library_.get())) {}

void FakePlayer::Raise(const std::function<void(wmp::IPlayerEvents&)>& event) {
  if (Closed()) return;
  // A handler may unadvise; the sinks of this event are those advised now.
  std::vector<wmp::PlayerEventsPtr> sinks;
  for (const auto& entry : sinks_) sinks.push_back(entry.second);
  for (const auto& sink : sinks) event(*sink);
}

void FakePlayer::RaiseCdromMediaChange(long cdromIndex) {
  Raise([&](wmp::IPlayerEvents& sink) { sink.CdromMediaChange(cdromIndex); });
}

void FakePlayer::RaiseMediaChange(wmp::IMedia* item) {
  Raise([&](wmp::IPlayerEvents& sink) { sink.MediaChange(item); });
}

void FakePlayer::RaisePlaylistChange(wmp::IPlaylist* playlist, long change) {
  Raise([&](wmp::IPlayerEvents& sink) { sink.PlaylistChange(playlist, change); });
}

void FakePlayer::RaiseDeviceConnect(wmp::ISyncDevice* device) {
  Raise([&](wmp::IPlayerEvents& sink) { sink.DeviceConnect(device); });
}

void FakePlayer::RaiseDeviceDisconnect(wmp::ISyncDevice* device) {
  Raise([&](wmp::IPlayerEvents& sink) { sink.DeviceDisconnect(device); });
}

void FakePlayer::RaiseDeviceStatusChange(wmp::ISyncDevice* device, long status) {
  Raise([&](wmp::IPlayerEvents& sink) { sink.DeviceStatusChange(device, status); });
}

void FakePlayer::RaiseDeviceSyncStateChange(wmp::ISyncDevice* device, long state) {
  Raise([&](wmp::IPlayerEvents& sink) { sink.DeviceSyncStateChange(device, state); });
}

void FakePlayer::RaiseDeviceSyncError(wmp::ISyncDevice* device, wmp::IMedia* item) {
  Raise([&](wmp::IPlayerEvents& sink) { sink.DeviceSyncError(device, item); });
}

void FakePlayer::RaiseCreatePartnershipComplete(wmp::ISyncDevice* device, HResult result) {
  Raise([&](wmp::IPlayerEvents& sink) { sink.CreatePartnershipComplete(device, result); });
}

void FakePlayer::CompletePartnership(FakeSyncDevice& device, long index) {
  device.SetPartnership(index);
  RaiseCreatePartnershipComplete(device.Fresh().get(), wmp::kOk);
}

void FakePlayer::ReportRipProgress(const FakePlaylist& disc, std::size_t index, long percent) {
  FakeMediaPtr item = disc.At(index);
  item->Set(kStatus, L"Ripping (" + std::to_wstring(percent) + L"%)");
  RaiseMediaChange(item.get());
}

namespace {

// A collection getter: scripted, or the object when the player gives it.
template <typename Interface, typename Fake>
HResult Give(OpScript<PlayerOp>& script, PlayerOp op, bool given,
             const std::shared_ptr<Fake>& object, std::shared_ptr<Interface>* out) {
  if (!out) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (script.Take(op, &scripted)) {
    out->reset();
    return scripted;
  }
  if (given) {
    *out = object;
  } else {
    out->reset();
  }
  return wmp::kOk;
}

}  // namespace

HResult FakePlayer::VersionInfo(std::wstring* version) {
  if (!version) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (script_.Take(PlayerOp::VersionInfo, &scripted)) return scripted;
  *version = version_;
  return wmp::kOk;
}

HResult FakePlayer::Controls(wmp::ControlsPtr* controls) {
  return Give(script_, PlayerOp::Controls, true, controls_, controls);
}

HResult FakePlayer::Services(wmp::PlayerServicesPtr* services) {
  return Give(script_, PlayerOp::Services, servicesGiven_, services_, services);
}

HResult FakePlayer::MediaCollection(wmp::MediaCollectionPtr* collection) {
  return Give(script_, PlayerOp::MediaCollection, libraryGiven_, library_, collection);
}

HResult FakePlayer::PlaylistCollection(wmp::PlaylistCollectionPtr* collection) {
  return Give(script_, PlayerOp::PlaylistCollection, playlistsGiven_, playlists_, collection);
}

HResult FakePlayer::CdromCollection(wmp::CdromCollectionPtr* collection) {
  return Give(script_, PlayerOp::CdromCollection, drivesGiven_, drives_, collection);
}

HResult FakePlayer::SyncServices(wmp::SyncServicesPtr* services) {
  return Give(script_, PlayerOp::SyncServices, devicesGiven_, devices_, services);
}

HResult FakePlayer::NewMedia(const std::wstring& url, wmp::MediaPtr* item) {
  if (!item) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (script_.Take(PlayerOp::NewMedia, &scripted)) {
    item->reset();
    return scripted;
  }
  if (url.empty()) return wmp::kInvalidArg;
  FakeMediaPtr media = FakeMedia::Create(os::PathStem(url), url);
  if (FakeMediaPtr known = library_->FindByUrl(url)) {
    media->State()->attributes = known->State()->attributes;
    media->State()->seconds = known->State()->seconds;
  }
  newMedia_.push_back(media);
  *item = media->Fresh();
  return wmp::kOk;
}

HResult FakePlayer::Close() {
  HResult scripted = wmp::kOk;
  if (script_.Take(PlayerOp::Close, &scripted)) return scripted;
  ++closeCount_;
  return wmp::kOk;
}

HResult FakePlayer::Advise(wmp::PlayerEventsPtr sink, std::uint32_t* cookie) {
  if (!sink || !cookie) return wmp::kPointer;
  HResult scripted = wmp::kOk;
  if (script_.Take(PlayerOp::Advise, &scripted)) return scripted;
  *cookie = nextCookie_++;
  sinks_[*cookie] = std::move(sink);
  return wmp::kOk;
}

HResult FakePlayer::Unadvise(std::uint32_t cookie) {
  HResult scripted = wmp::kOk;
  if (script_.Take(PlayerOp::Unadvise, &scripted)) return scripted;
  return sinks_.erase(cookie) != 0 ? wmp::kOk : kNoConnection;
}

}  // namespace fakes
