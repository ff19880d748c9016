#include "mediaengine/devices/sync_job.h"

#include <algorithm>
#include <memory>

#include "mediaengine/codec/asf_info.h"
#include "mediaengine/base/rip_preferences.h"
#include "mediaengine/disc/disc_image.h"
#include "mediaengine/library/library_io.h"
#include "mediaengine/library/library_records.h"
#include "os/text_encoding.h"

namespace mediaengine {
namespace {

std::wstring FileNameOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::uint64_t SizeOf(os::IFileSystem& files, const std::wstring& path) {
  std::unique_ptr<os::IFileStream> stream;
  return files.Open(path, os::OpenMode::Read, &stream) == os::kSuccess ? stream->Size() : 0;
}

// "name (2).ext" for the second file of one name in a run.
std::wstring Numbered(const std::wstring& path, int number) {
  const std::size_t slash = path.find_last_of(L'\\');
  std::size_t dot = path.find_last_of(L'.');
  if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) dot = path.size();
  return path.substr(0, dot) + L" (" + std::to_wstring(number) + L")" + path.substr(dot);
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
         SafeFileName(albumArtist.empty() ? kUnknownArtist : albumArtist) + L"\\" +
         SafeFileName(album.empty() ? kUnknownAlbum : album) + L"\\";
}

SyncJob::SyncJob(os::IFileSystem& files, DeviceDescription device, std::vector<SyncItem> items,
                 CopyPool* pool, std::uint32_t chunkBytes, std::uint64_t wholeFileLimit)
    : files_(files), device_(std::move(device)), items_(std::move(items)),
      chunkBytes_(chunkBytes ? chunkBytes : FileCopier::kDefaultChunkBytes),
      wholeFileLimit_(wholeFileLimit), copier_(files, chunkBytes_),
      ownPool_(pool ? nullptr : std::make_unique<CopyPool>(files, chunkBytes_)),
      pool_(pool ? *pool : *ownPool_) {}

std::wstring SyncJob::TargetOf(const SyncItem& item) {
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
  const std::wstring first = SyncFolderPath(device_, artist, album) + FileNameOf(item.source);
  std::wstring target = first;
  for (int number = 2;
       std::find(targets_.begin(), targets_.end(), UrlKey(target)) != targets_.end(); ++number) {
    target = Numbered(first, number);
  }
  targets_.push_back(UrlKey(target));
  return target;
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
    const std::wstring target = TargetOf(item);
    const std::wstring folder = target.substr(0, target.find_last_of(L'\\'));
    if (folder + L"\\" != device_.root) {
      const os::ErrorCode created = CreateFolderTree(files_, folder);
      if (created != os::kSuccess) return fail(i, {OutcomeOfWriteError(created), created});
    }
    std::uint64_t replaced = 0;
    const std::uint32_t attributes = files_.GetAttributes(target);
    if (attributes != os::kInvalidAttributes) {
      replaced = SizeOf(files_, target);
      if (!(attributes & os::kAttributeDirectory) && replaced == size &&
          copier_.SameContent(item.source, target)) {
        Settle(i, size, {});  // there already from an earlier run
        continue;
      }
      if (attributes & (os::kAttributeReadOnly | os::kAttributeDirectory)) {
        return fail(i, {CopyOutcome::ReadOnly, os::kErrorAccessDenied});
      }
    }
    // The temporary copy sits beside the file it replaces until the rename.
    if (device_.capacity && used + size > device_.capacity) {
      return fail(i, {CopyOutcome::DeviceFull, os::kErrorDiskFull});
    }
    used = used + size - std::min(replaced, used + size);
    const std::wstring temporary = device_.root + TemporaryName(i);
    if (size <= wholeFileLimit_) {
      pool_.WaitForRoom();
      pool_.Hand({i, item.source, temporary, target});
      continue;
    }
    // Too big to hold: copied and verified in chunks, on its own.
    pool_.WaitUntilIdle();
    const CopyResult copy = copier_.Copy(item.source, temporary, target, stop,
                                         [&](std::uint64_t bytes) { Show(bytes); });
    if (copy.outcome == CopyOutcome::Stopped) return false;
    Settle(i, size, copy);
  }
  return true;
}

}  // namespace mediaengine
