// Files on a player drive after a transfer: which ones the transfer brought,
// and the move into (or out of) Music\artist\album.
#include "device/dap_acc.h"

#include <algorithm>

#include "device/file_time.h"
#include "engine/model/placeholders.h"
#include "os/device_names.h"
#include "os/text_encoding.h"

namespace device {
namespace {

const wchar_t kAudioExtension[] = L".wma";
const wchar_t kMusicFolder[] = L"\\Music";
using namespace wmp::attr;
// What the engine calls an album without a name, in its folders too.
// Far more files of one name than a player holds.
constexpr int kMaxNumber = 9999;

}  // namespace

void CDAPAcc::SanitizeFolderName(std::wstring& text) { os::ReplaceFolderCharacters(text); }

os::TrackFacts CDAPAcc::TrackFactsOf(const std::wstring& path) {
  os::TrackFacts facts;
  wmp::MediaPtr media;
  if (!player_ || wmp::Failed(player_->NewMedia(path, &media)) || !media) return facts;
  const engine::MediaRef item(std::move(media));
  item.GetAttribute(kTitle, &facts.title);
  item.GetAttribute(kAuthor, &facts.artist);
  item.GetAttribute(kAlbumArtist, &facts.albumArtist);
  item.GetAttribute(kAlbum, &facts.album);
  item.GetAttribute(kTrackNumber, &facts.trackNumber);
  item.GetDuration(&facts.seconds);
  return facts;
}

bool CDAPAcc::MoveKeepingOthers(const std::wstring& from, const std::wstring& folder,
                                const std::wstring& name) {
  bool knowMoved = false;
  os::TrackFacts moved;
  for (int number = 1; number <= kMaxNumber; ++number) {
    const std::wstring file = os::DeviceFileName(folder, name, number);
    if (file.empty()) return false;
    const std::wstring to = folder + file;
    if (os::AsciiLower(to) == os::AsciiLower(from)) return true;
    const std::uint32_t attributes = files_.GetAttributes(to);
    if (attributes == os::kInvalidAttributes) return files_.Move(from, to, false) == os::kSuccess;
    if (attributes & os::kAttributeDirectory) continue;
    // Only the same track again takes the place of a file there; any other
    // file keeps its name and the moved one takes the next free one.
    if (!knowMoved) moved = TrackFactsOf(from);
    knowMoved = true;
    if (os::IsSameTrack(moved, TrackFactsOf(to))) return files_.Move(from, to, true) == os::kSuccess;
  }
  return false;
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
                                           const std::wstring& fallback, bool* created) {
  *created = false;
  if (!name.empty()) {
    const std::wstring path = parent + L"\\" + name;
    const os::ErrorCode error = files_.CreateFolder(path);
    *created = error == os::kSuccess;
    if (error == os::kSuccess || error == os::kErrorAlreadyExists) return path;
  }
  const std::wstring safeFallback = os::DeviceFolderName(fallback);
  if (safeFallback.empty()) return std::wstring();
  const std::wstring path = parent + L"\\" + safeFallback;
  *created = files_.CreateFolder(path) == os::kSuccess;
  return path;
}

void CDAPAcc::MoveIntoMusicFolder() {
  const std::wstring drive = GetSelectedDrive();
  if (drive.empty()) return;
  const std::wstring music = drive + kMusicFolder;
  // Folders this step made; they go again when no file came into them.
  std::vector<std::wstring> made;
  if (files_.CreateFolder(music) == os::kSuccess) made.push_back(music);
  bool created = false;
  const std::wstring artistPath =
      CreateTransferFolder(music, os::DeviceFolderName(transfer_.albumArtist),
                           transfer_.artistFolder, &created);
  if (created) made.push_back(artistPath);
  std::wstring albumPath;
  if (!artistPath.empty()) {
    albumPath = CreateTransferFolder(artistPath, os::DeviceFolderName(transfer_.albumTitle),
                                     transfer_.albumFolder, &created);
    if (created) made.push_back(albumPath);
  }
  bool anyMoved = false;
  if (!albumPath.empty()) {
    for (const std::wstring& name : transfer_.transferredFiles) {
      if (MoveKeepingOthers(drive + L"\\" + name, albumPath + L"\\", name)) anyMoved = true;
    }
  }
  if (anyMoved) return;
  for (auto folder = made.rbegin(); folder != made.rend(); ++folder) files_.RemoveFolder(*folder);
}

void CDAPAcc::MoveOutOfMusicFolder() {
  const std::wstring drive = GetSelectedDrive();
  if (drive.empty()) return;
  // The folders the engine synchronised into, named by the same rule.
  const std::wstring music = drive + kMusicFolder;
  const std::wstring artistPath = music + L"\\" + os::DeviceFolderNameOrStandIn(transfer_.albumArtist);
  const std::wstring album =
      transfer_.albumTitle.empty() ? std::wstring(wmp::kUnknownAlbum) : transfer_.albumTitle;
  const std::wstring albumPath = artistPath + L"\\" + os::DeviceFolderNameOrStandIn(album);
  std::vector<os::FindEntry> entries;
  if (files_.FindFiles(albumPath + L"\\*.*", &entries) == os::kSuccess) {
    for (const os::FindEntry& entry : entries) {
      if (entry.IsDotEntry() || entry.IsFolder()) continue;
      MoveKeepingOthers(albumPath + L"\\" + entry.name, drive + L"\\", entry.name);
    }
  }
  files_.RemoveFolder(albumPath);
  files_.RemoveFolder(artistPath);
  files_.RemoveFolder(music);
}

}  // namespace device
