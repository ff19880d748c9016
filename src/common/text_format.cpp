#include "common/text_format.h"

#include <cstdio>

#include "os/text_encoding.h"

namespace device {
namespace {

// How a text splits at its last backslash: kept whole when there is none or
// only a leading one, empty when it ends with one, otherwise at *at.
enum class Split { Whole, Empty, At };

Split LastSeparator(const std::wstring& path, std::size_t* at) {
  *at = path.rfind(L'\\');
  if (*at == std::wstring::npos || *at == 0) return Split::Whole;
  if (*at == path.size() - 1) return Split::Empty;
  return Split::At;
}

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
  std::size_t at = 0;
  switch (LastSeparator(path, &at)) {
    case Split::Whole:
      return path;
    case Split::Empty:
      return std::wstring();
    case Split::At:
      break;
  }
  return path.substr(at + 1);
}

std::wstring FileTitleOfPath(const std::wstring& path) {
  const std::wstring name = FileNameOfPath(path);
  const std::size_t dot = name.rfind(L'.');
  if (dot == std::wstring::npos || dot == 0) return name;
  return name.substr(0, dot);
}

std::wstring FolderOfPath(const std::wstring& path, bool whole) {
  std::size_t at = 0;
  switch (LastSeparator(path, &at)) {
    case Split::Whole:
      return path;
    case Split::Empty:
      return std::wstring();
    case Split::At:
      break;
  }
  const std::wstring folder = path.substr(0, at);
  switch (LastSeparator(folder, &at)) {
    case Split::Whole:
      return folder;
    case Split::Empty:
      return std::wstring();
    case Split::At:
      break;
  }
  return whole ? folder : folder.substr(at + 1);
}

}  // namespace device
