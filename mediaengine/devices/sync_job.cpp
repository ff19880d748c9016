#include "mediaengine/devices/sync_job.h"

#include <algorithm>
#include <memory>

#include "engine/model/placeholders.h"
#include "mediaengine/base/rip_preferences.h"
#include "mediaengine/codec/asf_info.h"
#include "mediaengine/library/library_io.h"
#include "mediaengine/library/library_records.h"
#include "os/device_names.h"
#include "os/paths.h"
#include "os/text_encoding.h"

namespace mediaengine {
namespace {

std::uint64_t SizeOf(os::IFileSystem& files, const std::wstring& path) {
  std::unique_ptr<os::IFileStream> stream;
  return files.Open(path, os::OpenMode::Read, &stream) == os::kSuccess ? stream->Size() : 0;
}

// Far more files of one name than a player holds: past it the item fails
// rather than the run searching on.
constexpr int kMaxNumber = 9999;

// The folders of `folder` (no trailing backslash) that do not exist yet,
// the outermost first, below `root`.
std::vector<std::wstring> MissingFolders(os::IFileSystem& files, const std::wstring& root,
                                         std::wstring folder) {
  std::vector<std::wstring> missing;
  while (folder.size() + 1 > root.size() && !files.Exists(folder)) {
    missing.insert(missing.begin(), folder);
    const std::size_t slash = folder.find_last_of(L'\\');
    if (slash == std::wstring::npos) break;
    folder.resize(slash);
  }
  return missing;
}

std::wstring TemporaryName(std::size_t item) {
  return std::wstring(kSyncTemporaryPrefix) + L"-" + std::to_wstring(item) + L".tmp";
}

}  // namespace

const wchar_t kSyncTemporaryPrefix[] = L"~MarimbaSync";

void SweepTemporaryCopies(os::IFileSystem& files, const std::wstring& root) {
  std::vector<os::FindEntry> entries;
  if (files.FindFiles(root + kSyncTemporaryPrefix + L"*.tmp", &entries) != os::kSuccess) return;
  for (const os::FindEntry& entry : entries) {
    if (!entry.IsFolder()) files.Delete(root + entry.name);
  }
}

std::wstring SyncFolderPath(const DeviceDescription& device, const std::wstring& albumArtist,
                            const std::wstring& album) {
  if (device.syncFolder == SyncFolder::Root) return device.root;
  return device.root + L"Music\\" +
         os::DeviceFolderNameOrStandIn(albumArtist.empty() ? wmp::kUnknownArtist : albumArtist) +
         L"\\" + os::DeviceFolderNameOrStandIn(album.empty() ? wmp::kUnknownAlbum : album) + L"\\";
}

SyncJob::SyncJob(os::IFileSystem& files, DeviceDescription device, std::vector<SyncItem> items,
                 CopyPool* pool, std::uint32_t chunkBytes, std::uint64_t wholeFileLimit)
    : files_(files), device_(std::move(device)), items_(std::move(items)),
      chunkBytes_(chunkBytes ? chunkBytes : FileCopier::kDefaultChunkBytes),
      wholeFileLimit_(wholeFileLimit), copier_(files, chunkBytes_),
      ownPool_(pool ? nullptr : std::make_unique<CopyPool>(files, chunkBytes_)),
      pool_(pool ? *pool : *ownPool_) {}

std::wstring SyncJob::FolderOf(const SyncItem& item) {
  std::wstring artist, album;
  if (device_.syncFolder == SyncFolder::Music) {
    // The folder follows the tags in the file, as the player reads them;
    // the library's texts stand in for a file without tags.
    AsfInfo info;
    if (os::EndsWithNoCase(item.source, L".wma") && ReadAsfInfo(files_, item.source, &info)) {
      artist = info.tags.albumArtist.empty() ? info.tags.author : info.tags.albumArtist;
      album = info.tags.albumTitle;
    } else if (item.media) {
      item.media->GetItemInfo(attr::kAlbumArtist, &artist);
      if (artist.empty()) item.media->GetItemInfo(attr::kAuthor, &artist);
      item.media->GetItemInfo(attr::kAlbumTitle, &album);
    }
  }
  return SyncFolderPath(device_, artist, album);
}

CopyResult SyncJob::Place(const SyncItem& item, const std::wstring& folder, std::uint64_t size,
                          Placement* placement) {
  const std::wstring name = os::LastPathPart(item.source);
  bool knowSource = false;
  os::TrackFacts source;
  for (int number = 1; number <= kMaxNumber; ++number) {
    const std::wstring file = os::DeviceFileName(folder, name, number);
    if (file.empty()) return {CopyOutcome::WriteFailed, os::kErrorFilenameTooLong};
    const std::wstring target = folder + file;
    if (std::find(targets_.begin(), targets_.end(), os::PathKey(target)) != targets_.end()) {
      continue;
    }
    const std::uint32_t attributes = files_.GetAttributes(target);
    bool replace = false;
    if (attributes != os::kInvalidAttributes) {
      if (attributes & os::kAttributeDirectory) continue;
      const std::uint64_t there = SizeOf(files_, target);
      if (there == size && copier_.SameContent(item.source, target)) {
        targets_.push_back(os::PathKey(target));
        placement->target = target;
        placement->alreadyThere = true;
        return {};
      }
      // Only the same track again may take the place of a file; any other
      // file of that name is kept and the copy takes the next free name.
      if (!knowSource) source = TrackFactsOfFile(files_, item.source);
      knowSource = true;
      if (!os::IsSameTrack(source, TrackFactsOfFile(files_, target))) continue;
      if (attributes & os::kAttributeReadOnly) return {CopyOutcome::ReadOnly, os::kErrorAccessDenied};
      replace = true;
      placement->replacedBytes = there;
    }
    targets_.push_back(os::PathKey(target));
    placement->target = target;
    placement->replace = replace;
    return {};
  }
  return {CopyOutcome::WriteFailed, os::kErrorFileExists};
}

os::ErrorCode SyncJob::MakeFolder(const std::wstring& folder) {
  if (folder.size() <= device_.root.size()) return os::kSuccess;
  const std::wstring path = folder.substr(0, folder.size() - 1);
  std::vector<std::wstring> missing = MissingFolders(files_, device_.root, path);
  for (const std::wstring& step : missing) {
    const os::ErrorCode error = files_.CreateFolder(step);
    if (error == os::kErrorAlreadyExists) continue;
    if (error != os::kSuccess) return error;
    createdFolders_.push_back(step);
  }
  return os::kSuccess;
}

void SyncJob::RemoveEmptyFolders() {
  // The innermost first; a folder that holds anything stays.
  for (auto folder = createdFolders_.rbegin(); folder != createdFolders_.rend(); ++folder) {
    files_.RemoveFolder(*folder);
  }
  createdFolders_.clear();
}

void SyncJob::Settle(std::size_t item, std::uint64_t bytes, const CopyResult& result) {
  std::lock_guard<std::mutex> lock(mutex_);
  outcomes_[item] = result;
  settled_[item] = true;
  if (result.outcome == CopyOutcome::Stopped) {
    stopped_ = true;
    return;
  }
  if (result.outcome != CopyOutcome::Copied) {
    failed_ = true;
    return;
  }
  done_ += bytes;
  ShowLocked(0);
}

void SyncJob::Show(std::uint64_t pending) {
  std::lock_guard<std::mutex> lock(mutex_);
  ShowLocked(pending);
}

void SyncJob::ShowLocked(std::uint64_t pending) {
  const std::uint64_t bytes = done_ + pending;
  const long now =
      total_ ? static_cast<long>(std::min<std::uint64_t>(bytes * 100 / total_, 99)) : 0;
  if (now != shown_ && percent_) percent_(now);
  shown_ = now;
}

SyncReport SyncJob::Report() {
  SyncReport report;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const CopyOutcome outcome = outcomes_[i].outcome;
    if (!settled_[i] || outcome == CopyOutcome::Copied || outcome == CopyOutcome::Stopped) continue;
    // A device that stopped answering was most likely pulled out.
    if (outcomes_[i].outcome != CopyOutcome::SourceFailed &&
        !StoragePresent(files_, device_)) {
      report.end = SyncEnd::DeviceGone;
      return report;
    }
    report.end = SyncEnd::ItemFailed;
    report.failedItem = items_[i].media;
    report.failure = outcomes_[i].outcome;
    report.error = outcomes_[i].error;
    return report;
  }
  report.end = stopped_ ? SyncEnd::Stopped : SyncEnd::Completed;
  return report;
}

SyncReport SyncJob::Run(const std::atomic<bool>& stop, const std::function<void(long)>& percent) {
  SweepTemporaryCopies(files_, device_.root);
  for (const SyncItem& item : items_) total_ += item.size ? item.size : SizeOf(files_, item.source);
  outcomes_.assign(items_.size(), CopyResult{});
  settled_.assign(items_.size(), false);
  percent_ = percent;
  Show(0);
  pool_.Begin(stop, [this](std::size_t item, std::uint64_t bytes, const CopyResult& result) {
    Settle(item, bytes, result);
  });
  const bool completed = CopyItems(stop);
  pool_.End();
  // A run that failed or stopped leaves no artist or album folder empty.
  RemoveEmptyFolders();
  if (!completed) stopped_ = true;
  return Report();
}

bool SyncJob::CopyItems(const std::atomic<bool>& stop) {
  auto failedSoFar = [this] {
    std::lock_guard<std::mutex> lock(mutex_);
    return failed_;
  };
  auto fail = [this](std::size_t item, const CopyResult& result) {
    Settle(item, 0, result);
    return true;
  };
  std::uint64_t used = device_.capacity ? BytesBelow(files_, device_.root) : 0;
  for (std::size_t i = 0; i < items_.size() && !failedSoFar(); ++i) {
    const SyncItem& item = items_[i];
    if (stop) return false;
    const std::uint32_t sourceAttributes = files_.GetAttributes(item.source);
    if (sourceAttributes == os::kInvalidAttributes || (sourceAttributes & os::kAttributeDirectory)) {
      return fail(i, {CopyOutcome::SourceFailed, os::kErrorFileNotFound});
    }
    const std::uint64_t size = SizeOf(files_, item.source);
    const std::wstring folder = FolderOf(item);
    const os::ErrorCode created = MakeFolder(folder);
    if (created != os::kSuccess) return fail(i, {OutcomeOfWriteError(created), created});
    Placement placement;
    const CopyResult placed = Place(item, folder, size, &placement);
    if (placed.outcome != CopyOutcome::Copied) return fail(i, placed);
    if (placement.alreadyThere) {
      Settle(i, size, {});  // there already from an earlier run
      continue;
    }
    const std::uint64_t replaced = placement.replacedBytes;
    const std::wstring& target = placement.target;
    // The temporary copy sits beside the file it replaces until the rename.
    if (device_.capacity && used + size > device_.capacity) {
      return fail(i, {CopyOutcome::DeviceFull, os::kErrorDiskFull});
    }
    used = used + size - std::min(replaced, used + size);
    const std::wstring temporary = device_.root + TemporaryName(i);
    if (size <= wholeFileLimit_) {
      pool_.WaitForRoom();
      pool_.Hand({i, item.source, temporary, target, placement.replace});
      continue;
    }
    // Too big to hold: copied and verified in chunks, on its own.
    pool_.WaitUntilIdle();
    const CopyResult copy = copier_.Copy(item.source, temporary, target, placement.replace, stop,
                                         [&](std::uint64_t bytes) { Show(bytes); });
    if (copy.outcome == CopyOutcome::Stopped) return false;
    Settle(i, size, copy);
  }
  return true;
}

}  // namespace mediaengine
