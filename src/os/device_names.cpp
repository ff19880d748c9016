#include "os/device_names.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cwchar>
#include <vector>

#include "os/text_encoding.h"

namespace os {
namespace {

const wchar_t kUnsafeCharacters[] = L"\\/:*?\"<>|";
const wchar_t kReplacements[] = L" ----'[]I";
constexpr wchar_t kStandIn = L'_';
// One name step of a FAT long file name.
constexpr std::size_t kMaxNameStep = 255;

constexpr bool kWideIsUtf16 = sizeof(wchar_t) == 2;

bool IsHighSurrogate(std::uint32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(std::uint32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// A text split into characters, each one or two wchar_t (a surrogate pair
// where wchar_t is UTF-16), broken ones replaced by the stand-in.
std::vector<std::wstring> Characters(const std::wstring& text) {
  std::vector<std::wstring> characters;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<std::uint32_t>(text[i]);
    if (kWideIsUtf16 && IsHighSurrogate(c) && i + 1 < text.size() &&
        IsLowSurrogate(static_cast<std::uint32_t>(text[i + 1]))) {
      characters.push_back(text.substr(i, 2));
      ++i;
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c) || c > 0x10FFFF) {
      characters.push_back(std::wstring(1, kStandIn));
    } else {
      characters.push_back(std::wstring(1, text[i]));
    }
  }
  return characters;
}

std::size_t UnitsOf(const std::wstring& character) {
  if (kWideIsUtf16) return character.size();
  return static_cast<std::uint32_t>(character[0]) > 0xFFFF ? 2 : 1;
}

bool IsDotOrSpace(const std::wstring& character) {
  return character == L"." || character == L" ";
}

void DropTrailingDotsAndSpaces(std::vector<std::wstring>& characters) {
  while (!characters.empty() && IsDotOrSpace(characters.back())) characters.pop_back();
}

// Keeps the characters that fit into `maxUnits`.
void CutTo(std::vector<std::wstring>& characters, std::size_t maxUnits) {
  std::size_t units = 0;
  for (std::size_t i = 0; i < characters.size(); ++i) {
    units += UnitsOf(characters[i]);
    if (units > maxUnits) {
      characters.resize(i);
      return;
    }
  }
}

std::wstring Joined(const std::vector<std::wstring>& characters) {
  std::wstring text;
  for (const std::wstring& character : characters) text += character;
  return text;
}

std::wstring Mapped(const std::wstring& text) {
  std::wstring mapped;
  for (const std::wstring& character : Characters(text)) {
    if (character.size() == 1 && static_cast<std::uint32_t>(character[0]) < 0x20) {
      mapped.push_back(kStandIn);
      continue;
    }
    mapped += character;
  }
  ReplaceFolderCharacters(mapped);
  return mapped;
}

// "CON" → "CON_", "nul.txt" → "nul_.txt", within `maxUnits`.
std::wstring Unreserved(std::wstring name, std::size_t maxUnits) {
  if (!IsReservedDeviceName(name)) return name;
  std::size_t dot = name.find(L'.');
  if (dot == std::wstring::npos) dot = name.size();
  name.insert(dot, 1, kStandIn);
  if (Utf16Length(name) > maxUnits) name.erase(dot - 1, 1);  // a reserved base is ASCII
  return name;
}

// A step of plain characters, trimmed and cut; reserved names not looked at.
std::vector<std::wstring> Step(const std::wstring& text, std::size_t maxUnits) {
  std::vector<std::wstring> characters = Characters(Mapped(text));
  DropTrailingDotsAndSpaces(characters);
  CutTo(characters, maxUnits);
  DropTrailingDotsAndSpaces(characters);
  return characters;
}

}  // namespace

std::size_t Utf16Length(const std::wstring& text) {
  if (kWideIsUtf16) return text.size();
  std::size_t units = 0;
  for (wchar_t c : text) units += static_cast<std::uint32_t>(c) > 0xFFFF ? 2 : 1;
  return units;
}

bool IsReservedDeviceName(const std::wstring& name) {
  std::wstring base = name.substr(0, name.find(L'.'));
  while (!base.empty() && (base.back() == L' ' || base.back() == L'.')) base.pop_back();
  base = AsciiLower(base);
  static const wchar_t* const kReserved[] = {L"con", L"prn", L"aux", L"nul", L"conin$",
                                             L"conout$"};
  for (const wchar_t* reserved : kReserved) {
    if (base == reserved) return true;
  }
  if (base.size() != 4) return false;
  const std::wstring prefix = base.substr(0, 3);
  if (prefix != L"com" && prefix != L"lpt") return false;
  const wchar_t digit = base[3];
  // Windows also reserves the superscript digits ¹ ² ³.
  return (digit >= L'1' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' ||
         digit == L'\u00B3';
}

void ReplaceFolderCharacters(std::wstring& text) {
  static_assert(sizeof kUnsafeCharacters == sizeof kReplacements, "one replacement each");
  for (wchar_t& c : text) {
    const wchar_t* unsafe = std::wcschr(kUnsafeCharacters, c);
    if (c != L'\0' && unsafe) c = kReplacements[unsafe - kUnsafeCharacters];
  }
}

std::wstring DeviceNameStep(const std::wstring& text, std::size_t maxUnits) {
  const std::wstring step = Joined(Step(text, maxUnits));
  return step.empty() ? step : Unreserved(step, maxUnits);
}

std::wstring DeviceFolderName(const std::wstring& text) {
  return DeviceNameStep(text, kMaxDeviceFolderName);
}

std::wstring DeviceFolderNameOrStandIn(const std::wstring& text) {
  const std::wstring name = DeviceFolderName(text);
  return name.empty() ? std::wstring(1, kStandIn) : name;
}

std::wstring DeviceFileName(const std::wstring& folder, const std::wstring& name, int number) {
  const std::vector<std::wstring> whole = Step(name, static_cast<std::size_t>(-1));
  // The extension is what follows the last dot, when something precedes it.
  std::size_t dot = whole.size();
  for (std::size_t i = whole.size(); i-- > 1;) {
    if (whole[i] == L".") {
      dot = i;
      break;
    }
  }
  const auto split = whole.begin() + static_cast<std::ptrdiff_t>(dot);
  std::vector<std::wstring> stem(whole.begin(), split);
  const std::wstring extension = Joined({split, whole.end()});
  const std::wstring suffix = number > 1 ? L" (" + std::to_wstring(number) + L")" : L"";
  const std::size_t fixed = Utf16Length(extension) + Utf16Length(suffix);
  const std::size_t used = Utf16Length(folder) + fixed;
  if (used >= kMaxDevicePath || fixed >= kMaxNameStep) return std::wstring();
  const std::size_t room = std::min(kMaxDevicePath - used, kMaxNameStep - fixed);
  CutTo(stem, room);
  DropTrailingDotsAndSpaces(stem);
  if (stem.empty()) stem.push_back(std::wstring(1, kStandIn));
  std::wstring file = Joined(stem) + suffix + extension;
  if (IsReservedDeviceName(file)) {
    // Room for the stand-in that ends the reserved base.
    if (Utf16Length(file) + 1 > room + fixed) stem.pop_back();
    file = Joined(stem) + std::wstring(1, kStandIn) + suffix + extension;
  }
  return file;
}

bool IsSameTrack(const TrackFacts& a, const TrackFacts& b) {
  // A title alone may be only the file's name, given for a file without tags.
  const auto known = [](const TrackFacts& facts) {
    return !facts.title.empty() && !facts.album.empty() && facts.seconds > 0;
  };
  if (!known(a) || !known(b)) return false;
  return a.title == b.title && a.artist == b.artist && a.albumArtist == b.albumArtist &&
         a.album == b.album && a.trackNumber == b.trackNumber &&
         std::fabs(a.seconds - b.seconds) <= 1.0;
}

}  // namespace os
