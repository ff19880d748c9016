#include "mediaengine/disc/drive_disc.h"

#include "mediaengine/disc/careful_reader.h"
#include "mediaengine/disc/cd_text.h"
#include "mediaengine/disc/cd_toc.h"
#include "os/drives.h"
#include "os/text_encoding.h"

namespace mediaengine {

DriveDisc::DriveDisc(Key, os::ICdromDevices& devices, wchar_t letter)
    : devices_(&devices), letter_(letter) {
  root_ = os::DriveRoot(letter);
}

std::shared_ptr<const DriveDisc> DriveDisc::Open(os::ICdromDevices& devices, wchar_t letter,
                                                 const std::shared_ptr<const DiscSource>& shown,
                                                 DiscProblem* problem) {
  *problem = DiscProblem();
  const std::wstring drive = os::DriveRoot(letter);
  std::unique_ptr<os::ICdromDevice> device;
  os::ErrorCode error = devices.Open(letter, &device);
  if (error != os::kSuccess) {
    return RefuseDisc(problem, DiscStatus::NoMedium, drive, error, L"the drive cannot be opened");
  }
  error = device->CheckMedium();
  // Once after a change the drive says so; the new disc is there.
  if (error == os::kErrorMediaChanged) error = device->CheckMedium();
  if (error != os::kSuccess) {
    return RefuseDisc(problem, DiscStatus::NoMedium, drive, error, L"the drive holds no disc");
  }
  std::vector<std::uint8_t> rawToc;
  error = device->ReadToc(&rawToc);
  if (error != os::kSuccess) {
    return RefuseDisc(problem, DiscStatus::NoMedium, drive, error,
                      L"the table of contents cannot be read");
  }
  auto same = std::dynamic_pointer_cast<const DriveDisc>(shown);
  if (same && same->letter_ == letter && same->rawToc_ == rawToc) return same;

  CdToc toc;
  std::string reason;
  if (!ParseCdromToc(rawToc, &toc, &reason)) {
    return RefuseDisc(problem, DiscStatus::NoAudio, drive, os::kSuccess,
                      L"the table of contents is not sound: " + os::WideFromUtf8(reason));
  }
  const AudioTracks audio = AudioTracksOf(toc);
  if (audio.starts.empty()) {
    return RefuseDisc(problem, DiscStatus::NoAudio, drive, os::kSuccess,
                      L"the disc has no audio track");
  }
  auto disc = std::make_shared<DriveDisc>(Key(), devices, letter);
  disc->rawToc_ = std::move(rawToc);
  disc->audioStart_ = audio.starts.front();
  disc->audioEnd_ = audio.starts.back() + audio.lengths.back();

  // No CD-TEXT, or none that reads, leaves the placeholders.
  std::vector<std::uint8_t> textData;
  CdText text;
  if (device->ReadCdText(&textData) == os::kSuccess) {
    text = ParseCdText(textData, [&devices](const std::string& bytes) {
      return devices.WideFromMsJis(bytes);
    });
  }
  disc->badPacks_ = text.badPacks;
  disc->title_ = text.titles[0];
  disc->performer_ = text.performers[0];
  std::vector<std::wstring> titles, performers;
  for (int number : audio.discNumbers) {
    titles.push_back(text.titles[static_cast<std::size_t>(number)]);
    performers.push_back(text.performers[static_cast<std::size_t>(number)]);
  }
  disc->SetTracks(audio.starts, audio.lengths, titles, performers);
  return disc;
}

std::unique_ptr<TrackReader> DriveDisc::OpenTrack(int number, DiscProblem* problem) const {
  *problem = DiscProblem();
  const DiscTrack* track = Track(number);
  if (!track) {
    return RefuseDisc(problem, DiscStatus::ReadError, root_, os::kErrorInvalidParameter,
                      L"the disc has no track " + std::to_wstring(number));
  }
  std::unique_ptr<os::ICdromDevice> device;
  const os::ErrorCode error = devices_->Open(letter_, &device);
  if (error != os::kSuccess) {
    return RefuseDisc(problem, DiscStatus::NoMedium, root_, error, L"the drive cannot be opened");
  }
  CarefulExtent extent;
  extent.trackNumber = number;
  extent.startLba = track->startLba;
  extent.sectors = track->lengthSectors;
  extent.audioStart = audioStart_;
  extent.audioEnd = audioEnd_;
  return std::make_unique<CarefulTrackReader>(std::move(device), root_, extent);
}

os::ErrorCode DriveDisc::Eject() const {
  std::unique_ptr<os::ICdromDevice> device;
  const os::ErrorCode error = devices_->Open(letter_, &device);
  return error != os::kSuccess ? error : device->Eject();
}

}  // namespace mediaengine
