#include "mediaengine/library/media_library.h"

#include "mediaengine/library/library_core.h"
#include "mediaengine/library/library_objects.h"

namespace mediaengine {

MediaLibrary::MediaLibrary(os::IFileSystem& files, std::wstring folder, TagReader readTags)
    : core_(std::make_shared<LibraryCore>(files, std::move(folder), std::move(readTags))) {}

MediaLibrary::~MediaLibrary() { core_->Close(); }

LoadReport MediaLibrary::Load() { return core_->Load(); }

void MediaLibrary::LoadInBackground(std::function<void(const LoadReport&)> done) {
  core_->LoadInBackground(std::move(done));
}

LoadReport MediaLibrary::WaitForLoad() const { return core_->WaitForLoad(); }

wmp::MediaCollectionPtr MediaLibrary::MediaCollection() { return MakeMediaCollection(core_); }

wmp::PlaylistCollectionPtr MediaLibrary::PlaylistCollection() {
  return MakePlaylistCollection(core_);
}

wmp::HResult MediaLibrary::AddRipped(const RippedTrack& track, wmp::MediaPtr* item) {
  ItemId id = 0;
  const wmp::HResult result = core_->AddRipped(track, &id);
  if (wmp::Succeeded(result) && item) *item = MakeLibraryMedia(core_, id);
  return result;
}

wmp::PlaylistPtr MediaLibrary::PlaylistOfItem(wmp::IMedia* item) {
  ItemId id = 0;
  if (!ItemOfMedia(*core_, item, &id) || !core_->IsPlaylist(id)) return nullptr;
  return MakeSavedPlaylist(core_, id);
}

wmp::MediaPtr MediaLibrary::ItemOfPlaylist(wmp::IPlaylist* playlist) {
  ItemId id = 0;
  if (!mediaengine::ItemOfPlaylist(*core_, playlist, &id)) return nullptr;
  return MakeLibraryMedia(core_, id);
}

std::vector<wmp::PlaylistPtr> MediaLibrary::PlaylistsWhere(const std::wstring& attribute,
                                                           const std::wstring& value) {
  std::vector<wmp::PlaylistPtr> playlists;
  if (attribute.empty()) return playlists;
  for (ItemId id : core_->Query(attribute, value, true)) {
    playlists.push_back(MakeSavedPlaylist(core_, id));
  }
  return playlists;
}

void MediaLibrary::SetEvents(LibraryEvents events) { core_->SetEvents(std::move(events)); }

MediaLibrary::Batch::Batch(std::shared_ptr<LibraryCore> core) : core_(std::move(core)) {
  core_->BeginBatch();
}

MediaLibrary::Batch::~Batch() {
  if (core_) core_->EndBatch();
}

MediaLibrary::Batch::Batch(Batch&& other) noexcept : core_(std::move(other.core_)) {}

MediaLibrary::Batch MediaLibrary::BeginBatch() { return Batch(core_); }

void MediaLibrary::WriteBehind(std::chrono::milliseconds delay) { core_->WriteBehind(delay); }

wmp::HResult MediaLibrary::Save() { return core_->Save(); }

wmp::HResult MediaLibrary::LastSaveResult() const { return core_->LastSaveResult(); }

std::wstring MediaLibrary::LibraryFilePath() const { return core_->LibraryFile(); }

std::wstring MediaLibrary::PlaylistFolderPath() const { return core_->PlaylistFolder(); }

}  // namespace mediaengine
