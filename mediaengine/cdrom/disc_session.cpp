#include "mediaengine/cdrom/disc_session.h"

#include <cstdio>

#include "os/text_encoding.h"

namespace mediaengine {
namespace {

// Attribute names that are two names of one value.
std::wstring Canonical(const std::wstring& name) {
  if (name == L"Author") return L"Artist";
  if (name == L"WM/AlbumTitle") return L"Album";
  if (name == L"Name") return L"Title";
  return name;
}

}  // namespace

std::wstring DurationText(double seconds) {
  const long total = seconds > 0 ? static_cast<long>(seconds) : 0;
  char text[32];
  if (total >= 3600) {
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, (total % 3600) / 60,
                  total % 60);
  } else {
    std::snprintf(text, sizeof text, "%02ld:%02ld", total / 60, total % 60);
  }
  return os::WideFromUtf8(text);
}

DiscSession::DiscSession(std::shared_ptr<const DiscSource> source)
    : image_(std::move(source)), tracks_(image_->Tracks().size()) {}

std::wstring DiscSession::Album() const { return DiscAttribute(L"Album"); }

void DiscSession::SetAlbum(const std::wstring& album) { SetDiscAttribute(L"Album", album); }

std::wstring DiscSession::DiscAttribute(const std::wstring& name) const {
  const std::wstring key = Canonical(name);
  std::lock_guard<std::mutex> lock(mutex_);
  auto edited = disc_.find(key);
  if (edited != disc_.end()) return edited->second;
  if (key == L"Album" || key == L"Title") return image_->Album();
  if (key == L"WM/AlbumArtist" || key == L"Artist") return image_->AlbumArtist();
  if (key == L"TOC") return image_->Toc();
  if (key == L"WM/Genre") return image_->Genre();
  if (key == L"WM/Year") return image_->Date();
  return std::wstring();
}

bool DiscSession::SetDiscAttribute(const std::wstring& name, const std::wstring& value) {
  const std::wstring key = Canonical(name);
  if (key == L"TOC") return false;  // identifies the disc: not editable
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (key == L"Title") {
      disc_[L"Album"] = value;
    } else {
      disc_[key] = value;
    }
  }
  Notify(0);
  return true;
}

std::wstring DiscSession::TrackAttribute(int number, const std::wstring& name) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return TrackAttributeLocked(number, Canonical(name));
}

std::wstring DiscSession::TrackAttributeLocked(int number, const std::wstring& key) const {
  const DiscTrack* track = image_->Track(number);
  if (!track) return std::wstring();
  const auto& edits = tracks_[static_cast<std::size_t>(number - 1)];
  auto edited = edits.find(key);
  if (edited != edits.end()) return edited->second;
  // Disc-wide values follow the album edits made on the disc.
  auto discEdit = [this](const wchar_t* discKey, const std::wstring& fallback) {
    auto it = disc_.find(discKey);
    return it != disc_.end() ? it->second : fallback;
  };
  if (key == L"Title") return track->title;
  if (key == L"Artist") return track->artist;
  if (key == L"Album") return discEdit(L"Album", image_->Album());
  if (key == L"WM/AlbumArtist") return discEdit(L"WM/AlbumArtist", image_->AlbumArtist());
  if (key == L"WM/Genre") return discEdit(L"WM/Genre", image_->Genre());
  if (key == L"WM/Year") return discEdit(L"WM/Year", image_->Date());
  if (key == L"WM/TrackNumber") return std::to_wstring(track->number);
  if (key == L"TOC") return image_->Toc();
  if (key == L"MediaType") return L"audio";
  if (key == L"SourceURL") {
    wchar_t name[16];
    std::swprintf(name, 16, L"Track%02d.cda", track->number);
    return image_->Root() + name;
  }
  return std::wstring();
}

bool DiscSession::SetTrackAttribute(int number, const std::wstring& name,
                                    const std::wstring& value) {
  const std::wstring key = Canonical(name);
  if (key == L"TOC" || key == L"WM/TrackNumber" || key == L"SourceURL") return false;
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
