#include "mediaengine/disc/cd_text.h"

#include <algorithm>
#include <map>
#include <set>

namespace mediaengine {
namespace {

constexpr std::size_t kHeaderBytes = 4;
constexpr std::size_t kTextBytes = 12;
constexpr std::uint8_t kTitle = 0x80;
constexpr std::uint8_t kPerformer = 0x81;
constexpr std::uint8_t kSizeInfo = 0x8F;
constexpr std::uint8_t kMsJis = 0x80;

struct Pack {
  std::uint8_t type = 0;
  int track = 0;
  int sequence = 0;
  int position = 0;
  int block = 0;
  bool doubleByte = false;
  const std::uint8_t* text = nullptr;
};

// The raw strings of one pack type, by track number; a string whose packs
// are not all there is left out.
std::map<int, std::string> Strings(const std::vector<Pack>& packs, bool doubleByte) {
  std::map<int, std::string> strings;
  std::set<int> broken;
  const std::size_t unit = doubleByte ? 2 : 1;
  int current = -1;
  int previous = -1;
  std::string gathered;
  for (const Pack& pack : packs) {
    if (previous < 0 || pack.sequence != previous + 1) {
      if (current >= 0 && !gathered.empty()) broken.insert(current);  // its end was lost
      current = pack.track;
      gathered.clear();
      if (pack.position > 0) broken.insert(current);  // its start was lost
    }
    for (std::size_t i = 0; i + unit <= kTextBytes; i += unit) {
      const bool end = std::all_of(pack.text + i, pack.text + i + unit,
                                   [](std::uint8_t c) { return c == 0; });
      if (!end) {
        gathered.append(reinterpret_cast<const char*>(pack.text + i), unit);
        continue;
      }
      if (current >= 0 && current <= kMaxTracks && !broken.count(current)) {
        strings[current] = gathered;
      }
      gathered.clear();
      ++current;
    }
    previous = pack.sequence;
  }
  for (int track : broken) strings.erase(track);
  return strings;
}

std::wstring Latin1(const std::string& bytes) {
  std::wstring text;
  for (char c : bytes) text += static_cast<wchar_t>(static_cast<unsigned char>(c));
  return text;
}

void Fill(const std::map<int, std::string>& strings, bool doubleByte,
          const std::function<std::wstring(const std::string&)>& decode,
          std::array<std::wstring, kMaxTracks + 1>* texts) {
  const std::string repeat = doubleByte ? "\t\t" : "\t";
  for (const auto& [track, bytes] : strings) {
    if (bytes == repeat) {
      // The track before's text, when it was read.
      if (track > 0 && strings.count(track - 1)) (*texts)[track] = (*texts)[track - 1];
      continue;
    }
    (*texts)[track] = doubleByte ? decode(bytes) : Latin1(bytes);
  }
}

}  // namespace

std::uint16_t CdTextPackCrc(const std::uint8_t* pack) {
  std::uint16_t crc = 0;
  for (std::size_t i = 0; i < 16; ++i) {
    crc ^= static_cast<std::uint16_t>(pack[i] << 8);
    for (int bit = 0; bit < 8; ++bit) {
      crc = static_cast<std::uint16_t>(crc & 0x8000 ? (crc << 1) ^ 0x1021 : crc << 1);
    }
  }
  return static_cast<std::uint16_t>(~crc);
}

CdText ParseCdText(const std::vector<std::uint8_t>& data,
                   const std::function<std::wstring(const std::string&)>& decodeMsJis) {
  CdText result;
  if (data.size() < kHeaderBytes) return result;
  const std::size_t end = std::min(data.size(), (static_cast<std::size_t>(data[0]) << 8 | data[1]) + 2);
  std::vector<Pack> titles, performers;
  int characterCode = -1;
  bool anyDoubleByte = false;
  for (std::size_t at = kHeaderBytes; at + kCdTextPackBytes <= end; at += kCdTextPackBytes) {
    const std::uint8_t* bytes = &data[at];
    const std::uint16_t stored = static_cast<std::uint16_t>(bytes[16] << 8 | bytes[17]);
    if (stored != CdTextPackCrc(bytes)) {
      ++result.badPacks;
      continue;
    }
    Pack pack;
    pack.type = bytes[0];
    pack.track = bytes[1] & 0x7F;
    pack.sequence = bytes[2];
    pack.position = bytes[3] & 0x0F;
    pack.block = (bytes[3] >> 4) & 0x07;
    pack.doubleByte = (bytes[3] & 0x80) != 0;
    pack.text = bytes + 4;
    if (pack.block != 0) continue;
    if (pack.type == kSizeInfo && pack.track == 0) characterCode = pack.text[0];
    if (pack.type == kTitle) titles.push_back(pack);
    if (pack.type == kPerformer) performers.push_back(pack);
    if (pack.type == kTitle || pack.type == kPerformer) anyDoubleByte |= pack.doubleByte;
  }
  const bool doubleByte = characterCode >= 0 ? characterCode == kMsJis : anyDoubleByte;
  auto bySequence = [](const Pack& a, const Pack& b) { return a.sequence < b.sequence; };
  std::sort(titles.begin(), titles.end(), bySequence);
  std::sort(performers.begin(), performers.end(), bySequence);
  Fill(Strings(titles, doubleByte), doubleByte, decodeMsJis, &result.titles);
  Fill(Strings(performers, doubleByte), doubleByte, decodeMsJis, &result.performers);
  return result;
}

}  // namespace mediaengine
