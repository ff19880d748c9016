#include "fakes/fake_drives.h"

namespace fakes {
namespace {

wchar_t UpperLetter(wchar_t letter) {
  if (letter >= L'a' && letter <= L'z') return static_cast<wchar_t>(letter - L'a' + L'A');
  return letter;
}

bool IsLetter(wchar_t letter) { return letter >= L'A' && letter <= L'Z'; }

}  // namespace

void FakeDrives::AddDrive(wchar_t letter, os::DriveType type, const std::wstring& label) {
  drives_[UpperLetter(letter)] = Drive{type, true, label};
}

void FakeDrives::AddDriveWithoutVolume(wchar_t letter, os::DriveType type) {
  drives_[UpperLetter(letter)] = Drive{type, false, std::wstring()};
}

void FakeDrives::RemoveDrive(wchar_t letter) { drives_.erase(UpperLetter(letter)); }

const FakeDrives::Drive* FakeDrives::DriveOf(const std::wstring& root) const {
  const bool shaped = (root.size() == 2 || (root.size() == 3 && root[2] == L'\\')) &&
                      root[1] == L':';
  if (!shaped) return nullptr;
  auto it = drives_.find(UpperLetter(root[0]));
  return it == drives_.end() ? nullptr : &it->second;
}

std::uint32_t FakeDrives::LogicalDriveMask() {
  questions_.push_back(L"mask");
  std::uint32_t mask = 0;
  for (const auto& entry : drives_) {
    if (IsLetter(entry.first)) mask |= 1u << (entry.first - L'A');
  }
  return mask;
}

os::DriveType FakeDrives::TypeOf(const std::wstring& root) {
  questions_.push_back(root);
  const Drive* drive = DriveOf(root);
  return drive ? drive->type : os::DriveType::NoRootDir;
}

bool FakeDrives::VolumeLabel(const std::wstring& root, std::wstring* label) {
  const Drive* drive = DriveOf(root);
  if (!drive || !drive->hasVolume) return false;
  *label = drive->label;
  return true;
}

}  // namespace fakes
