#include "mediaengine/player/file_media.h"

#include "mediaengine/cdrom/disc_session.h"
#include "mediaengine/codec/asf_info.h"
#include "os/paths.h"
#include "os/text_encoding.h"

namespace mediaengine {

FileMedia::FileMedia(os::IFileSystem& files, std::wstring url) : url_(std::move(url)) {
  const std::wstring type = os::AsciiLower(os::PathExtension(url_));
  attributes_[L"Title"] = os::PathStem(url_);
  attributes_[L"FileType"] = type;
  attributes_[L"SourceURL"] = url_;
  AsfInfo info;
  if (type == L"wma" && ReadAsfInfo(files, url_, &info)) {
    if (!info.tags.title.empty()) attributes_[L"Title"] = info.tags.title;
    attributes_[L"Author"] = info.tags.author;
    attributes_[L"WM/AlbumTitle"] = info.tags.albumTitle;
    attributes_[L"WM/AlbumArtist"] = info.tags.albumArtist;
    attributes_[L"WM/Genre"] = info.tags.genre;
    attributes_[L"WM/TrackNumber"] = info.tags.trackNumber;
    attributes_[L"Bitrate"] = std::to_wstring(info.bitrate);
    attributes_[L"FileSize"] = std::to_wstring(info.fileSize);
    attributes_[L"MediaType"] = L"audio";
    seconds_ = info.durationSeconds;
  }
}

wmp::HResult FileMedia::Name(std::wstring* name) { return GetItemInfo(L"Title", name); }

wmp::HResult FileMedia::SetName(const std::wstring& name) { return SetItemInfo(L"Title", name); }

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
  *text = DurationText(seconds_);
  return wmp::kOk;
}

wmp::HResult FileMedia::GetItemInfo(const std::wstring& attribute, std::wstring* value) {
  if (!value) return wmp::kPointer;
  if (attribute.empty()) return wmp::kInvalidArg;
  const std::wstring key = attribute == L"Artist"  ? L"Author"
                           : attribute == L"Album" ? L"WM/AlbumTitle"
                                                   : attribute;
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = attributes_.find(key);
  *value = it == attributes_.end() ? std::wstring() : it->second;
  return wmp::kOk;
}

wmp::HResult FileMedia::SetItemInfo(const std::wstring& attribute, const std::wstring& value) {
  if (attribute.empty()) return wmp::kInvalidArg;
  if (attribute == L"SourceURL") return wmp::kAccessDenied;
  const std::wstring key = attribute == L"Artist"  ? L"Author"
                           : attribute == L"Album" ? L"WM/AlbumTitle"
                                                   : attribute;
  std::lock_guard<std::mutex> lock(mutex_);
  attributes_[key] = value;
  return wmp::kOk;
}

wmp::HResult FileMedia::IsIdentical(wmp::IMedia* other, bool* identical) {
  if (!identical) return wmp::kPointer;
  const auto* file = dynamic_cast<const FileMedia*>(other);
  *identical = file && os::AsciiLower(file->url_) == os::AsciiLower(url_);
  return wmp::kOk;
}

}  // namespace mediaengine
