#include "mediaengine/cdrom/disc_session.h"

#include <cstdio>

namespace mediaengine {

DiscSession::DiscSession(std::shared_ptr<const DiscSource> source)
    : image_(std::move(source)), tracks_(image_->Tracks().size()) {}

std::wstring DiscSession::Album() const { return DiscAttribute(attr::kAlbumTitle); }

void DiscSession::SetAlbum(const std::wstring& album) { SetDiscAttribute(attr::kAlbumTitle, album); }

std::wstring DiscSession::DiscAttribute(const std::wstring& name) const {
  const std::wstring key = wmp::CanonicalAttribute(name);
  std::lock_guard<std::mutex> lock(mutex_);
  auto edited = disc_.find(key);
  if (edited != disc_.end()) return edited->second;
  if (key == attr::kAlbumTitle || key == attr::kTitle) return image_->Album();
  if (key == attr::kAlbumArtist || key == attr::kAuthor) return image_->AlbumArtist();
  if (key == attr::kToc) return image_->Toc();
  if (key == attr::kGenre) return image_->Genre();
  if (key == attr::kYear) return image_->Date();
  return std::wstring();
}

bool DiscSession::SetDiscAttribute(const std::wstring& name, const std::wstring& value) {
  const std::wstring key = wmp::CanonicalAttribute(name);
  if (key == attr::kToc) return false;  // identifies the disc: not editable
  {
    std::lock_guard<std::mutex> lock(mutex_);
    disc_[key == attr::kTitle ? attr::kAlbumTitle : key] = value;
  }
  Notify(0);
  return true;
}

std::wstring DiscSession::TrackAttribute(int number, const std::wstring& name) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return TrackAttributeLocked(number, wmp::CanonicalAttribute(name));
}

std::wstring DiscSession::TrackAttributeLocked(int number, const std::wstring& key) const {
  const DiscTrack* track = image_->Track(number);
  if (!track) return std::wstring();
  const auto& edits = tracks_[static_cast<std::size_t>(number - 1)];
  auto edited = edits.find(key);
  if (edited != edits.end()) return edited->second;
  // Disc-wide values follow the album edits made on the disc.
  auto discEdit = [this](const std::wstring& discKey, const std::wstring& fallback) {
    auto it = disc_.find(discKey);
    return it != disc_.end() ? it->second : fallback;
  };
  if (key == attr::kTitle) return track->title;
  if (key == attr::kAuthor) return track->artist;
  if (key == attr::kAlbumTitle) return discEdit(key, image_->Album());
  if (key == attr::kAlbumArtist) return discEdit(key, image_->AlbumArtist());
  if (key == attr::kGenre) return discEdit(key, image_->Genre());
  if (key == attr::kYear) return discEdit(key, image_->Date());
  if (key == attr::kTrackNumber) return std::to_wstring(track->number);
  if (key == attr::kToc) return image_->Toc();
  if (key == attr::kMediaType) return wmp::kMediaTypeAudio;
  if (key == attr::kSourceUrl) {
    wchar_t name[16];
    std::swprintf(name, 16, L"Track%02d.cda", track->number);
    return image_->Root() + name;
  }
  return std::wstring();
}

bool DiscSession::SetTrackAttribute(int number, const std::wstring& name,
                                    const std::wstring& value) {
  const std::wstring key = wmp::CanonicalAttribute(name);
  if (key == attr::kToc || key == attr::kTrackNumber || key == attr::kSourceUrl) return false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!image_->Track(number)) return false;
    auto& edits = tracks_[static_cast<std::size_t>(number - 1)];
    auto it = edits.find(key);
    if (it != edits.end() && it->second == value) return true;
    if (it == edits.end() && TrackAttributeLocked(number, key) == value) return true;
    edits[key] = value;
  }
  Notify(number);
  return true;
}

void DiscSession::SetChangeHook(std::function<void(int)> hook) {
  std::lock_guard<std::mutex> lock(mutex_);
  hook_ = std::move(hook);
}

void DiscSession::Notify(int number) const {
  std::function<void(int)> hook;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    hook = hook_;
  }
  if (hook) hook(number);
}

}  // namespace mediaengine
