#include "engine/win32/com_library.h"

#include <utility>

#include "engine/win32/com_calls.h"
#include "engine/win32/com_object_views.h"

namespace engine::win32 {
namespace {

// One of the collection's queries that answer with a playlist of items.
template <class Query>
wmp::HResult ItemsOf(const ControlPtr<IWMPMediaCollection>& collection, wmp::PlaylistPtr* items,
                     Query query) {
  if (!collection || !items) return wmp::kPointer;
  ComPtr<IWMPPlaylist> playlist;
  const HRESULT hr = query(playlist.Receive());
  return HandOut<ComPlaylistView>(hr, std::move(playlist), items);
}

}  // namespace

// --- media collection -----------------------------------------------------

wmp::HResult ComMediaCollection::Add(const std::wstring& url, wmp::MediaPtr* item) {
  if (!collection_ || !item) return wmp::kPointer;
  return WithText(url, [&](BSTR text) {
    ComPtr<IWMPMedia> media;
    const HRESULT hr = collection_->add(text, media.Receive());
    return HandOut<ComMediaView>(hr, std::move(media), item);
  });
}

wmp::HResult ComMediaCollection::GetByAttribute(const std::wstring& attribute,
                                                const std::wstring& value,
                                                wmp::PlaylistPtr* items) {
  return WithText(attribute, [&](BSTR name) {
    return WithText(value, [&](BSTR text) {
      return ItemsOf(collection_, items, [&](IWMPPlaylist** out) {
        return collection_->getByAttribute(name, text, out);
      });
    });
  });
}

wmp::HResult ComMediaCollection::GetByAlbum(const std::wstring& album, wmp::PlaylistPtr* items) {
  return WithText(album, [&](BSTR text) {
    return ItemsOf(collection_, items,
                   [&](IWMPPlaylist** out) { return collection_->getByAlbum(text, out); });
  });
}

wmp::HResult ComMediaCollection::GetByName(const std::wstring& name, wmp::PlaylistPtr* items) {
  return WithText(name, [&](BSTR text) {
    return ItemsOf(collection_, items,
                   [&](IWMPPlaylist** out) { return collection_->getByName(text, out); });
  });
}

wmp::HResult ComMediaCollection::GetAll(wmp::PlaylistPtr* items) {
  return ItemsOf(collection_, items,
                 [&](IWMPPlaylist** out) { return collection_->getAll(out); });
}

wmp::HResult ComMediaCollection::Remove(wmp::IMedia* item, bool deleteFile) {
  if (!collection_ || !item) return wmp::kPointer;
  IWMPMedia* const media = ComFaceOf<ComMediaView>(item);
  if (!media) return wmp::kInvalidArg;
  return collection_->remove(media, ToVariantBool(deleteFile));
}

// --- playlist collection --------------------------------------------------

wmp::HResult ComPlaylistCollection::NewPlaylist(const std::wstring& name,
                                                wmp::PlaylistPtr* playlist) {
  if (!collection_ || !playlist) return wmp::kPointer;
  return WithText(name, [&](BSTR text) {
    ComPtr<IWMPPlaylist> created;
    const HRESULT hr = collection_->newPlaylist(text, created.Receive());
    return HandOut<ComPlaylistView>(hr, std::move(created), playlist);
  });
}

wmp::HResult ComPlaylistCollection::GetByName(const std::wstring& name,
                                              wmp::PlaylistArrayPtr* playlists) {
  if (!collection_ || !playlists) return wmp::kPointer;
  return WithText(name, [&](BSTR text) {
    ComPtr<IWMPPlaylistArray> found;
    const HRESULT hr = collection_->getByName(text, found.Receive());
    return HandOut<ComPlaylistArray>(hr, std::move(found), playlists);
  });
}

wmp::HResult ComPlaylistCollection::GetAll(wmp::PlaylistArrayPtr* playlists) {
  if (!collection_ || !playlists) return wmp::kPointer;
  ComPtr<IWMPPlaylistArray> all;
  const HRESULT hr = collection_->getAll(all.Receive());
  return HandOut<ComPlaylistArray>(hr, std::move(all), playlists);
}

wmp::HResult ComPlaylistCollection::Remove(wmp::IPlaylist* playlist) {
  if (!collection_ || !playlist) return wmp::kPointer;
  IWMPPlaylist* const com = ComFaceOf<ComPlaylistView>(playlist);
  return com ? collection_->remove(com) : wmp::kInvalidArg;
}

// --- playlist array -------------------------------------------------------

wmp::HResult ComPlaylistArray::Count(long* count) {
  if (!playlists_ || !count) return wmp::kPointer;
  return playlists_->get_count(count);
}

wmp::HResult ComPlaylistArray::Item(long index, wmp::PlaylistPtr* playlist) {
  if (!playlists_ || !playlist) return wmp::kPointer;
  ComPtr<IWMPPlaylist> item;
  const HRESULT hr = playlists_->Item(index, item.Receive());
  return HandOut<ComPlaylistView>(hr, std::move(item), playlist);
}

}  // namespace engine::win32
