#include "common/text_format.h"

#include <cstdio>

#include "os/paths.h"
#include "os/text_encoding.h"

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
  const long h = static_cast<long>(seconds / 3600);
  const long m = static_cast<long>(seconds % 3600 / 60);
  const long s = static_cast<long>(seconds % 60);
  char text[32];
  if (h > 0) {
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", h, m, s);
  } else if (mode == 1) {
    std::snprintf(text, sizeof text, "%ld:%02ld", m, s);
  } else {
    std::snprintf(text, sizeof text, "%02ld:%02ld", m, s);
  }
  return os::WideFromUtf8(text);
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
