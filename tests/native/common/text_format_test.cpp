#include "common/text_format.h"

#include <gtest/gtest.h>

#include <string>

#include "fakes/fake_drives.h"
#include "os/text_encoding.h"

namespace {

TEST(DriveLabelTest, NamesTheDriveByLabelOrByType) {
  fakes::FakeDrives drives;
  drives.AddDrive(L'E', os::DriveType::CdRom, L"MUSIC");
  drives.AddDrive(L'F', os::DriveType::Removable);
  drives.AddDriveWithoutVolume(L'G', os::DriveType::Removable);
  drives.AddDriveWithoutVolume(L'H', os::DriveType::CdRom);
  drives.AddDrive(L'I', os::DriveType::Fixed);
  drives.AddDrive(L'J', os::DriveType::Removable, L"PLAYER");
  struct Case {
    wchar_t letter;
    const wchar_t* text;
  };
  const Case cases[] = {
      {L'E', L"MUSIC (E:)"},
      {L'F', L"リムーバブル ディスク (F:)"},
      {L'G', L"リムーバブル ディスク (G:)"},  // failed label query
      {L'H', L"CD ドライブ (H:)"},           // CD drive without a disc
      {L'I', L"CD ドライブ (I:)"},           // every type but removable
      {L'J', L"PLAYER (J:)"},
      {L'Q', L"CD ドライブ (Q:)"},           // no such drive
  };
  for (const Case& c : cases) {
    EXPECT_EQ(common::DriveLabel(drives, c.letter), c.text) << static_cast<char>(c.letter);
  }
}

TEST(TimeTextTest, FormatsByHoursAndMode) {
  struct Case {
    std::uint32_t seconds;
    int mode;
    const char* text;
  };
  const Case cases[] = {
      {0, 0, "00:00"},
      {0, 1, "0:00"},
      {59, 0, "00:59"},
      {59, 1, "0:59"},
      {61, 0, "01:01"},
      {754, 0, "12:34"},
      {754, 1, "12:34"},
      {3599, 0, "59:59"},
      {3599, 1, "59:59"},
      {3600, 0, "1:00:00"},
      {3600, 1, "1:00:00"},
      {3661, 0, "1:01:01"},
      {36000, 1, "10:00:00"},
      {4294967295u, 0, "1193046:28:15"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(common::TimeText(c.seconds, c.mode), os::WideFromUtf8(c.text))
        << c.seconds << " mode " << c.mode;
  }
}

TEST(PathPiecesTest, SplitsAtBackslashes) {
  struct Case {
    const wchar_t* path;
    const wchar_t* name;
    const wchar_t* title;
    const wchar_t* folderWhole;
    const wchar_t* folderName;
  };
  const Case cases[] = {
      {L"C:\\Music\\Artist\\Album\\01 Song.wma", L"01 Song.wma", L"01 Song",
       L"C:\\Music\\Artist\\Album", L"Album"},
      {L"C:\\Music\\Artist\\Album\\", L"", L"", L"", L""},
      {L"01 Song.wma", L"01 Song.wma", L"01 Song", L"01 Song.wma", L"01 Song.wma"},
      {L"C:\\.wma", L".wma", L".wma", L"C:", L"C:"},
      {L"C:\\Docs\\README", L"README", L"README", L"C:\\Docs", L"Docs"},
      {L"C:\\a.b\\name.tar.gz", L"name.tar.gz", L"name.tar", L"C:\\a.b", L"a.b"},
      // A backslash only in front keeps the text whole.
      {L"\\Song.wma", L"\\Song.wma", L"\\Song", L"\\Song.wma", L"\\Song.wma"},
      {L"\\Album\\Song.wma", L"Song.wma", L"Song", L"\\Album", L"\\Album"},
      {L"\\", L"\\", L"\\", L"\\", L"\\"},
      // An empty folder name between two backslashes.
      {L"C:\\Music\\\\Song.wma", L"Song.wma", L"Song", L"", L""},
      {L"", L"", L"", L"", L""},
      {L"F:\\Music\\Song", L"Song", L"Song", L"F:\\Music", L"Music"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(os::Utf8FromWide(c.path));
    EXPECT_EQ(common::FileNameOfPath(c.path), c.name);
    EXPECT_EQ(common::FileTitleOfPath(c.path), c.title);
    EXPECT_EQ(common::FolderOfPath(c.path, true), c.folderWhole);
    EXPECT_EQ(common::FolderOfPath(c.path, false), c.folderName);
  }
}

}  // namespace
