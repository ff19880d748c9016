#pragma once
// One synchronisation run: the items of the marked playlists copied onto a
// device, each into the folder the device's firmware wants, with the
// device's capacity respected. The run's thread decides, item by item in
// order, where each goes and whether it fits; the device's copy pool does
// the copying, several at once, so the device's flushes overlap the work on
// the next files. The run ends at the first item that cannot
// be copied, when asked to stop, or when the device goes away; copies under
// way then are settled (finished or given up) before Run returns, so every
// file of the run on the device is whole and no temporary one is left.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "mediaengine/devices/file_copier.h"
#include "mediaengine/devices/device_storage.h"
#include "engine/model/media.h"

namespace mediaengine {

// Copies on the device are called "~MarimbaSync-<n>.tmp", in its root, until
// they are complete and verified. The name holds no ".wma" so that nothing
// looking for music files takes one for a track.
extern const wchar_t kSyncTemporaryPrefix[];  // "~MarimbaSync"

// Deletes what a run that the device was pulled out of left in `root`.
void SweepTemporaryCopies(os::IFileSystem& files, const std::wstring& root);

struct SyncItem {
  wmp::MediaPtr media;
  std::wstring source;     // the file in the library
  std::uint64_t size = 0;  // what the library says it holds (for the progress); 0: ask the file
};

enum class SyncEnd {
  Completed,
  Stopped,
  ItemFailed,  // `failedItem` could not be copied, for `failure`
  DeviceGone,  // the device went away under the run
};

struct SyncReport {
  SyncEnd end = SyncEnd::Completed;
  wmp::MediaPtr failedItem;
  CopyOutcome failure = CopyOutcome::Copied;
  os::ErrorCode error = os::kSuccess;
};

// The folder below the device's root where an item with these tags goes.
std::wstring SyncFolderPath(const DeviceDescription& device, const std::wstring& albumArtist,
                            const std::wstring& album);

class SyncJob {
 public:
  // Files up to this size go to the pool, which holds them whole and
  // verifies against those bytes; bigger ones are copied by the run's thread
  // in chunks and verified against the source.
  static constexpr std::uint64_t kWholeFileLimit = 32u << 20;

  // Without a pool the job makes its own.
  SyncJob(os::IFileSystem& files, DeviceDescription device, std::vector<SyncItem> items,
          CopyPool* pool = nullptr, std::uint32_t chunkBytes = FileCopier::kDefaultChunkBytes,
          std::uint64_t wholeFileLimit = kWholeFileLimit);

  // `stop` is looked at between chunks; `percent` is told 0..99 as copies
  // settle, from any of the run's threads (the caller reports 100 for a
  // completed run).
  SyncReport Run(const std::atomic<bool>& stop, const std::function<void(long)>& percent);

 private:
  struct Placement {
    std::wstring target;
    bool replace = false;       // the same track is there and makes way
    bool alreadyThere = false;  // the very same bytes are there
    std::uint64_t replacedBytes = 0;
  };
  // The folder (with its trailing backslash) an item goes into.
  std::wstring FolderOf(const SyncItem& item);
  // Where in `folder` the item goes: a free name, or the place of the same
  // track; a file of another track is never replaced.
  CopyResult Place(const SyncItem& item, const std::wstring& folder, std::uint64_t size,
                   Placement* placement);
  // Creates the missing folders of `folder`, remembering which.
  os::ErrorCode MakeFolder(const std::wstring& folder);
  void RemoveEmptyFolders();
  // Plans the items in order and has them copied; false when it stopped
  // before the last one.
  bool CopyItems(const std::atomic<bool>& stop);
  void Settle(std::size_t item, std::uint64_t bytes, const CopyResult& result);
  // Reports the settled bytes and `pending` more of a copy under way.
  void Show(std::uint64_t pending);
  void ShowLocked(std::uint64_t pending);
  SyncReport Report();

  os::IFileSystem& files_;
  DeviceDescription device_;
  std::vector<SyncItem> items_;
  const std::uint32_t chunkBytes_;
  const std::uint64_t wholeFileLimit_;
  FileCopier copier_;
  std::unique_ptr<CopyPool> ownPool_;
  CopyPool& pool_;
  std::vector<std::wstring> targets_;  // keys of the targets taken in this run
  std::vector<std::wstring> createdFolders_;  // by this run, outermost first

  std::mutex mutex_;  // guards what the pool's threads settle
  std::vector<CopyResult> outcomes_;
  std::vector<bool> settled_;
  bool failed_ = false;
  bool stopped_ = false;  // a copy was given up for a stop
  std::uint64_t done_ = 0;
  std::uint64_t total_ = 0;
  long shown_ = -1;
  std::function<void(long)> percent_;
};

}  // namespace mediaengine
