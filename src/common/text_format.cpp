#include "common/text_format.h"

#include "engine/model/media.h"
#include "os/paths.h"

namespace common {
namespace {

// The path functions keep a text whole when it has no backslash or only a
// leading one.
bool KeptWhole(const std::wstring& path) {
  const std::size_t at = path.rfind(L'\\');
  return at == std::wstring::npos || at == 0;
}

bool EndsWithBackslash(const std::wstring& path) { return !path.empty() && path.back() == L'\\'; }

}  // namespace

std::wstring DriveLabel(os::IDrives& drives, wchar_t letter) {
  const std::wstring root = os::DriveRoot(letter);
  std::wstring label;
  if (!drives.VolumeLabel(root, &label)) label.clear();
  if (label.empty()) {
    label = drives.TypeOf(root) == os::DriveType::Removable
                ? L"リムーバブル ディスク"
                : L"CD ドライブ";
  }
  return label + L" (" + letter + L":)";
}

std::wstring TimeText(std::uint32_t seconds, int mode) {
  std::wstring text = wmp::DurationText(seconds);
  // Mode 1 drops the leading zero of the minutes below an hour.
  if (mode == 1 && seconds < 3600 && text[0] == L'0') text.erase(0, 1);
  return text;
}

std::wstring FileNameOfPath(const std::wstring& path) {
  return KeptWhole(path) ? path : os::AfterLastBackslash(path);
}

std::wstring FileTitleOfPath(const std::wstring& path) {
  const std::wstring name = FileNameOfPath(path);
  const std::size_t dot = name.rfind(L'.');
  if (dot == std::wstring::npos || dot == 0) return name;
  return name.substr(0, dot);
}

std::wstring FolderOfPath(const std::wstring& path, bool whole) {
  if (KeptWhole(path)) return path;
  if (EndsWithBackslash(path)) return std::wstring();
  const std::wstring folder = os::ParentFolder(path);
  if (KeptWhole(folder)) return folder;
  if (EndsWithBackslash(folder)) return std::wstring();
  return whole ? folder : os::AfterLastBackslash(folder);
}

}  // namespace common
