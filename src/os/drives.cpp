#include "os/drives.h"

namespace os {

std::wstring DriveRoot(wchar_t letter) { return std::wstring{letter, L':', L'\\'}; }

std::uint32_t DrivesOnce::LogicalDriveMask() {
  if (!maskKnown_) {
    mask_ = drives_.LogicalDriveMask();
    maskKnown_ = true;
  }
  return mask_;
}

DriveType DrivesOnce::TypeOf(const std::wstring& root) {
  // Only a plain drive root is remembered; any other path is asked as given.
  const bool plain = root.size() == 3 && root[1] == L':' && root[2] == L'\\';
  wchar_t letter = plain ? root[0] : L'\0';
  if (letter >= L'a' && letter <= L'z') letter = static_cast<wchar_t>(letter - L'a' + L'A');
  if (letter < L'A' || letter > L'Z') return drives_.TypeOf(root);
  const int index = letter - L'A';
  const std::uint32_t bit = 1u << index;
  if (!(typesKnown_ & bit)) {
    types_[index] = drives_.TypeOf(root);
    typesKnown_ |= bit;
  }
  return types_[index];
}

bool DrivesOnce::VolumeLabel(const std::wstring& root, std::wstring* label) {
  return drives_.VolumeLabel(root, label);
}

}  // namespace os
