#include "mediaengine/library/library_objects.h"

#include <algorithm>
#include <map>
#include <string>
#include <utility>

namespace mediaengine {
namespace {

using wmp::HResult;

class LibraryMedia final : public wmp::IMedia {
 public:
  LibraryMedia(std::shared_ptr<LibraryCore> core, ItemId id) : core_(std::move(core)), id_(id) {}

  const LibraryCore* Core() const { return core_.get(); }
  ItemId Id() const { return id_; }

  HResult Name(std::wstring* name) override { return core_->Attribute(id_, attr::kTitle, name); }
  HResult SetName(const std::wstring& name) override {
    return core_->SetAttribute(id_, attr::kTitle, name);
  }
  HResult SourceUrl(std::wstring* url) override { return core_->Url(id_, url); }
  HResult Duration(double* seconds) override {
    if (!seconds) return wmp::kPointer;
    std::int64_t ms = 0;
    const HResult result = core_->DurationMs(id_, &ms);
    if (wmp::Succeeded(result)) *seconds = static_cast<double>(ms) / 1000.0;
    return result;
  }
  HResult DurationString(std::wstring* text) override {
    if (!text) return wmp::kPointer;
    std::int64_t ms = 0;
    const HResult result = core_->DurationMs(id_, &ms);
    if (wmp::Succeeded(result)) *text = wmp::DurationText(ms / 1000);
    return result;
  }
  HResult GetItemInfo(const std::wstring& attribute, std::wstring* value) override {
    return core_->Attribute(id_, attribute, value);
  }
  HResult SetItemInfo(const std::wstring& attribute, const std::wstring& value) override {
    return core_->SetAttribute(id_, attribute, value);
  }
  HResult IsIdentical(wmp::IMedia* other, bool* identical) override {
    if (!identical) return wmp::kPointer;
    const auto* mine = dynamic_cast<LibraryMedia*>(other);
    *identical = mine && mine->core_ == core_ && mine->id_ == id_;
    return wmp::kOk;
  }

 private:
  std::shared_ptr<LibraryCore> core_;
  ItemId id_;
};

// The item of an IMedia when it is in this library: our own wrapper, or
// another object whose file the library holds.
bool ResolveMedia(const LibraryCore& core, wmp::IMedia* media, ItemId* id) {
  if (!media) return false;
  const auto* mine = dynamic_cast<LibraryMedia*>(media);
  if (mine && mine->Core() == &core) {
    *id = mine->Id();
    return true;
  }
  std::wstring url;
  return wmp::Succeeded(media->SourceUrl(&url)) && !url.empty() && core.FindUrl(url, id);
}

class SavedPlaylist final : public wmp::IPlaylist {
 public:
  SavedPlaylist(std::shared_ptr<LibraryCore> core, ItemId id) : core_(std::move(core)), id_(id) {}

  const LibraryCore* Core() const { return core_.get(); }
  ItemId Id() const { return id_; }

  HResult Count(long* count) override {
    if (!count) return wmp::kPointer;
    std::vector<ItemId> members;
    const HResult result = core_->Members(id_, &members);
    if (wmp::Succeeded(result)) *count = static_cast<long>(members.size());
    return result;
  }
  HResult Item(long index, wmp::MediaPtr* item) override {
    if (!item) return wmp::kPointer;
    std::vector<ItemId> members;
    const HResult result = core_->Members(id_, &members);
    if (wmp::Failed(result)) return result;
    if (index < 0 || static_cast<std::size_t>(index) >= members.size()) return wmp::kInvalidArg;
    *item = MakeLibraryMedia(core_, members[static_cast<std::size_t>(index)]);
    return wmp::kOk;
  }
  HResult Name(std::wstring* name) override { return core_->Attribute(id_, attr::kTitle, name); }
  HResult SetName(const std::wstring& name) override {
    return core_->SetAttribute(id_, attr::kTitle, name);
  }
  HResult GetItemInfo(const std::wstring& attribute, std::wstring* value) override {
    return core_->Attribute(id_, attribute, value);
  }
  HResult SetItemInfo(const std::wstring& attribute, const std::wstring& value) override {
    return core_->SetAttribute(id_, attribute, value);
  }
  HResult AppendItem(wmp::IMedia* item) override {
    ItemId member = 0;
    if (!ResolveMedia(*core_, item, &member)) {
      // A file from outside joins the library first, as the player does it.
      std::wstring url;
      if (!item || wmp::Failed(item->SourceUrl(&url)) || url.empty()) return wmp::kInvalidArg;
      const HResult added = core_->AddFile(url, &member);
      if (wmp::Failed(added)) return added;
    }
    return core_->AppendMember(id_, member);
  }
  HResult RemoveItem(wmp::IMedia* item) override {
    ItemId member = 0;
    if (!ResolveMedia(*core_, item, &member)) return wmp::kInvalidArg;
    return core_->RemoveMember(id_, member);
  }
  HResult MoveItem(long oldIndex, long newIndex) override {
    return core_->MoveMember(id_, oldIndex, newIndex);
  }
  HResult IsIdentical(wmp::IPlaylist* other, bool* identical) override {
    if (!identical) return wmp::kPointer;
    const auto* mine = dynamic_cast<SavedPlaylist*>(other);
    *identical = mine && mine->core_ == core_ && mine->id_ == id_;
    return wmp::kOk;
  }

 private:
  std::shared_ptr<LibraryCore> core_;
  ItemId id_;
};

// The answer of a query: a private list of library items. Editing it never
// touches the library; reading its items reads the library. Like any object
// of the caller's own, it is not meant to be shared between threads.
class QueryPlaylist final : public wmp::IPlaylist {
 public:
  QueryPlaylist(std::shared_ptr<LibraryCore> core, std::wstring name, std::vector<ItemId> ids)
      : core_(std::move(core)), name_(std::move(name)), ids_(std::move(ids)) {}

  HResult Count(long* count) override {
    if (!count) return wmp::kPointer;
    *count = static_cast<long>(ids_.size());
    return wmp::kOk;
  }
  HResult Item(long index, wmp::MediaPtr* item) override {
    if (!item) return wmp::kPointer;
    if (index < 0 || static_cast<std::size_t>(index) >= ids_.size()) return wmp::kInvalidArg;
    *item = MakeLibraryMedia(core_, ids_[static_cast<std::size_t>(index)]);
    return wmp::kOk;
  }
  HResult Name(std::wstring* name) override {
    if (!name) return wmp::kPointer;
    *name = name_;
    return wmp::kOk;
  }
  HResult SetName(const std::wstring& name) override {
    name_ = name;
    return wmp::kOk;
  }
  HResult GetItemInfo(const std::wstring& attribute, std::wstring* value) override {
    if (!value) return wmp::kPointer;
    if (attribute.empty()) return wmp::kInvalidArg;
    auto it = attributes_.find(attribute);
    *value = it == attributes_.end() ? std::wstring() : it->second;
    return wmp::kOk;
  }
  HResult SetItemInfo(const std::wstring& attribute, const std::wstring& value) override {
    if (attribute.empty()) return wmp::kInvalidArg;
    attributes_[attribute] = value;
    return wmp::kOk;
  }
  HResult AppendItem(wmp::IMedia* item) override {
    ItemId id = 0;
    if (!ResolveMedia(*core_, item, &id)) return wmp::kInvalidArg;
    ids_.push_back(id);
    return wmp::kOk;
  }
  HResult RemoveItem(wmp::IMedia* item) override {
    ItemId id = 0;
    if (!ResolveMedia(*core_, item, &id)) return wmp::kInvalidArg;
    auto it = std::find(ids_.begin(), ids_.end(), id);
    if (it == ids_.end()) return wmp::kInvalidArg;
    ids_.erase(it);
    return wmp::kOk;
  }
  HResult MoveItem(long oldIndex, long newIndex) override {
    const long count = static_cast<long>(ids_.size());
    if (oldIndex < 0 || oldIndex >= count || newIndex < 0 || newIndex >= count) {
      return wmp::kInvalidArg;
    }
    const ItemId moved = ids_[static_cast<std::size_t>(oldIndex)];
    ids_.erase(ids_.begin() + oldIndex);
    ids_.insert(ids_.begin() + newIndex, moved);
    return wmp::kOk;
  }
  HResult IsIdentical(wmp::IPlaylist* other, bool* identical) override {
    if (!identical) return wmp::kPointer;
    *identical = other == this;
    return wmp::kOk;
  }

 private:
  std::shared_ptr<LibraryCore> core_;
  std::wstring name_;
  std::vector<ItemId> ids_;
  std::map<std::wstring, std::wstring> attributes_;
};

class PlaylistArray final : public wmp::IPlaylistArray {
 public:
  explicit PlaylistArray(std::vector<wmp::PlaylistPtr> playlists)
      : playlists_(std::move(playlists)) {}

  HResult Count(long* count) override {
    if (!count) return wmp::kPointer;
    *count = static_cast<long>(playlists_.size());
    return wmp::kOk;
  }
  HResult Item(long index, wmp::PlaylistPtr* playlist) override {
    if (!playlist) return wmp::kPointer;
    if (index < 0 || static_cast<std::size_t>(index) >= playlists_.size()) {
      return wmp::kInvalidArg;
    }
    *playlist = playlists_[static_cast<std::size_t>(index)];
    return wmp::kOk;
  }

 private:
  std::vector<wmp::PlaylistPtr> playlists_;
};

class MediaCollection final : public wmp::IMediaCollection {
 public:
  explicit MediaCollection(std::shared_ptr<LibraryCore> core) : core_(std::move(core)) {}

  HResult Add(const std::wstring& url, wmp::MediaPtr* item) override {
    if (!item) return wmp::kPointer;
    ItemId id = 0;
    const HResult result = core_->AddFile(url, &id);
    if (wmp::Succeeded(result)) *item = MakeLibraryMedia(core_, id);
    return result;
  }
  HResult GetByAttribute(const std::wstring& attribute, const std::wstring& value,
                         wmp::PlaylistPtr* items) override {
    if (attribute.empty()) return wmp::kInvalidArg;
    return Answer(value, core_->Query(attribute, value, false), items);
  }
  HResult GetByAlbum(const std::wstring& album, wmp::PlaylistPtr* items) override {
    return Answer(album, core_->Query(attr::kAlbumTitle, album, false), items);
  }
  HResult GetByName(const std::wstring& name, wmp::PlaylistPtr* items) override {
    return Answer(name, core_->Query(attr::kTitle, name, false), items);
  }
  HResult GetAll(wmp::PlaylistPtr* items) override {
    return Answer(std::wstring(), core_->All(false), items);
  }
  HResult Remove(wmp::IMedia* item, bool deleteFile) override {
    ItemId id = 0;
    if (!ResolveMedia(*core_, item, &id)) return wmp::kInvalidArg;
    return core_->Remove(id, deleteFile);
  }

 private:
  HResult Answer(const std::wstring& name, std::vector<ItemId> ids, wmp::PlaylistPtr* items) {
    if (!items) return wmp::kPointer;
    *items = MakeQueryPlaylist(core_, name, std::move(ids));
    return wmp::kOk;
  }

  std::shared_ptr<LibraryCore> core_;
};

class PlaylistCollection final : public wmp::IPlaylistCollection {
 public:
  explicit PlaylistCollection(std::shared_ptr<LibraryCore> core) : core_(std::move(core)) {}

  HResult NewPlaylist(const std::wstring& name, wmp::PlaylistPtr* playlist) override {
    if (!playlist) return wmp::kPointer;
    ItemId id = 0;
    const HResult result = core_->NewPlaylist(name, &id);
    if (wmp::Succeeded(result)) *playlist = MakeSavedPlaylist(core_, id);
    return result;
  }
  HResult GetByName(const std::wstring& name, wmp::PlaylistArrayPtr* playlists) override {
    return Answer(core_->Query(attr::kTitle, name, true), playlists);
  }
  HResult GetAll(wmp::PlaylistArrayPtr* playlists) override {
    return Answer(core_->All(true), playlists);
  }
  HResult Remove(wmp::IPlaylist* playlist) override {
    ItemId id = 0;
    if (!ItemOfPlaylist(*core_, playlist, &id)) return wmp::kInvalidArg;
    return core_->Remove(id, false);
  }

 private:
  HResult Answer(const std::vector<ItemId>& ids, wmp::PlaylistArrayPtr* playlists) {
    if (!playlists) return wmp::kPointer;
    std::vector<wmp::PlaylistPtr> found;
    found.reserve(ids.size());
    for (ItemId id : ids) found.push_back(MakeSavedPlaylist(core_, id));
    *playlists = MakePlaylistArray(std::move(found));
    return wmp::kOk;
  }

  std::shared_ptr<LibraryCore> core_;
};

}  // namespace

wmp::MediaPtr MakeLibraryMedia(std::shared_ptr<LibraryCore> core, ItemId id) {
  return std::make_shared<LibraryMedia>(std::move(core), id);
}

wmp::PlaylistPtr MakeSavedPlaylist(std::shared_ptr<LibraryCore> core, ItemId id) {
  return std::make_shared<SavedPlaylist>(std::move(core), id);
}

wmp::PlaylistPtr MakeQueryPlaylist(std::shared_ptr<LibraryCore> core, std::wstring name,
                                   std::vector<ItemId> ids) {
  return std::make_shared<QueryPlaylist>(std::move(core), std::move(name), std::move(ids));
}

wmp::PlaylistArrayPtr MakePlaylistArray(std::vector<wmp::PlaylistPtr> playlists) {
  return std::make_shared<PlaylistArray>(std::move(playlists));
}

wmp::MediaCollectionPtr MakeMediaCollection(std::shared_ptr<LibraryCore> core) {
  return std::make_shared<MediaCollection>(std::move(core));
}

wmp::PlaylistCollectionPtr MakePlaylistCollection(std::shared_ptr<LibraryCore> core) {
  return std::make_shared<PlaylistCollection>(std::move(core));
}

bool ItemOfMedia(const LibraryCore& core, wmp::IMedia* media, ItemId* id) {
  return ResolveMedia(core, media, id);
}

bool ItemOfPlaylist(const LibraryCore& core, wmp::IPlaylist* playlist, ItemId* id) {
  const auto* mine = dynamic_cast<SavedPlaylist*>(playlist);
  if (!mine || mine->Core() != &core || !core.IsPlaylist(mine->Id())) return false;
  *id = mine->Id();
  return true;
}

}  // namespace mediaengine
