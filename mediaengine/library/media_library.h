#pragma once
// The engine's library: media items with attributes, saved playlists (WPL
// files that are also items of MediaType "playlist"), persisted in one
// folder. The engine creates one, loads it, hands out its two collections,
// enters finished rips with AddRipped and connects the event hooks to its
// event queue.
//
// Thread safety: every object handed out may be used from any thread while
// a worker changes the library; query results (snapshot playlists) belong to
// the caller. The file system passed in must be safe for that and must
// outlive every object handed out.
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/model/library.h"
#include "mediaengine/library/library_records.h"
#include "mediaengine/library/library_types.h"
#include "os/file_system.h"

namespace mediaengine {

class LibraryCore;

class MediaLibrary {
 public:
  // `folder` holds "library.txt" and the folder "Playlists", and is created
  // when missing. `readTags` fills the attributes of a .wma file given to Add
  // (AsfTagReader in the product).
  MediaLibrary(os::IFileSystem& files, std::wstring folder, TagReader readTags);
  // Writes what is pending and detaches every object handed out: their
  // later changes fail. The hooks are not called any more.
  ~MediaLibrary();
  MediaLibrary(const MediaLibrary&) = delete;
  MediaLibrary& operator=(const MediaLibrary&) = delete;

  // Once, before anything else: nothing is written before it. A damaged
  // library file is renamed aside and the library starts empty.
  LoadReport Load();
  // Or this: the load runs on a thread of its own, and every call that
  // reads or changes the library (through any object handed out) waits
  // until the whole library is in place. `done` runs on that thread after
  // the load; it must only queue.
  void LoadInBackground(std::function<void(const LoadReport&)> done);
  // The report of the load, once it has ended.
  LoadReport WaitForLoad() const;

  wmp::MediaCollectionPtr MediaCollection();
  wmp::PlaylistCollectionPtr PlaylistCollection();

  // Enters a finished rip, or updates the item of that file when it is in
  // the library already. Announced as a MediaCollectionChange (new item) or
  // a media change (existing item).
  wmp::HResult AddRipped(const RippedTrack& track, wmp::MediaPtr* item);

  // The saved playlist behind a library item of MediaType "playlist" (as
  // found by GetByAttribute); null for any other item.
  wmp::PlaylistPtr PlaylistOfItem(wmp::IMedia* item);
  // The library item of a saved playlist; null for other playlists.
  wmp::MediaPtr ItemOfPlaylist(wmp::IPlaylist* playlist);
  // Saved playlists whose attribute equals `value` exactly, in library
  // order: PlaylistsWhere(SyncAttribute(7), L"1") lists what partnership 7
  // synchronises.
  std::vector<wmp::PlaylistPtr> PlaylistsWhere(const std::wstring& attribute,
                                               const std::wstring& value);

  // The engine's event queue; see LibraryEvents for when they are called.
  void SetEvents(LibraryEvents events);

  // Holds back writing and announcing until the last open batch ends, so a
  // run of changes (e.g. the Sync marks of every playlist) is written once.
  class Batch {
   public:
    explicit Batch(std::shared_ptr<LibraryCore> core);
    ~Batch();
    Batch(Batch&& other) noexcept;
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;
    Batch& operator=(Batch&&) = delete;

   private:
    std::shared_ptr<LibraryCore> core_;
  };
  Batch BeginBatch();

  // Changes are written `delay` after the first of a run of them, by a
  // thread of the library's own, instead of before each change returns: a
  // rip's tracks make one write, not one each. Every write still replaces
  // the file whole (a crash leaves the previous library or the new one);
  // Save and the destructor write at once.
  void WriteBehind(std::chrono::milliseconds delay);

  // Writes the library file now; the result of that write.
  wmp::HResult Save();
  // The result of the last write (or of the load when it disabled writing).
  wmp::HResult LastSaveResult() const;

  std::wstring LibraryFilePath() const;
  std::wstring PlaylistFolderPath() const;

 private:
  std::shared_ptr<LibraryCore> core_;
};

// The product's tag reader: ReadAsfInfo over `files`.
TagReader AsfTagReader(os::IFileSystem& files);

}  // namespace mediaengine
