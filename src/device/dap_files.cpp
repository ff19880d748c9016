// Files on a player drive after a transfer: which ones the transfer brought,
// and the move into (or out of) Music\artist\album.
#include "device/dap_acc.h"

#include <algorithm>

#include "device/file_time.h"

namespace device {
namespace {

const wchar_t kAudioExtension[] = L".wma";
const wchar_t kMusicFolder[] = L"\\Music";
const wchar_t kAlbumArtist[] = L"WM/AlbumArtist";
const wchar_t kAlbum[] = L"Album";

// Characters a folder name cannot hold, and what stands in for each.
const wchar_t kUnsafeCharacters[] = L"\\/:*?\"<>|";
const wchar_t kReplacements[] = L" ----'[]I";

// A name that, used as one path step, names a folder of its own: not empty
// and not made of dots and blanks only ("..", which Windows would resolve
// to the parent, or "", which is the parent itself).
bool IsOwnFolderName(const std::wstring& name) {
  return name.find_first_not_of(L". ") != std::wstring::npos;
}

}  // namespace

void CDAPAcc::SanitizeFolderName(std::wstring& text) {
  static_assert(sizeof kUnsafeCharacters == sizeof kReplacements, "one replacement each");
  for (std::size_t row = 0; kUnsafeCharacters[row] != L'\0'; ++row) {
    std::replace(text.begin(), text.end(), kUnsafeCharacters[row], kReplacements[row]);
  }
}

bool CDAPAcc::CollectTransferredFiles() {
  transfer_.syncEnd = clock_.SecondsSince1970();
  transfer_.transferredFiles.clear();
  const std::wstring drive = GetSelectedDrive();
  if (drive.empty()) return false;

  std::vector<os::FindEntry> entries;
  if (files_.FindFiles(drive + L"\\*.*", &entries) != os::kSuccess) entries.clear();
  std::vector<std::wstring>& sources = transfer_.sourceFiles;
  for (const os::FindEntry& entry : entries) {
    const std::wstring& name = entry.name;
    const std::size_t extension = name.find(kAudioExtension);
    if (entry.IsFolder() || extension == std::wstring::npos || extension == 0) continue;

    // The album's own tags mark it whenever the file was made.
    wmp::MediaPtr media;
    if (player_ && wmp::Succeeded(player_->NewMedia(drive + L"\\" + name, &media)) && media) {
      const engine::MediaRef item(std::move(media));
      std::wstring album;
      std::wstring artist;
      item.GetAttribute(kAlbum, &album);
      item.GetAttribute(kAlbumArtist, &artist);
      if (!album.empty() && !artist.empty() && album == transfer_.albumTitle &&
          artist == transfer_.albumArtist) {
        transfer_.transferredFiles.push_back(name);
        continue;
      }
    }

    const std::int64_t created = LocalSecondsOfFileTime(clock_, entry.creationTime);
    if (created < transfer_.syncStart || created > transfer_.syncEnd) continue;
    auto source = std::find(sources.begin(), sources.end(), name);
    if (source == sources.end()) {
      // The engine may have shortened the name: "01 Song.wma" for
      // "01 Song (Remastered).wma".
      const std::wstring title = name.substr(0, name.rfind(L'.'));
      source = std::find_if(sources.begin(), sources.end(), [&](const std::wstring& file) {
        return file.find(title) != std::wstring::npos;
      });
    }
    if (source == sources.end()) continue;
    sources.erase(source);
    transfer_.transferredFiles.push_back(name);
  }
  return !transfer_.transferredFiles.empty();
}

std::wstring CDAPAcc::CreateTransferFolder(const std::wstring& parent, const std::wstring& name,
                                           const std::wstring& fallback) {
  if (IsOwnFolderName(name)) {
    const std::wstring path = parent + L"\\" + name;
    const os::ErrorCode error = files_.CreateFolder(path);
    if (error == os::kSuccess || error == os::kErrorAlreadyExists) return path;
  }
  if (!IsOwnFolderName(fallback)) return std::wstring();
  const std::wstring path = parent + L"\\" + fallback;
  files_.CreateFolder(path);
  return path;
}

void CDAPAcc::MoveIntoMusicFolder() {
  const std::wstring drive = GetSelectedDrive();
  if (drive.empty()) return;
  const std::wstring music = drive + kMusicFolder;
  files_.CreateFolder(music);
  std::wstring artist = transfer_.albumArtist;
  SanitizeFolderName(artist);
  const std::wstring artistPath = CreateTransferFolder(music, artist, transfer_.artistFolder);
  if (artistPath.empty()) return;
  std::wstring album = transfer_.albumTitle;
  SanitizeFolderName(album);
  const std::wstring albumPath = CreateTransferFolder(artistPath, album, transfer_.albumFolder);
  if (albumPath.empty()) return;
  for (const std::wstring& name : transfer_.transferredFiles) {
    files_.Move(drive + L"\\" + name, albumPath + L"\\" + name, true);
  }
}

void CDAPAcc::MoveOutOfMusicFolder() {
  const std::wstring drive = GetSelectedDrive();
  if (drive.empty()) return;
  // Empty or dot names would point at Music or the root itself.
  if (!IsOwnFolderName(transfer_.albumArtist) || !IsOwnFolderName(transfer_.albumTitle)) return;
  const std::wstring music = drive + kMusicFolder;
  const std::wstring artistPath = music + L"\\" + transfer_.albumArtist;
  const std::wstring albumPath = artistPath + L"\\" + transfer_.albumTitle;
  std::vector<os::FindEntry> entries;
  if (files_.FindFiles(albumPath + L"\\*.*", &entries) == os::kSuccess) {
    for (const os::FindEntry& entry : entries) {
      if (entry.IsDotEntry() || entry.IsFolder()) continue;
      files_.Move(albumPath + L"\\" + entry.name, drive + L"\\" + entry.name, true);
    }
  }
  files_.RemoveFolder(albumPath);
  files_.RemoveFolder(artistPath);
  files_.RemoveFolder(music);
}

}  // namespace device
