#include "mediaengine/player/file_media.h"

#include "engine/model/attribute_names.h"
#include "mediaengine/codec/asf_info.h"
#include "os/paths.h"
#include "os/text_encoding.h"

namespace mediaengine {

namespace attr = wmp::attr;

FileMedia::FileMedia(os::IFileSystem& files, std::wstring url) : url_(std::move(url)) {
  const std::wstring type = os::AsciiLower(os::PathExtension(url_));
  attributes_[attr::kTitle] = os::PathStem(url_);
  attributes_[attr::kFileType] = type;
  attributes_[attr::kSourceUrl] = url_;
  AsfInfo info;
  if (type == L"wma" && ReadAsfInfo(files, url_, &info)) {
    if (!info.tags.title.empty()) attributes_[attr::kTitle] = info.tags.title;
    attributes_[attr::kAuthor] = info.tags.author;
    attributes_[attr::kAlbumTitle] = info.tags.albumTitle;
    attributes_[attr::kAlbumArtist] = info.tags.albumArtist;
    attributes_[attr::kGenre] = info.tags.genre;
    attributes_[attr::kTrackNumber] = info.tags.trackNumber;
    attributes_[attr::kBitrate] = std::to_wstring(info.bitrate);
    attributes_[attr::kFileSize] = std::to_wstring(info.fileSize);
    attributes_[attr::kMediaType] = wmp::kMediaTypeAudio;
    seconds_ = info.durationSeconds;
  }
}

wmp::HResult FileMedia::Name(std::wstring* name) { return GetItemInfo(attr::kTitle, name); }

wmp::HResult FileMedia::SetName(const std::wstring& name) { return SetItemInfo(attr::kTitle, name); }

wmp::HResult FileMedia::SourceUrl(std::wstring* url) {
  if (!url) return wmp::kPointer;
  *url = url_;
  return wmp::kOk;
}

wmp::HResult FileMedia::Duration(double* seconds) {
  if (!seconds) return wmp::kPointer;
  *seconds = seconds_;
  return wmp::kOk;
}

wmp::HResult FileMedia::DurationString(std::wstring* text) {
  if (!text) return wmp::kPointer;
  *text = wmp::DurationText(static_cast<std::int64_t>(seconds_));
  return wmp::kOk;
}

wmp::HResult FileMedia::GetItemInfo(const std::wstring& attribute, std::wstring* value) {
  if (!value) return wmp::kPointer;
  if (attribute.empty()) return wmp::kInvalidArg;
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = attributes_.find(wmp::CanonicalAttribute(attribute));
  *value = it == attributes_.end() ? std::wstring() : it->second;
  return wmp::kOk;
}

wmp::HResult FileMedia::SetItemInfo(const std::wstring& attribute, const std::wstring& value) {
  if (attribute.empty()) return wmp::kInvalidArg;
  if (attribute == attr::kSourceUrl) return wmp::kAccessDenied;
  std::lock_guard<std::mutex> lock(mutex_);
  attributes_[wmp::CanonicalAttribute(attribute)] = value;
  return wmp::kOk;
}

wmp::HResult FileMedia::IsIdentical(wmp::IMedia* other, bool* identical) {
  if (!identical) return wmp::kPointer;
  const auto* file = dynamic_cast<const FileMedia*>(other);
  *identical = file && os::AsciiLower(file->url_) == os::AsciiLower(url_);
  return wmp::kOk;
}

}  // namespace mediaengine
