#include "cdrom/cdrom_acc.h"

#include <string>
#include <vector>

#include "common/text_format.h"

namespace cdrom {

namespace {

// Drives A: and B: are floppy letters and never looked at.
constexpr int kFirstDriveBit = 2;
constexpr int kLastDriveBit = 31;

bool BeginsWith(const std::wstring& text, const wchar_t* prefix) {
  return text.compare(0, std::char_traits<wchar_t>::length(prefix), prefix) == 0;
}

// The first occurrence of `part` lies after the start of `name`.
bool ContainsAfterStart(const std::wstring& name, const wchar_t* part) {
  const std::size_t at = name.find(part);
  return at != std::wstring::npos && at >= 1;
}

// An entry of a disc root that only a data or video disc has.
bool IsDataDiscMarker(const os::FindEntry& entry) {
  if (entry.IsFolder() && (BeginsWith(entry.name, L"VIDEO_TS") ||
                           BeginsWith(entry.name, L"AUDIO_TS"))) {
    return true;
  }
  return ContainsAfterStart(entry.name, L".wma") || ContainsAfterStart(entry.name, L".mp3");
}

}  // namespace

CCDROMAcc::CCDROMAcc(common::PlayerContext& context, os::IDrives& drives, os::IFileSystem& files,
                     os::IClock& clock, ui::IStatusHost& statusHost,
                     const res::IStringTable& strings)
    : CBasicDrive(L"CD-ROM Access", statusHost, strings),
      context_(context),
      drives_(drives),
      files_(files),
      clock_(clock) {
  SetState(common::kNothingFound);
}

CCDROMAcc::~CCDROMAcc() { Reset(); }

bool CCDROMAcc::Attach(ui::CMyComboBox* comboBox) {
  Reset();
  if (comboBox == nullptr) return false;
  SetComboBox(comboBox);
  return true;
}

void CCDROMAcc::Reset() {
  cdromCollection_.Reset();
  libraryPlaylist_.Reset();
  discPlaylist_.Reset();
}

bool CCDROMAcc::SetControls(ui::CReportCtrl* trackList, ui::CStaticEx* sizeLabel,
                            ui::CStaticEx* albumLabel) {
  if (trackList == nullptr || sizeLabel == nullptr || albumLabel == nullptr) return false;
  trackList_ = trackList;
  sizeLabel_ = sizeLabel;
  albumLabel_ = albumLabel;
  return true;
}

void CCDROMAcc::RefreshList(bool selectFirst, bool closeDropDown) {
  std::wstring previous;
  if (!selectFirst) {
    previous = GetSelectedDrive();
    if (previous.empty()) selectFirst = true;
  }

  std::wstring letters;
  const std::uint32_t mask = drives_.LogicalDriveMask();
  for (int bit = kFirstDriveBit; bit <= kLastDriveBit; ++bit) {
    if ((mask & (1u << bit)) == 0) continue;
    const auto letter = static_cast<wchar_t>(L'A' + bit);
    if (drives_.TypeOf(os::DriveRoot(letter)) == os::DriveType::CdRom) letters += letter;
  }

  ui::CMyComboBox* combo = ComboBox();
  if (combo != nullptr) combo->ClearItems(closeDropDown);
  if (letters.empty()) {
    if (combo != nullptr) combo->SetTextAndSelect(std::wstring(), 0);
    SetState(common::kNothingFound);
    return;
  }
  bool selected = false;
  for (std::size_t i = 0; i < letters.size() && combo != nullptr; ++i) {
    const std::wstring text = common::DriveLabel(drives_, letters[i]);
    const int index = combo->AddItem(text);
    if (index < 0 || selected) continue;
    const bool wanted = selectFirst ? i == 0 : ContainsAfterStart(text, previous.c_str());
    if (wanted) {
      combo->SetTextAndSelect(text, index);
      selected = true;
    }
  }
  SetState(common::kListed);
}

std::wstring CCDROMAcc::GetSelectedDrive() const {
  const ui::CMyComboBox* combo = ComboBox();
  if (combo == nullptr) return std::wstring();
  const std::wstring text = combo->GetText();
  const std::size_t at = text.find(L":)");
  if (at == std::wstring::npos || at < 1) return std::wstring();
  return text.substr(at - 1, 1) + L":";
}

bool CCDROMAcc::OpenDisc(bool checkContents) {
  const std::wstring drive = GetSelectedDrive();
  cdromIndex_ = -1;
  // The last disc goes first: a drive that has gone must not leave its
  // tracks and album behind, nor anything to rip.
  trackCount_ = 0;
  discPlaylist_.Reset();
  const bool wasOpened = GetState() == common::kOpened;
  if (wasOpened) SetState(common::kListed);
  if (!cdromCollection_.TakeFromPlayer(context_.Player())) return false;
  const std::int32_t index = cdromCollection_.GetDriveIndex(drive);
  engine::CdromRef cdrom;
  if (index < 0 || wmp::Failed(cdromCollection_.GetItem(index, &cdrom))) return false;
  cdromIndex_ = index;

  const bool havePlaylist = wmp::Succeeded(cdrom.GetPlaylist(&discPlaylist_));
  if (havePlaylist && (!checkContents || IsAudioOnlyDisc(drive))) {
    const long count = discPlaylist_.GetCount();
    // More items than an audio CD can hold: not a disc this tool can take.
    trackCount_ = count > kMaxTracks ? 0 : static_cast<int>(count);
  }
  if (trackCount_ <= 0) return false;
  if (checkContents || wasOpened) SetState(common::kOpened);
  return true;
}

bool CCDROMAcc::IsAudioOnlyDisc(const std::wstring& drive) {
  std::vector<os::FindEntry> entries;
  const os::ErrorCode listed = files_.FindFiles(drive + L"\\*.*", &entries);
  // A root that lists and holds nothing has no marker: Wine shows an audio
  // CD so (no TrackNN.cda files). An empty drive cannot be listed at all.
  if (listed == os::kErrorFileNotFound) return true;
  if (listed != os::kSuccess) return false;
  for (const os::FindEntry& entry : entries) {
    if (IsDataDiscMarker(entry)) return false;
  }
  return true;
}

int CCDROMAcc::GetTrackCount(bool reopen) {
  if (reopen) OpenDisc(false);
  return trackCount_;
}

bool CCDROMAcc::Eject() {
  engine::CdromRef cdrom;
  if (wmp::Failed(cdromCollection_.GetItem(cdromIndex_, &cdrom))) return false;
  return wmp::Succeeded(cdrom.Eject());
}

bool CCDROMAcc::StopRip() {
  if (context_.IsOlderEngine()) return false;
  engine::CdromRipRef rip;
  if (wmp::Failed(cdromCollection_.GetRipInterface(cdromIndex_, &rip))) return false;
  return wmp::Succeeded(rip.StopRip());
}

}  // namespace cdrom
