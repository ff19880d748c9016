#pragma once
// The library's store: every record behind one mutex, so that the UI thread
// reads attributes while a rip worker adds tracks. Each change is stored,
// then (outside the lock) written to disk and announced; a batch defers the
// writing and the announcing to its end.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "mediaengine/library/library_records.h"
#include "mediaengine/library/library_types.h"
#include "os/file_system.h"

namespace mediaengine {

class LibraryCore : public std::enable_shared_from_this<LibraryCore> {
 public:
  // `files` must outlive the core; `folder` holds the library file and the
  // "Playlists" folder.
  LibraryCore(os::IFileSystem& files, std::wstring folder, TagReader readTags);
  LibraryCore(const LibraryCore&) = delete;
  LibraryCore& operator=(const LibraryCore&) = delete;

  ~LibraryCore();

  LoadReport Load();
  // Loads on a thread of its own; every read and change (Save too) waits
  // until the records are in place, so none sees a part of the library.
  // `done` is called on that thread after the load.
  void LoadInBackground(std::function<void(const LoadReport&)> done);
  // The report of the load; waits for one still running.
  LoadReport WaitForLoad() const;
  // From now on changes are written by a thread of the core's own, `delay`
  // after the first of them, so that a run of changes (the tracks of a rip)
  // is written once; each write still replaces the file whole. Save and
  // Close write at once. Without it each change is written before its call
  // returns.
  void WriteBehind(std::chrono::milliseconds delay);
  wmp::HResult Save();
  wmp::HResult LastSaveResult() const;
  void SetEvents(LibraryEvents events);
  // Writes what is pending; later changes fail and nothing touches the disk.
  void Close();
  void BeginBatch();
  void EndBatch();

  const std::wstring& LibraryFile() const { return libraryFile_; }
  const std::wstring& PlaylistFolder() const { return playlistFolder_; }

  // Reads. A missing item fails with kFail; a missing attribute is empty.
  wmp::HResult Attribute(ItemId id, const std::wstring& name, std::wstring* value) const;
  wmp::HResult Url(ItemId id, std::wstring* url) const;
  wmp::HResult DurationMs(ItemId id, std::int64_t* durationMs) const;
  bool Contains(ItemId id) const;
  bool IsPlaylist(ItemId id) const;
  bool FindUrl(const std::wstring& url, ItemId* id) const;
  wmp::HResult Members(ItemId playlist, std::vector<ItemId>* members) const;
  // Items (or only saved playlists) whose attribute equals `value`
  // exactly, in library order.
  std::vector<ItemId> Query(const std::wstring& name, const std::wstring& value,
                            bool playlistsOnly) const;
  std::vector<ItemId> All(bool playlistsOnly) const;

  // Changes.
  wmp::HResult SetAttribute(ItemId id, const std::wstring& name, const std::wstring& value);
  wmp::HResult AddFile(const std::wstring& url, ItemId* id);
  wmp::HResult AddRipped(const RippedTrack& track, ItemId* id);
  wmp::HResult Remove(ItemId id, bool deleteFile);
  wmp::HResult NewPlaylist(const std::wstring& name, ItemId* id);
  wmp::HResult AppendMember(ItemId playlist, ItemId item);
  wmp::HResult RemoveMember(ItemId playlist, ItemId item);
  wmp::HResult MoveMember(ItemId playlist, long from, long to);

 private:
  enum class EventKind { kCollection, kMedia, kPlaylists, kPlaylist, kSaveFailed };
  struct PendingEvent {
    EventKind kind;
    ItemId id;
    long value;  // playlist change type, or the save error
    bool operator==(const PendingEvent& other) const {
      return kind == other.kind && id == other.id && value == other.value;
    }
  };

  // mutex_ held once no load is running any more.
  std::unique_lock<std::mutex> Ready() const;

  // All below with mutex_ held.
  LibraryRecord* Find(ItemId id);
  const LibraryRecord* Find(ItemId id) const;
  void Announce(EventKind kind, ItemId id = 0, long value = 0);
  void PlaylistChanged(ItemId playlist, long change);
  std::wstring FreePlaylistUrl(const std::wstring& name, ItemId self);
  // The next free id; false once ids up to kMaxItemId are used up.
  bool TakeId(ItemId* id);
  LibraryRecord& Insert(LibraryRecord record);
  bool LookUpUrl(const std::wstring& url, ItemId* id) const;
  void IndexUrl(const std::wstring& url, ItemId id);
  void UnindexUrl(const std::wstring& url, ItemId id);

  // Without mutex_: writes what changed, then delivers the pending events.
  void Commit();
  void WriterLoop();
  // Joins the loading thread and stops the writer (its changes stay pending).
  void StopThreads();
  void WritePending();
  void Deliver();

  os::IFileSystem& files_;
  const std::wstring folder_;
  const std::wstring libraryFile_;
  const std::wstring playlistFolder_;
  const TagReader readTags_;

  mutable std::mutex mutex_;
  mutable std::condition_variable loadEnded_;
  bool loading_ = false;  // a background load has not put its records in place yet
  LoadReport report_;
  std::thread loader_;
  std::thread writer_;
  std::condition_variable writeWanted_;
  std::chrono::milliseconds writeDelay_{0};
  bool writeBehind_ = false;
  bool writeRequested_ = false;
  bool stopWriter_ = false;
  // In order of their ids; ids grow, so this is library order.
  std::vector<LibraryRecord> records_;
  // The hash of os::PathKey(url) → id: a second copy of every path would
  // cost as much as the record itself.
  std::unordered_multimap<std::size_t, ItemId> byUrl_;
  ItemId nextId_ = 1;
  bool loaded_ = false;
  bool saving_ = true;
  bool closed_ = false;
  int batchDepth_ = 0;
  bool dirty_ = false;
  std::set<ItemId> dirtyPlaylists_;       // WPL files to write
  std::vector<std::wstring> staleFiles_;  // WPL files of removed or renamed playlists
  std::vector<PendingEvent> pending_;
  LibraryEvents events_;
  wmp::HResult lastSave_ = wmp::kOk;

  // Serialises writers so that an older snapshot never lands after a newer one.
  std::mutex writeMutex_;
};

}  // namespace mediaengine
