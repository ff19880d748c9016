#pragma once
// The engine objects the library hands out. Each is a fresh, light wrapper:
// a media item or saved playlist holds only its id and reads the store on
// every call, so two wrappers of one item always agree and IsIdentical
// compares ids. A query result is a snapshot the caller may edit freely.
#include <memory>
#include <vector>

#include "engine/model/library.h"
#include "mediaengine/library/library_core.h"

namespace mediaengine {

wmp::MediaPtr MakeLibraryMedia(std::shared_ptr<LibraryCore> core, ItemId id);
wmp::PlaylistPtr MakeSavedPlaylist(std::shared_ptr<LibraryCore> core, ItemId id);
// A snapshot playlist of the given items, named `name`.
wmp::PlaylistPtr MakeQueryPlaylist(std::shared_ptr<LibraryCore> core, std::wstring name,
                                   std::vector<ItemId> ids);
wmp::PlaylistArrayPtr MakePlaylistArray(std::vector<wmp::PlaylistPtr> playlists);
wmp::MediaCollectionPtr MakeMediaCollection(std::shared_ptr<LibraryCore> core);
wmp::PlaylistCollectionPtr MakePlaylistCollection(std::shared_ptr<LibraryCore> core);

// The library item an object stands for: a media item or saved playlist of
// this library, or any media whose file is in it. False otherwise.
bool ItemOfMedia(const LibraryCore& core, wmp::IMedia* media, ItemId* id);
bool ItemOfPlaylist(const LibraryCore& core, wmp::IPlaylist* playlist, ItemId* id);

}  // namespace mediaengine
