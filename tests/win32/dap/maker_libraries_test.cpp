// The maker library stand-ins in a real process: loaded by name from beside
// the executable, undecorated entry points, answers from the identity file
// on the prefix's removable drive and from the process token.
#include <windows.h>
// A 16-bit leftover macro of winbase.h that would hide SyncDeviceRef::GetFreeSpace.
#undef GetFreeSpace

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/player_context.h"
#include "device/dap_acc.h"
#include "device/engine_device_manager.h"
#include "device/win32/ansi_code_page.h"
#include "fakes/fake_status_window.h"
#include "os/win32/win32_clock.h"
#include "os/win32/win32_drives.h"
#include "os/win32/win32_file_system.h"
#include "os/win32/win32_modules.h"
#include "os/win32/win32_system.h"
#include "support/player_drive.h"
#include "resources/win32/module_string_table.h"

namespace {

using wine_test::PlayerLetter;

using DriveLetters = int (*)(char*);
using AdminAuthority = int (*)();

class Library {
 public:
  explicit Library(const wchar_t* name) : module_(LoadLibraryW(name)) {}
  ~Library() {
    if (module_) FreeLibrary(module_);
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;
  HMODULE Get() const { return module_; }
  template <typename Fn>
  Fn Entry(const char* name) const {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

 private:
  HMODULE module_;
};

std::wstring FolderOf(HMODULE module) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(module, path, MAX_PATH);
  std::wstring text = path;
  return text.substr(0, text.rfind(L'\\'));
}

// The letters an entry point answers, read from a zero-filled 33-byte buffer.
std::string Letters(DriveLetters entry, bool* succeeded) {
  char buffer[33] = {};
  *succeeded = entry(buffer) != 0;
  EXPECT_EQ(buffer[32], '\0');
  return std::string(buffer);
}

TEST(MakerLibrariesTest, LoadByNameFromBesideTheProgram) {
  const Library device(L"PlatDevice.dll");
  const Library nt(L"PlatNt.dll");
  ASSERT_NE(device.Get(), nullptr);
  ASSERT_NE(nt.Get(), nullptr);
  EXPECT_EQ(FolderOf(device.Get()), FolderOf(nullptr));
  EXPECT_EQ(FolderOf(nt.Get()), FolderOf(nullptr));
}

TEST(MakerLibrariesTest, AdminAuthorityComesFromTheProcessToken) {
  const Library nt(L"PlatNt.dll");
  const auto entry = nt.Entry<AdminAuthority>("CmnGetAdminAuthority");
  ASSERT_NE(entry, nullptr);
  // The system adapter asks by token membership; both must agree.
  os::win32::Win32System system;
  EXPECT_EQ(entry() != 0, system.HasAdminAuthority());
}

TEST(MakerLibrariesTest, PlayerDrivesFollowTheIdentityFile) {
  struct Case {
    const char* what;
    const char* identity;  // null: no identity file
    bool player;
    bool main;
  };
  const std::string internal = wine_test::Identity("Internal");
  const std::string card = wine_test::Identity("Card");
  // The engine reads a file this long as no identity file either.
  const std::string late = "Comment=" + std::string(4096, 'x') + "\nSerial=LATE\n";
  const Case cases[] = {
      {"internal storage", internal.c_str(), true, true},
      {"memory card", card.c_str(), true, false},
      {"mark, blanks and key case", "\xEF\xBB\xBF maker = ORBIT \nserial=7\n", true, true},
      {"another maker", "Maker=Acme\r\nSerial=1\r\n", false, false},
      {"no serial number", "Maker=Orbit\r\nStorage=Internal\r\n", false, false},
      {"an overlong line feed is no line end", "Maker=Orbit\xC0\x8ASerial=ORB\r\n", false, false},
      {"the last Storage counts", "Serial=1\nStorage=Card\nStorage=SD\n", true, true},
      {"a serial past the size limit", late.c_str(), false, false},
      {"no identity file", nullptr, false, false},
  };
  const wine_test::PlayerDriveGuard guard;
  const Library device(L"PlatDevice.dll");
  const auto all = device.Entry<DriveLetters>("CmnDeviceGetDriveNo");
  const auto main = device.Entry<DriveLetters>("CmnDeviceGetDriveNoMain");
  ASSERT_TRUE(all && main);
  const char letter = static_cast<char>(PlayerLetter());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::wstring path = guard.Root() + L"PLAYER.INF";
    if (c.identity) {
      ASSERT_TRUE(wine_test::WriteBytes(path, c.identity));
    } else {
      DeleteFileW(path.c_str());
    }
    bool succeeded = false;
    EXPECT_EQ(Letters(all, &succeeded).find(letter) != std::string::npos, c.player);
    EXPECT_TRUE(succeeded);
    EXPECT_EQ(Letters(main, &succeeded).find(letter) != std::string::npos, c.main);
    EXPECT_TRUE(succeeded);
  }
}

// The player access with the real libraries: letters, main storage and the
// settings file rule on the mapped drive.
TEST(MakerLibrariesTest, ThePlayerAccessReadsThemThroughTheModulePort) {
  const wine_test::PlayerDriveGuard guard;
  ASSERT_TRUE(wine_test::WriteBytes(guard.Root() + L"PLAYER.INF", wine_test::Identity("Card")));
  os::win32::Win32FileSystem files;
  os::win32::Win32Drives drives;
  os::win32::Win32Clock clock;
  os::win32::Win32Modules modules;
  fakes::FakeStatusHost statusHost;
  const res::win32::ModuleStringTable strings(GetModuleHandleW(nullptr));
  common::PlayerContext context;
  device::EngineDeviceManagerSource managers(context);
  device::CDAPAcc dap(device::DapPorts{files, drives, clock, modules, statusHost, strings,
                                       context, managers,
                                       device::win32::WideFromAnsiCodePage});
  ASSERT_TRUE(dap.LoadMakerLibraries());
  const std::wstring drive{PlayerLetter(), L':'};
  EXPECT_NE(dap.GetDriveLetters(false).find(PlayerLetter()), std::wstring::npos);
  EXPECT_EQ(dap.GetDriveLetters(true).find(PlayerLetter()), std::wstring::npos);
  // A card is no main storage; with SETTINGS.DAT it counts as one only for
  // a user without administrator authority.
  ASSERT_TRUE(wine_test::WriteBytes(guard.Root() + L"SETTINGS.DAT", "settings"));
  os::win32::Win32System system;
  EXPECT_EQ(dap.IsMainStorageDrive(drive), !system.HasAdminAuthority());
  dap.UnloadMakerLibraries();
  EXPECT_EQ(dap.GetDriveLetters(false), L"");
}

}  // namespace
