#include "device/temp_playlist.h"

#include <cstdio>
#include <utility>

namespace device {
namespace {

const wchar_t kMarked[] = L"1";
const wchar_t kUnmarked[] = L"0";

// Names tried: the base name (or Temp00) and 99 numbered ones after it.
constexpr int kNameCandidates = 100;

std::wstring TwoDigits(int value) {
  wchar_t text[16];
  std::swprintf(text, 16, L"%02d", value);
  return text;
}

std::wstring CandidateName(const std::wstring& baseName, int i) {
  if (baseName.empty()) return L"Temp" + TwoDigits(i);
  return i == 0 ? baseName : baseName + TwoDigits(i);
}

// The value of a mark as the C runtime's wcstol reads it.
long MarkValue(const std::wstring& text) {
  std::size_t at = 0;
  while (at < text.size() && (text[at] == L' ' || (text[at] >= L'\t' && text[at] <= L'\r'))) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == L'+' || text[at] == L'-')) negative = text[at++] == L'-';
  long value = 0;
  for (; at < text.size() && text[at] >= L'0' && text[at] <= L'9'; ++at) {
    if (value < 100000000) value = value * 10 + (text[at] - L'0');
  }
  return negative ? -value : value;
}

// Every library item that stands for a saved playlist.
wmp::HResult PlaylistItems(wmp::IMediaCollection* library, engine::PlaylistRef* items) {
  if (!library) return wmp::kFail;
  wmp::PlaylistPtr found;
  const wmp::HResult result =
      library->GetByAttribute(wmp::attr::kMediaType, wmp::kMediaTypePlaylist, &found);
  if (wmp::Failed(result)) return result;
  if (!found) return wmp::kFail;
  items->Reset(std::move(found));
  return result;
}

}  // namespace

bool TempPlaylist::Bind(wmp::IPlayer* player, wmp::IMediaCollection* mediaCollection) {
  playlistCollection_.reset();
  if (!player) return false;
  wmp::PlaylistCollectionPtr collection;
  if (wmp::Failed(player->PlaylistCollection(&collection)) || !collection) return false;
  playlistCollection_ = std::move(collection);
  mediaCollection_ = mediaCollection;
  return true;
}

wmp::HResult TempPlaylist::CreateTempPlaylist(const std::wstring& baseName) {
  if (!playlistCollection_) return wmp::kFail;
  for (int i = 0; i < kNameCandidates; ++i) {
    playlistName_ = CandidateName(baseName, i);
    wmp::PlaylistArrayPtr same;
    long count = 0;
    if (wmp::Failed(playlistCollection_->GetByName(playlistName_, &same)) || !same ||
        wmp::Failed(same->Count(&count))) {
      continue;
    }
    if (count != 0) continue;
    playlist_.Reset();
    wmp::PlaylistPtr made;
    wmp::HResult result = playlistCollection_->NewPlaylist(playlistName_, &made);
    if (wmp::Succeeded(result) && !made) result = wmp::kFail;
    if (wmp::Succeeded(result)) playlist_.Reset(std::move(made));
    return result;
  }
  return wmp::kFail;
}

wmp::HResult TempPlaylist::ClearSyncMarks(long partnership) {
  const std::wstring mark = wmp::SyncAttribute(partnership);
  if (mark.empty()) return wmp::kInvalidArg;
  engine::PlaylistRef items;
  const wmp::HResult result = PlaylistItems(mediaCollection_, &items);
  if (wmp::Failed(result)) return result;
  const long count = items.GetCount();
  for (long i = 0; i < count; ++i) {
    engine::MediaRef item;
    if (wmp::Failed(items.GetItem(i, &item))) continue;
    // An unreadable mark reads as empty and is cleared like one.
    std::wstring value;
    item.GetAttribute(mark, &value);
    if (value.empty() || MarkValue(value) > 0) item.SetAttribute(mark, kUnmarked);
  }
  return wmp::kOk;
}

wmp::HResult TempPlaylist::MarkSyncPlaylist(long partnership) {
  const std::wstring mark = wmp::SyncAttribute(partnership);
  if (mark.empty()) return wmp::kInvalidArg;
  engine::PlaylistRef items;
  wmp::HResult result = PlaylistItems(mediaCollection_, &items);
  if (wmp::Failed(result)) return result;
  bool marked = false;
  const long count = items.GetCount();
  for (long i = 0; i < count; ++i) {
    engine::MediaRef item;
    if (wmp::Failed(items.GetItem(i, &item))) continue;
    if (item.GetName() == playlistName_) {
      if (wmp::Succeeded(item.SetAttribute(mark, kMarked))) {
        marked = true;
        const std::wstring url = item.GetSourceUrl();
        if (!url.empty()) filePath_ = url;
      }
      result = item.SetAttribute(wmp::attr::kSyncOnly, kMarked);
      if (wmp::Failed(result)) return result;
    } else {
      result = item.SetAttribute(mark, kUnmarked);
      if (wmp::Failed(result)) result = item.SetAttribute(mark, kUnmarked);
      if (wmp::Failed(result)) return result;
    }
  }
  // Without our mark the engine would synchronise nothing and call it done.
  return marked ? wmp::kOk : wmp::kFail;
}

wmp::HResult TempPlaylist::DeleteTempPlaylist() {
  if (!playlistCollection_ || !playlist_) return wmp::kOk;
  const wmp::HResult result = playlistCollection_->Remove(playlist_.Get());
  if (wmp::Failed(result)) return result;
  playlist_.Reset();
  if (!filePath_.empty()) files_.Delete(filePath_);
  filePath_.clear();
  return result;
}

void TempPlaylist::Reset() {
  if (playlist_) {
    DeleteTempPlaylist();
    playlist_.Reset();
  }
  mediaCollection_ = nullptr;
  playlistCollection_.reset();
  filePath_.clear();
}

}  // namespace device
