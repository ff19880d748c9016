#include "fakes/fake_cdrom.h"

#include <iconv.h>

#include <algorithm>
#include <cstring>

#include "mediaengine/disc/cd_text.h"
#include "os/text_encoding.h"

namespace fakes {
namespace {

constexpr std::uint32_t kSector = 2352;

void PutMsf(std::uint32_t lba, std::uint8_t* out) {
  const std::uint32_t address = lba + 150;
  out[0] = 0;
  out[1] = static_cast<std::uint8_t>(address / 4500);
  out[2] = static_cast<std::uint8_t>(address / 75 % 60);
  out[3] = static_cast<std::uint8_t>(address % 75);
}

class FakeCdromDevice : public os::ICdromDevice {
 public:
  explicit FakeCdromDevice(std::shared_ptr<FakeCdromDevices::Drive> drive)
      : drive_(std::move(drive)) {}

  os::ErrorCode ReadToc(std::vector<std::uint8_t>* toc) override {
    std::lock_guard<std::mutex> lock(drive_->mutex);
    if (!drive_->present) return os::kErrorNotReady;
    const FakeCdDisc& disc = drive_->disc;
    toc->assign(4, 0);
    for (std::size_t i = 0; i <= disc.tracks.size(); ++i) {
      const bool leadOut = i == disc.tracks.size();
      std::uint8_t entry[8] = {};
      // Adr 1 above, Control below (0x04: data).
      entry[1] = static_cast<std::uint8_t>(0x10 | (leadOut || !disc.tracks[i].data ? 0x00 : 0x04));
      entry[2] = static_cast<std::uint8_t>(leadOut ? 0xAA : disc.tracks[i].number);
      PutMsf(leadOut ? disc.leadOutLba : disc.tracks[i].startLba, entry + 4);
      toc->insert(toc->end(), entry, entry + 8);
    }
    const std::size_t length = toc->size() - 2;
    (*toc)[0] = static_cast<std::uint8_t>(length >> 8);
    (*toc)[1] = static_cast<std::uint8_t>(length);
    (*toc)[2] = static_cast<std::uint8_t>(disc.tracks.front().number);
    (*toc)[3] = static_cast<std::uint8_t>(disc.tracks.back().number);
    return os::kSuccess;
  }

  os::ErrorCode ReadCdText(std::vector<std::uint8_t>* data) override {
    std::lock_guard<std::mutex> lock(drive_->mutex);
    if (!drive_->present) return os::kErrorNotReady;
    if (drive_->disc.cdText.empty()) return os::kErrorNotSupported;
    *data = drive_->disc.cdText;
    return os::kSuccess;
  }

  os::ErrorCode ReadAudio(std::uint32_t lba, std::uint32_t sectors, std::uint8_t* out) override {
    if (sectors == 0 || sectors > os::kMaxAudioSectorsPerRead) return os::kErrorInvalidParameter;
    std::lock_guard<std::mutex> lock(drive_->mutex);
    if (!drive_->present) return os::kErrorNotReady;
    const std::string& pcm = drive_->disc.pcm;
    if ((static_cast<std::uint64_t>(lba) + sectors) * kSector > pcm.size()) {
      return os::kErrorInvalidParameter;
    }
    for (std::uint32_t s = 0; s < sectors; ++s) {
      auto fault = drive_->faults.find(lba + s);
      if (fault == drive_->faults.end()) continue;
      FakeCdromDevices::Fault& f = fault->second;
      const int read = ++f.reads;
      if (f.kind == SectorFault::kDiscGone) {
        drive_->present = false;
        return os::kErrorNotReady;
      }
      if (f.kind == SectorFault::kReadError && (f.count < 0 || read <= f.count)) {
        return os::kErrorCrc;
      }
    }
    std::memcpy(out, pcm.data() + static_cast<std::size_t>(lba) * kSector, sectors * kSector);
    for (std::uint32_t s = 0; s < sectors; ++s) {
      auto fault = drive_->faults.find(lba + s);
      if (fault == drive_->faults.end()) continue;
      const FakeCdromDevices::Fault& f = fault->second;
      const bool spoil = f.kind == SectorFault::kNeverAgrees ||
                         (f.kind == SectorFault::kFlapping && f.reads % 2 == 0);
      // Bytes of this read alone: the read count makes each one differ.
      if (spoil) out[s * kSector + 100] ^= static_cast<std::uint8_t>(f.reads * 37 + 1);
      if (spoil) out[s * kSector + 101] ^= static_cast<std::uint8_t>(f.reads >> 8 | 0x80);
    }
    drive_->sectorsRead += sectors;
    return os::kSuccess;
  }

  os::ErrorCode CheckMedium() override {
    std::lock_guard<std::mutex> lock(drive_->mutex);
    if (!drive_->present) return os::kErrorNotReady;
    if (drive_->changed) {
      drive_->changed = false;
      return os::kErrorMediaChanged;
    }
    return os::kSuccess;
  }

  os::ErrorCode Eject() override {
    std::lock_guard<std::mutex> lock(drive_->mutex);
    ++drive_->ejects;
    drive_->present = false;
    return os::kSuccess;
  }

 private:
  std::shared_ptr<FakeCdromDevices::Drive> drive_;
};

// Packs of one type: the strings one after the other, each ended by a NUL
// (two for double-byte text), 12 bytes a pack.
void AddPacks(std::uint8_t type, const std::vector<std::string>& texts, bool doubleByte,
              int* sequence, std::vector<std::uint8_t>* out) {
  const std::string end(doubleByte ? 2 : 1, '\0');
  std::string all;
  std::vector<std::pair<std::size_t, int>> starts;  // byte where each track's text begins
  for (std::size_t track = 0; track < texts.size(); ++track) {
    starts.emplace_back(all.size(), static_cast<int>(track));
    all += texts[track] + end;
  }
  if (all.empty()) return;
  while (all.size() % 12) all += '\0';
  for (std::size_t at = 0; at < all.size(); at += 12) {
    // The track whose text is running at the pack's first byte.
    std::size_t which = 0;
    while (which + 1 < starts.size() && starts[which + 1].first <= at) ++which;
    const std::size_t position = std::min<std::size_t>((at - starts[which].first) / end.size(), 15);
    std::uint8_t pack[18] = {};
    pack[0] = type;
    pack[1] = static_cast<std::uint8_t>(starts[which].second);
    pack[2] = static_cast<std::uint8_t>((*sequence)++);
    pack[3] = static_cast<std::uint8_t>(position | (doubleByte ? 0x80 : 0));
    std::memcpy(pack + 4, all.data() + at, 12);
    const std::uint16_t crc = mediaengine::CdTextPackCrc(pack);
    pack[16] = static_cast<std::uint8_t>(crc >> 8);
    pack[17] = static_cast<std::uint8_t>(crc);
    out->insert(out->end(), pack, pack + 18);
  }
}

}  // namespace

FakeCdDisc AudioDisc(const std::vector<std::string>& trackPcm) {
  FakeCdDisc disc;
  std::uint32_t lba = 0;
  for (std::size_t i = 0; i < trackPcm.size(); ++i) {
    disc.tracks.push_back({static_cast<int>(i) + 1, false, lba});
    lba += static_cast<std::uint32_t>(trackPcm[i].size() / kSector);
    disc.pcm += trackPcm[i];
  }
  disc.leadOutLba = lba;
  return disc;
}

std::vector<std::uint8_t> CdTextData(const std::vector<std::string>& titles,
                                     const std::vector<std::string>& performers,
                                     std::uint8_t characterCode) {
  const bool doubleByte = characterCode == 0x80;
  std::vector<std::uint8_t> data(4, 0);
  int sequence = 0;
  AddPacks(0x80, titles, doubleByte, &sequence, &data);
  AddPacks(0x81, performers, doubleByte, &sequence, &data);
  // The size information: character code, first and last track.
  std::string info(36, '\0');
  info[0] = static_cast<char>(characterCode);
  info[1] = 1;
  info[2] = static_cast<char>(std::max(titles.size(), performers.size()) - 1);
  for (int i = 0; i < 3; ++i) {
    std::uint8_t pack[18] = {0x8F, static_cast<std::uint8_t>(i),
                             static_cast<std::uint8_t>(sequence++), 0};
    std::memcpy(pack + 4, info.data() + 12 * i, 12);
    const std::uint16_t crc = mediaengine::CdTextPackCrc(pack);
    pack[16] = static_cast<std::uint8_t>(crc >> 8);
    pack[17] = static_cast<std::uint8_t>(crc);
    data.insert(data.end(), pack, pack + 18);
  }
  const std::size_t length = data.size() - 2;
  data[0] = static_cast<std::uint8_t>(length >> 8);
  data[1] = static_cast<std::uint8_t>(length);
  return data;
}

void FakeCdromDevices::Insert(wchar_t letter, FakeCdDisc disc) {
  auto& drive = drives_[letter];
  if (!drive) drive = std::make_shared<Drive>();
  std::lock_guard<std::mutex> lock(drive->mutex);
  drive->disc = std::move(disc);
  drive->faults.clear();
  drive->present = true;
  drive->changed = true;
}

void FakeCdromDevices::Remove(wchar_t letter) {
  auto found = drives_.find(letter);
  if (found == drives_.end()) return;
  std::lock_guard<std::mutex> lock(found->second->mutex);
  found->second->present = false;
}

void FakeCdromDevices::AddFault(wchar_t letter, std::uint32_t lba, SectorFault fault, int count) {
  auto& drive = drives_.at(letter);
  std::lock_guard<std::mutex> lock(drive->mutex);
  drive->faults[lba] = Fault{fault, count};
}

void FakeCdromDevices::Unplug(wchar_t letter) {
  auto& drive = drives_[letter];
  if (!drive) drive = std::make_shared<Drive>();
  drive->plugged = false;
}

int FakeCdromDevices::Ejects(wchar_t letter) const {
  auto found = drives_.find(letter);
  return found == drives_.end() ? 0 : found->second->ejects;
}

std::uint64_t FakeCdromDevices::SectorsRead(wchar_t letter) const {
  auto found = drives_.find(letter);
  return found == drives_.end() ? 0 : found->second->sectorsRead;
}

os::ErrorCode FakeCdromDevices::Open(wchar_t letter, std::unique_ptr<os::ICdromDevice>* device) {
  auto found = drives_.find(letter);
  if (found == drives_.end() || !found->second->plugged) return os::kErrorFileNotFound;
  *device = std::make_unique<FakeCdromDevice>(found->second);
  return os::kSuccess;
}

std::wstring FakeCdromDevices::WideFromMsJis(const std::string& bytes) {
  iconv_t converter = iconv_open("UTF-8", "CP932");
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::wstring();
  std::string in = bytes, out(bytes.size() * 3 + 4, '\0');
  char* from = in.data();
  char* to = out.data();
  std::size_t left = in.size(), room = out.size();
  const std::size_t done = iconv(converter, &from, &left, &to, &room);
  iconv_close(converter);
  if (done == static_cast<std::size_t>(-1)) return std::wstring();
  out.resize(out.size() - room);
  return os::WideFromUtf8(out);
}

}  // namespace fakes
