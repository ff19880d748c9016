// Album and track information of the disc, and the library items ripped
// from it.
#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "cdrom/cdrom_acc.h"
#include "common/text_format.h"
#include "engine/model/placeholders.h"
#include "os/text_encoding.h"
#include "resources/resource.h"

namespace cdrom {
namespace {

using namespace wmp::attr;

constexpr std::uint32_t kListBackColour = 0x3E3E3E;
constexpr std::uint32_t kListTextColour = 0xFFFFFF;
// Kilobytes of compressed audio per second of music.
constexpr double kFactor128k = 16.0;
constexpr double kFactorOther = 8.0;

const wchar_t kNoAlbumShort[] = L"ｱﾙﾊﾞﾑ";
// Half-width so the player's small display shows it whole.
const wchar_t kNoArtistShort[] = L"ｱｰﾃｨｽﾄ情報なし";

// An album name that is safe as a folder name on the player.
std::wstring CleanAlbumName(std::wstring name) {
  os::ReplaceAll(name, L"/", L"-");
  os::ReplaceAll(name, L":", L"-");
  os::ReplaceAll(name, wmp::kUnknownAlbum, kNoAlbumShort);
  return name;
}

// Zero-padded track number, as wide as the largest number of the disc.
std::wstring NumberText(int number, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*d", digits, number);
  return os::WideFromUtf8(text);
}

// Replaces a missing or placeholder artist of `attribute` on `item`.
bool FixArtist(const engine::MediaRef& item, const wchar_t* attribute) {
  std::wstring value;
  if (wmp::Failed(item.GetAttribute(attribute, &value))) return false;
  if (!value.empty() && value != wmp::kUnknownArtist) return true;
  return wmp::Succeeded(item.SetAttribute(attribute, kNoArtistShort));
}

// Reads one tag of a media item; the name goes through the item's name.
bool ReadTag(const engine::MediaRef& item, const wchar_t* tag, std::wstring* value) {
  if (tag == nullptr) return item && wmp::Succeeded(item.Get()->Name(value));
  return wmp::Succeeded(item.GetAttribute(tag, value));
}

bool WriteTag(wmp::IMedia* item, const wchar_t* tag, const std::wstring& value) {
  if (item == nullptr) return false;
  if (tag == nullptr) return wmp::Succeeded(item->SetName(value));
  return wmp::Succeeded(item->SetItemInfo(tag, value));
}

}  // namespace

void CCDROMAcc::FillTrackList(std::uint32_t bitRate, bool resetChecks) {
  if (trackList_ == nullptr) return;
  const double factor = bitRate == 128000 ? kFactor128k : kFactorOther;
  trackList_->SnapshotChecks(resetChecks);
  trackList_->SetInteractive(false);
  trackList_->RemoveAllRows();
  listFilled_ = false;
  trackSizes_.fill(0.0);
  double total = 0.0;

  for (int i = 0; i < trackCount_ && i < kMaxTracks; ++i) {
    engine::MediaRef item;
    if (wmp::Failed(discPlaylist_.GetItem(i, &item))) break;
    std::wstring title;
    item.GetAttribute(kTitle, &title);
    const int row = trackList_->AddRow(title);
    // Rows stand for track numbers: a row that cannot be added would shift
    // every later track onto the wrong row.
    if (row < 0) break;
    listFilled_ = true;

    std::wstring artist;
    item.GetAttribute(kArtist, &artist);
    trackList_->SetCell(row, 1, artist);

    double seconds = 0.0;
    const bool haveDuration = wmp::Succeeded(item.GetDuration(&seconds));
    if (!haveDuration || !(seconds >= 0.0)) seconds = 0.0;
    std::wstring time;
    if (context_.IsOlderEngine()) {
      // Whole seconds, truncated; a nonsense length cannot overflow the count.
      const double whole = std::min(seconds, static_cast<double>(UINT32_MAX));
      if (haveDuration) time = common::TimeText(static_cast<std::uint32_t>(whole), 0);
    } else {
      time = item.GetDurationText();
    }
    const double size = factor * seconds / 1024.0;
    total += size;
    trackList_->SetCell(row, 2, time);
    trackSizes_[static_cast<std::size_t>(i)] = size;
    trackList_->SetRowCheck(row, resetChecks || trackList_->IsTrackChecked(i + 1));
  }

  trackList_->SetBackColour(ui::CReportCtrl::kAllRows, ui::CReportCtrl::kAllColumns,
                            kListBackColour, true);
  trackList_->SetTextColour(ui::CReportCtrl::kAllRows, ui::CReportCtrl::kAllColumns,
                            kListTextColour, true);
  totalSize_ = total;
  if (sizeLabel_ != nullptr) sizeLabel_->ShowMegabytes(totalSize_);
  if (totalSize_ != 0.0) trackList_->SelectAndFocusRow(0);
}

double CCDROMAcc::GetTrackSize(int position) const {
  if (position < 0 || position >= kMaxTracks) return 0.0;
  return trackSizes_[static_cast<std::size_t>(position)];
}

void CCDROMAcc::ShowAlbumName() {
  if (albumLabel_ == nullptr) return;
  const std::wstring album = GetAlbumName();
  // No disc playlist at all: the drive has gone, which is no disc either.
  if (!discPlaylist_ || album == wmp::kNoDiscPlaylistName) {
    albumLabel_->SetLabelColour(kNoDiscColour);
    albumLabel_->SetTextIfChanged(Strings().Load(IDS_NO_AUDIO_CD));
  } else {
    albumLabel_->ResetLabelColour();
    albumLabel_->SetTextIfChanged(album);
  }
}

std::wstring CCDROMAcc::GetAlbumName() const { return discPlaylist_.GetName(); }

bool CCDROMAcc::SetAlbumName(const std::wstring& name) {
  if (!discPlaylist_) return false;
  return discPlaylist_.SetName(name);
}

bool CCDROMAcc::SetTrackTitle(int trackNumber, const std::wstring& title) {
  engine::MediaRef item;
  if (wmp::Failed(discPlaylist_.GetItem(trackNumber - 1, &item))) return false;
  return item.SetName(title);
}

bool CCDROMAcc::SetTrackArtist(int trackNumber, const std::wstring& artist) {
  engine::MediaRef item;
  if (wmp::Failed(discPlaylist_.GetItem(trackNumber - 1, &item))) return false;
  return wmp::Succeeded(item.SetAttribute(kArtist, artist));
}

bool CCDROMAcc::IsDiscItem(wmp::IPlaylist* playlist) const {
  return discPlaylist_.IsIdentical(playlist);
}

engine::MediaRef CCDROMAcc::GetDiscItem(long position) const {
  engine::MediaRef item;
  discPlaylist_.GetItem(position, &item);
  return item;
}

wmp::PlaylistPtr CCDROMAcc::FindRippedTracks(bool checkedOnly) {
  // A playlist of an earlier disc must never stand in for this one.
  libraryPlaylist_.Reset();
  wmp::IMediaCollection* library = context_.MediaCollection();
  std::wstring toc;
  if (wmp::Failed(discPlaylist_.GetAttribute(L"TOC", &toc))) return nullptr;
  wmp::PlaylistPtr found;
  if (!toc.empty() && library != nullptr &&
      wmp::Failed(library->GetByAttribute(L"TOC", toc, &found))) {
    found.reset();
  }
  if (!found) {
    // Items ripped without the disc's table of contents are found by album.
    const std::wstring album = discPlaylist_.GetName();
    if (album.empty() || library == nullptr ||
        wmp::Failed(library->GetByAlbum(album, &found)) || !found) {
      return nullptr;
    }
  }
  libraryPlaylist_.Reset(std::move(found));

  if (checkedOnly && trackList_ != nullptr) {
    // By position, for items that do not tell their track number; the
    // others are judged by their number below, so that items out of disc
    // order never cost a checked track its place.
    for (long n = libraryPlaylist_.GetCount() - 1; n >= 0; --n) {
      engine::MediaRef item;
      if (wmp::Failed(libraryPlaylist_.GetItem(n, &item))) continue;
      if (item.GetTrackNumber() > 0 || trackList_->IsTrackChecked(static_cast<int>(n) + 1)) {
        continue;
      }
      if (wmp::Failed(libraryPlaylist_.RemoveItem(item.Get()))) {
        libraryPlaylist_.RemoveItem(item.Get());
      }
    }
    for (long n = libraryPlaylist_.GetCount() - 1; n >= 0; --n) {
      engine::MediaRef item;
      if (wmp::Failed(libraryPlaylist_.GetItem(n, &item))) continue;
      const std::int32_t track = item.GetTrackNumber();
      if (track > 0 && !trackList_->IsTrackChecked(track)) libraryPlaylist_.RemoveItem(item.Get());
    }
  }
  return libraryPlaylist_.Shared();
}

int CCDROMAcc::GetRippedCount() const { return static_cast<int>(libraryPlaylist_.GetCount()); }

bool CCDROMAcc::PrepareDiscTags(int model) {
  if (trackCount_ < 1) return false;
  const bool fixes = model == 1 || model == 2;
  const int digits = trackCount_ >= 10 ? 2 : 1;
  const std::wstring cleanAlbum = fixes ? CleanAlbumName(GetAlbumName()) : std::wstring();

  for (int i = 0; i < trackCount_; ++i) {
    engine::MediaRef item;
    if (wmp::Failed(discPlaylist_.GetItem(i, &item))) return false;
    if (fixes) {
      std::wstring album;
      if (wmp::Failed(item.GetAttribute(kAlbum, &album))) return false;
      if (album.empty() || album.find(wmp::kUnknownAlbum) != std::wstring::npos) {
        if (wmp::Failed(item.SetAttribute(kAlbumTitle, cleanAlbum))) return false;
      }
    }
    if (!FixArtist(item, kAlbumArtist)) return false;
    if (fixes) {
      if (!FixArtist(item, kArtist)) return false;
      std::wstring name;
      if (!ReadTag(item, nullptr, &name)) return false;
      const std::wstring number = NumberText(i + 1, digits);
      if (name.compare(0, number.size(), number) != 0 && !item.SetName(number + L" " + name)) {
        return false;
      }
    }
  }
  return true;
}

bool CCDROMAcc::CorrectLibraryTags() {
  FindRippedTracks(false);
  wmp::IPlayer* player = context_.Player();
  wmp::IMediaCollection* library = context_.MediaCollection();
  if (!libraryPlaylist_ || player == nullptr || library == nullptr) return false;

  // The name first, then the tags, as the ripped file carries them.
  const wchar_t* const tags[] = {nullptr, kArtist, kAlbumArtist, kAlbumTitle};
  for (long i = 0; i < libraryPlaylist_.GetCount(); ++i) {
    engine::MediaRef ripped;
    if (wmp::Failed(libraryPlaylist_.GetItem(i, &ripped))) continue;
    const std::int32_t track = ripped.GetTrackNumber();
    if (track <= 0) continue;
    const std::wstring url = ripped.GetSourceUrl();
    wmp::MediaPtr fresh;
    if (wmp::Failed(player->NewMedia(url, &fresh)) || !fresh) continue;
    engine::MediaRef disc;
    if (wmp::Failed(discPlaylist_.GetItem(track - 1, &disc))) continue;

    bool copied = false;
    for (const wchar_t* tag : tags) {
      std::wstring want;
      std::wstring have;
      if (!ReadTag(disc, tag, &want) || !ReadTag(ripped, tag, &have) || want == have) continue;
      WriteTag(ripped.Get(), tag, want);
      WriteTag(fresh.get(), tag, want);
      copied = true;
    }
    if (copied) {
      // The library reads the file anew once the file's own object is gone.
      fresh.reset();
      wmp::MediaPtr added;
      library->Add(url, &added);
    }
  }
  return true;
}

float CCDROMAcc::GetFreeSpaceMB(const std::wstring& path) {
  if (path.empty()) return 0.0f;
  const std::size_t colon = path.find(L':');
  // The root with its backslash: a bare "C:" would name the current folder.
  const std::wstring root =
      colon != std::wstring::npos && colon >= 1 ? path.substr(colon - 1, 2) + L"\\" : L":";
  os::DiskClusters clusters;
  if (files_.GetFreeClusters(root, &clusters) != os::kSuccess) return 0.0f;
  return static_cast<float>(static_cast<double>(clusters.freeClusters) / 1024.0 *
                            clusters.sectorsPerCluster * clusters.bytesPerSector / 1024.0);
}

}  // namespace cdrom
