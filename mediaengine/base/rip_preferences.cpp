#include "mediaengine/base/rip_preferences.h"

#include <vector>

#include "os/reg_key.h"
#include "os/text_encoding.h"

namespace mediaengine {
namespace {

constexpr wchar_t kPreferencesKey[] = L"Software\\Microsoft\\MediaPlayer\\Preferences";
constexpr wchar_t kDefaultDetail[] = L"*TrackNumber;*SongTitle;Artist;Album;Genre;Bitrate";

bool ReadText(const os::RegKey& key, const wchar_t* name, std::wstring* text) {
  os::RegType type = os::RegType::None;
  std::vector<std::uint8_t> bytes;
  if (key.QueryBytes(name, &type, &bytes) != os::kSuccess) return false;
  if (type != os::RegType::String && type != os::RegType::ExpandString) return false;
  *text = os::TextOfRegStringBytes(bytes);
  return true;
}

bool ReadNumber(const os::RegKey& key, const wchar_t* name, std::uint32_t* number) {
  std::int32_t value = 0;
  os::RegType type = os::RegType::None;
  if (key.QueryDwordBytes(name, &value, &type) != os::kSuccess) return false;
  if (type != os::RegType::Dword) return false;
  *number = static_cast<std::uint32_t>(value);
  return true;
}

}  // namespace

RipPreferences ReadRipPreferences(os::IRegistry& registry, const std::wstring& musicFolder) {
  RipPreferences preferences;
  preferences.recordPath = musicFolder;
  preferences.fileDetail = kDefaultDetail;
  preferences.fileSeparator = L" ";
  preferences.wmaRate = 64000;
  os::RegKey key = os::RegKey::Open(registry, os::Hive::CurrentUser, kPreferencesKey,
                                    os::KeyAccess::Read);
  if (!key) return preferences;
  std::wstring text;
  if (ReadText(key, L"CDRecordPath", &text) && !text.empty()) preferences.recordPath = text;
  if (ReadText(key, L"CDRecordFileDetail", &text) && !text.empty()) {
    preferences.fileDetail = text;
  }
  if (ReadText(key, L"CDRecordFileSeparator", &text)) preferences.fileSeparator = text;
  ReadNumber(key, L"WMARecordRate", &preferences.wmaRate);
  return preferences;
}

std::uint32_t RateClassOf(std::uint32_t wmaRate) { return wmaRate >= 128000 ? 128000 : 64000; }

std::wstring SafeFileName(const std::wstring& name) {
  std::wstring safe;
  for (wchar_t c : name) {
    const bool forbidden = c < 0x20 || c == L'\\' || c == L'/' || c == L':' || c == L'*' ||
                           c == L'?' || c == L'"' || c == L'<' || c == L'>' || c == L'|';
    safe.push_back(forbidden ? L'_' : c);
  }
  while (!safe.empty() && (safe.back() == L'.' || safe.back() == L' ')) safe.pop_back();
  return safe.empty() ? L"_" : safe;
}

std::wstring RipFileName(const std::wstring& fileDetail, const std::wstring& separator,
                         const TrackNaming& track) {
  std::wstring name;
  std::size_t start = 0;
  while (start <= fileDetail.size()) {
    std::size_t end = fileDetail.find(L';', start);
    if (end == std::wstring::npos) end = fileDetail.size();
    const std::wstring field = fileDetail.substr(start, end - start);
    start = end + 1;
    if (field.size() < 2 || field[0] != L'*') continue;
    const std::wstring which = field.substr(1);
    const std::wstring* value = nullptr;
    if (which == L"TrackNumber") value = &track.trackNumber;
    else if (which == L"SongTitle") value = &track.title;
    else if (which == L"Artist") value = &track.artist;
    else if (which == L"Album") value = &track.album;
    else if (which == L"Genre") value = &track.genre;
    else if (which == L"Bitrate") value = &track.bitrate;
    if (!value || value->empty()) continue;
    if (!name.empty()) name += separator;
    name += *value;
  }
  if (name.empty()) name = track.trackNumber.empty() ? track.title : track.trackNumber;
  return SafeFileName(name) + L".wma";
}

}  // namespace mediaengine
