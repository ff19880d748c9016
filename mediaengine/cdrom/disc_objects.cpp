#include "mediaengine/cdrom/disc_objects.h"

#include "engine/model/placeholders.h"

namespace mediaengine {

// Track items.

wmp::HResult DiscTrackMedia::Name(std::wstring* name) {
  if (!name) return wmp::kPointer;
  *name = session_->TrackAttribute(number_, attr::kTitle);
  return wmp::kOk;
}

wmp::HResult DiscTrackMedia::SetName(const std::wstring& name) {
  return session_->SetTrackAttribute(number_, attr::kTitle, name) ? wmp::kOk : wmp::kFail;
}

wmp::HResult DiscTrackMedia::SourceUrl(std::wstring* url) {
  if (!url) return wmp::kPointer;
  *url = session_->TrackAttribute(number_, attr::kSourceUrl);
  return wmp::kOk;
}

wmp::HResult DiscTrackMedia::Duration(double* seconds) {
  if (!seconds) return wmp::kPointer;
  const DiscTrack* track = session_->Source().Track(number_);
  if (!track) return wmp::kFail;
  *seconds = track->Seconds();
  return wmp::kOk;
}

wmp::HResult DiscTrackMedia::DurationString(std::wstring* text) {
  double seconds = 0;
  const wmp::HResult result = Duration(&seconds);
  if (wmp::Failed(result)) return result;
  if (!text) return wmp::kPointer;
  *text = wmp::DurationText(static_cast<std::int64_t>(seconds));
  return wmp::kOk;
}

wmp::HResult DiscTrackMedia::GetItemInfo(const std::wstring& attribute, std::wstring* value) {
  if (!value) return wmp::kPointer;
  if (attribute.empty()) return wmp::kInvalidArg;
  *value = session_->TrackAttribute(number_, attribute);
  return wmp::kOk;
}

wmp::HResult DiscTrackMedia::SetItemInfo(const std::wstring& attribute,
                                         const std::wstring& value) {
  if (attribute.empty()) return wmp::kInvalidArg;
  return session_->SetTrackAttribute(number_, attribute, value) ? wmp::kOk : wmp::kFail;
}

wmp::HResult DiscTrackMedia::IsIdentical(wmp::IMedia* other, bool* identical) {
  if (!identical) return wmp::kPointer;
  const auto* track = dynamic_cast<const DiscTrackMedia*>(other);
  *identical = track && track->session_ == session_ && track->number_ == number_;
  return wmp::kOk;
}

// The disc playlist.

wmp::HResult DiscPlaylist::Count(long* count) {
  if (!count) return wmp::kPointer;
  *count = session_->TrackCount();
  return wmp::kOk;
}

wmp::HResult DiscPlaylist::Item(long index, wmp::MediaPtr* item) {
  if (!item) return wmp::kPointer;
  if (index < 0 || index >= session_->TrackCount()) return wmp::kInvalidArg;
  *item = std::make_shared<DiscTrackMedia>(session_, static_cast<int>(index) + 1);
  return wmp::kOk;
}

wmp::HResult DiscPlaylist::Name(std::wstring* name) {
  if (!name) return wmp::kPointer;
  *name = session_->Album();
  return wmp::kOk;
}

wmp::HResult DiscPlaylist::SetName(const std::wstring& name) {
  session_->SetAlbum(name);
  return wmp::kOk;
}

wmp::HResult DiscPlaylist::GetItemInfo(const std::wstring& attribute, std::wstring* value) {
  if (!value) return wmp::kPointer;
  if (attribute.empty()) return wmp::kInvalidArg;
  *value = attribute == L"name" ? session_->Album() : session_->DiscAttribute(attribute);
  return wmp::kOk;
}

wmp::HResult DiscPlaylist::SetItemInfo(const std::wstring& attribute, const std::wstring& value) {
  if (attribute.empty()) return wmp::kInvalidArg;
  const std::wstring key = attribute == L"name" ? attr::kAlbumTitle : attribute;
  return session_->SetDiscAttribute(key, value) ? wmp::kOk : wmp::kFail;
}

wmp::HResult DiscPlaylist::AppendItem(wmp::IMedia*) { return wmp::kAccessDenied; }
wmp::HResult DiscPlaylist::RemoveItem(wmp::IMedia*) { return wmp::kAccessDenied; }
wmp::HResult DiscPlaylist::MoveItem(long, long) { return wmp::kAccessDenied; }

wmp::HResult DiscPlaylist::IsIdentical(wmp::IPlaylist* other, bool* identical) {
  if (!identical) return wmp::kPointer;
  const auto* disc = dynamic_cast<const DiscPlaylist*>(other);
  *identical = disc && disc->session_ == session_;
  return wmp::kOk;
}

// The empty drive.

wmp::HResult EmptyDrivePlaylist::Count(long* count) {
  if (!count) return wmp::kPointer;
  *count = 0;
  return wmp::kOk;
}

wmp::HResult EmptyDrivePlaylist::Item(long, wmp::MediaPtr* item) {
  return item ? wmp::kInvalidArg : wmp::kPointer;
}

wmp::HResult EmptyDrivePlaylist::Name(std::wstring* name) {
  if (!name) return wmp::kPointer;
  *name = wmp::kNoDiscPlaylistName;
  return wmp::kOk;
}

wmp::HResult EmptyDrivePlaylist::SetName(const std::wstring&) { return wmp::kAccessDenied; }

wmp::HResult EmptyDrivePlaylist::GetItemInfo(const std::wstring& attribute, std::wstring* value) {
  if (!value) return wmp::kPointer;
  if (attribute.empty()) return wmp::kInvalidArg;
  value->clear();
  return wmp::kOk;
}

wmp::HResult EmptyDrivePlaylist::SetItemInfo(const std::wstring&, const std::wstring&) {
  return wmp::kAccessDenied;
}
wmp::HResult EmptyDrivePlaylist::AppendItem(wmp::IMedia*) { return wmp::kAccessDenied; }
wmp::HResult EmptyDrivePlaylist::RemoveItem(wmp::IMedia*) { return wmp::kAccessDenied; }
wmp::HResult EmptyDrivePlaylist::MoveItem(long, long) { return wmp::kAccessDenied; }

wmp::HResult EmptyDrivePlaylist::IsIdentical(wmp::IPlaylist* other, bool* identical) {
  if (!identical) return wmp::kPointer;
  *identical = dynamic_cast<const EmptyDrivePlaylist*>(other) != nullptr;
  return wmp::kOk;
}

}  // namespace mediaengine
