// Rip of the whole disc: cleaning up what earlier rips left in the library,
// starting the engine's rip and following its progress.
#include <cstdio>

#include "cdrom/cdrom_acc.h"
#include "os/paths.h"
#include "os/text_encoding.h"
#include "resources/resource.h"

namespace cdrom {
namespace {

// Lets the user see the finished bar before the window goes.
constexpr std::uint32_t kCloseDelayMs = 1000;
const wchar_t kDots[] = L"..........";

// Whether `folder` lies at least two levels inside `ripFolder`, where the
// engine puts its rips (ripFolder\album artist\album).
bool IsInsideRipTree(const std::wstring& folder, std::wstring ripFolder) {
  // "C:\Music\" names the same folder as "C:\Music".
  while (!ripFolder.empty() && ripFolder.back() == L'\\') ripFolder.pop_back();
  if (ripFolder.empty() || folder.compare(0, ripFolder.size(), ripFolder) != 0) return false;
  const std::wstring rest = folder.substr(ripFolder.size());
  // "C:\Music2\..." only begins with the text of "C:\Music": it is not inside.
  if (rest.empty() || rest.front() != L'\\') return false;
  const std::size_t first = rest.find(L'\\');
  return first != std::wstring::npos && rest.find(L'\\', first + 1) != std::wstring::npos;
}

std::wstring ProgressText(const std::wstring& ripping, int track, int tracks, int dots) {
  char numbers[32];
  std::snprintf(numbers, sizeof numbers, "(%d/%d)", track, tracks);
  return ripping + os::WideFromUtf8(numbers) + std::wstring(kDots, static_cast<std::size_t>(dots));
}

}  // namespace

bool CCDROMAcc::RemoveMissingLibraryEntries() {
  FindRippedTracks(false);
  wmp::IMediaCollection* library = context_.MediaCollection();
  if (!libraryPlaylist_ || library == nullptr) return false;
  for (long n = libraryPlaylist_.GetCount() - 1; n >= 0; --n) {
    engine::MediaRef item;
    if (wmp::Failed(libraryPlaylist_.GetItem(n, &item))) return false;
    const std::wstring url = item.GetSourceUrl();
    if (url.empty()) return false;
    if (!files_.Exists(url) && wmp::Failed(library->Remove(item.Get(), true))) return false;
  }
  return true;
}

bool CCDROMAcc::CheckRippedFiles(std::uint32_t rateBitsPerSecond, const std::wstring& ripFolder) {
  FindRippedTracks(false);
  wmp::IMediaCollection* library = context_.MediaCollection();
  if (!libraryPlaylist_ || library == nullptr) return false;
  const auto kbps = static_cast<std::int32_t>(rateBitsPerSecond / 1000);
  for (long n = libraryPlaylist_.GetCount() - 1; n >= 0; --n) {
    engine::MediaRef item;
    if (wmp::Failed(libraryPlaylist_.GetItem(n, &item))) continue;
    const std::wstring url = item.GetSourceUrl();
    std::wstring fileType;
    const std::int32_t bitrate = item.GetBitrateKbps();
    if (url.empty() || wmp::Failed(item.GetAttribute(wmp::attr::kFileType, &fileType)) || bitrate < 0) {
      continue;
    }
    const std::wstring folder = os::ParentFolder(url);
    if (!IsInsideRipTree(folder, ripFolder)) {
      // Not a file of ours: it leaves the library but stays on the disk.
      library->Remove(item.Get(), false);
    } else if (bitrate != kbps || fileType != L"wma") {
      library->Remove(item.Get(), true);
      files_.Delete(url);
      files_.RemoveFolder(folder);
    }
  }
  return true;
}

bool CCDROMAcc::CheckTrackOrder() {
  FindRippedTracks(false);
  if (!libraryPlaylist_) return false;
  std::int32_t previous = 0;
  const long count = libraryPlaylist_.GetCount();
  for (long n = 0; n < count; ++n) {
    engine::MediaRef item;
    if (wmp::Failed(libraryPlaylist_.GetItem(n, &item))) return false;
    const std::int32_t track = item.GetTrackNumber();
    if (track <= 0 || track <= previous) return false;
    previous = track;
  }
  return true;
}

int CCDROMAcc::StartRip() {
  if (GetState() != common::kOpened) return -1;
  lastRipTrack_ = -1;
  // The drive must still be known to the engine: a rip of drive -1 cannot start.
  if (!OpenDisc(false) || trackCount_ <= 0) return -1;

  const int whole = trackCount_ * 100;
  if (UpdateRipProgress(0) == whole) return whole;

  if (!context_.IsOlderEngine()) {
    engine::CdromRipRef rip;
    if (wmp::Succeeded(cdromCollection_.GetRipInterface(cdromIndex_, &rip)) &&
        wmp::Succeeded(rip.StartRip())) {
      return 0;
    }
  }
  wmp::IPlayer* player = context_.Player();
  wmp::PlayerServicesPtr services;
  if (player != nullptr && wmp::Succeeded(player->Services(&services)) && services) {
    char task[48];
    std::snprintf(task, sizeof task, "CopyFromCD?AutoCopy:%d", cdromIndex_);
    if (wmp::Succeeded(services->SetTaskPane(os::WideFromUtf8(task)))) return 0;
  }
  return -1;
}

int CCDROMAcc::UpdateRipProgress(int overall) {
  if (GetState() != common::kOpened || overall < 0) return -1;
  if (trackCount_ <= 0 || !FindRippedTracks(false)) {
    if (IsStatusShown()) clock_.Wait(kCloseDelayMs);
    CloseStatus();
    return -1;
  }
  const int total = trackCount_ * 100;
  if (GetRippedCount() == trackCount_) {
    if (IsStatusShown()) {
      SetStatusProgress(total);
      clock_.Wait(kCloseDelayMs);
    }
    CloseStatus();
    return total;
  }
  if (overall == 0) {
    if (!IsStatusShown() && ShowStatus(true)) {
      ui::CStatusDlg* window = StatusWindow();
      window->SetMessage(Strings().Load(IDS_PROGRESS_RIP_PREPARING));
      window->SetRange(0, total);
      SetStatusProgress(0);
      window->Enable(true);
      window->PumpOne();
    }
    return 0;
  }

  const int finished = overall / 100;
  if (IsStatusShown() && overall != total) {
    const int dots = (overall % 100) / 10;
    StatusWindow()->SetMessage(
        ProgressText(Strings().Load(IDS_PROGRESS_RIPPING), finished + 1, trackCount_, dots));
    SetStatusProgress(overall);
  }
  if (overall == total) {
    if (IsStatusShown()) clock_.Wait(kCloseDelayMs);
    CloseStatus();
  }
  if (finished > 0 && finished != lastRipTrack_) {
    lastRipTrack_ = finished;
    engine::MediaRef item;
    if (wmp::Succeeded(libraryPlaylist_.GetItem(finished - 1, &item)) && item.GetFileSize() < 1) {
      return -2;
    }
  }
  return overall;
}

}  // namespace cdrom
