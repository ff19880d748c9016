// What every drive source behind os::IDrives must answer, checked against the
// fake natively and against kernel32 in the Wine prefix (D: a CD-ROM drive
// labelled MUSIC, F: a removable drive without a label).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "contract/subjects.h"
#include "os/drives.h"

namespace {

std::uint32_t BitOf(wchar_t letter) { return 1u << (letter - L'A'); }

wchar_t Lower(wchar_t letter) { return static_cast<wchar_t>(letter - L'A' + L'a'); }

TEST(DrivesContract, CdDriveIsCdRomWithItsLabel) {
  contract::DrivesSubject subject = contract::MakeDrives();
  const std::wstring root = os::DriveRoot(subject.cdLetter);
  EXPECT_EQ(subject.drives->TypeOf(root), os::DriveType::CdRom);
  EXPECT_EQ(subject.drives->TypeOf(os::DriveRoot(Lower(subject.cdLetter))), os::DriveType::CdRom);
  std::wstring label = L"stale";
  ASSERT_TRUE(subject.drives->VolumeLabel(root, &label));
  EXPECT_EQ(label, L"MUSIC");
}

TEST(DrivesContract, RemovableDriveHasAnEmptyLabel) {
  contract::DrivesSubject subject = contract::MakeDrives();
  const std::wstring root = os::DriveRoot(subject.removableLetter);
  EXPECT_EQ(subject.drives->TypeOf(root), os::DriveType::Removable);
  std::wstring label = L"stale";
  ASSERT_TRUE(subject.drives->VolumeLabel(root, &label));
  EXPECT_EQ(label, L"");
}

TEST(DrivesContract, MaskAgreesWithDriveTypes) {
  contract::DrivesSubject subject = contract::MakeDrives();
  const std::uint32_t mask = subject.drives->LogicalDriveMask();
  EXPECT_NE(mask & BitOf(subject.cdLetter), 0u);
  EXPECT_NE(mask & BitOf(subject.removableLetter), 0u);
  EXPECT_EQ(mask >> 26, 0u) << "only the letters A to Z";
  bool sawMissing = false;
  for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
    SCOPED_TRACE(static_cast<char>(letter));
    const bool present = (mask & BitOf(letter)) != 0;
    const os::DriveType type = subject.drives->TypeOf(os::DriveRoot(letter));
    EXPECT_EQ(present, type != os::DriveType::NoRootDir);
    if (!present) {
      sawMissing = true;
      std::wstring label;
      EXPECT_FALSE(subject.drives->VolumeLabel(os::DriveRoot(letter), &label));
    }
  }
  EXPECT_TRUE(sawMissing);
}

}  // namespace
