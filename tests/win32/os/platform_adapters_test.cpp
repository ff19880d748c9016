// The remaining Win32 adapters against the real system under Wine: the
// single-instance mutex, the version record, top-level windows, modules and
// the local-time conversions.
#include <windows.h>

#include <gtest/gtest.h>

#include "os/win32/win32_clock.h"
#include "os/win32/win32_modules.h"
#include "os/win32/win32_system.h"
#include "os/win32/win32_top_windows.h"
#include "support/test_window.h"

namespace {

TEST(Win32System, SecondMutexOfTheSameNameReportsThatItExists) {
  os::win32::Win32System system;
  os::ErrorCode first = -1, second = -1;
  auto owner = system.CreateOwnedMutex(L"Local\\MarimbaAdapterTest", &first);
  ASSERT_NE(owner, nullptr);
  EXPECT_EQ(first, os::kSuccess);
  auto again = system.CreateOwnedMutex(L"Local\\MarimbaAdapterTest", &second);
  EXPECT_NE(again, nullptr);
  EXPECT_EQ(second, os::kErrorAlreadyExists);
  again.reset();
  owner.reset();
  auto fresh = system.CreateOwnedMutex(L"Local\\MarimbaAdapterTest", &first);
  EXPECT_EQ(first, os::kSuccess) << "released and closed with its owner";
}

TEST(Win32System, ReportsTheVersionAndTheMusicFolder) {
  os::win32::Win32System system;
  const os::OsVersion version = system.Version();
  EXPECT_EQ(version.platformId, 2u) << "NT family";
  EXPECT_EQ(version.major, 5u) << "the test prefix is Windows XP";
  EXPECT_EQ(version.minor, 1u);
  std::wstring music;
  ASSERT_TRUE(system.MusicFolder(true, &music));
  EXPECT_NE(GetFileAttributesW(music.c_str()), INVALID_FILE_ATTRIBUTES);
}

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 1);  // remember the request, stay open
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeWindow(const wchar_t* title, bool visible, HWND owner = nullptr) {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = PlainWindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"MarimbaAdapterTestWindow";
  RegisterClassW(&windowClass);
  // An owned window is a popup, whose "parent" the platform reports as its owner.
  const DWORD style = owner ? WS_POPUP | WS_CAPTION : WS_OVERLAPPEDWINDOW;
  return CreateWindowExW(0, windowClass.lpszClassName, title,
                         style | (visible ? WS_VISIBLE : 0), 0, 0, 100, 100, owner,
                         nullptr, windowClass.hInstance, nullptr);
}

TEST(Win32TopWindows, FindsByExactTitleAndEnumeratesWithParents) {
  os::win32::Win32TopWindows windows;
  const wine_test::OwnedWindow ownedPlayer(MakeWindow(L"Windows Media Player", true));
  const HWND player = ownedPlayer.Get();
  const wine_test::OwnedWindow ownedChild(MakeWindow(L"ネット検索", false, player));
  const HWND child = ownedChild.Get();
  ASSERT_TRUE(player && child);

  EXPECT_EQ(windows.FindByTitle(L"Windows Media Player"), reinterpret_cast<os::WindowRef>(player));
  EXPECT_EQ(windows.FindByTitle(L"Windows Media"), os::kNoWindow) << "whole titles only";
  EXPECT_EQ(windows.Title(reinterpret_cast<os::WindowRef>(child)), L"ネット検索");
  EXPECT_EQ(windows.Parent(reinterpret_cast<os::WindowRef>(child)),
            reinterpret_cast<os::WindowRef>(player));
  EXPECT_TRUE(windows.IsVisible(reinterpret_cast<os::WindowRef>(player)));
  EXPECT_FALSE(windows.IsVisible(reinterpret_cast<os::WindowRef>(child)));

  bool sawPlayer = false, sawChild = false;
  windows.Enumerate([&](os::WindowRef window) {
    sawPlayer |= window == reinterpret_cast<os::WindowRef>(player);
    sawChild |= window == reinterpret_cast<os::WindowRef>(child);
    return true;
  });
  EXPECT_TRUE(sawPlayer);
  EXPECT_TRUE(sawChild) << "owned windows are top-level windows too";
  int visited = 0;
  windows.Enumerate([&](os::WindowRef) { return ++visited < 1; });
  EXPECT_EQ(visited, 1) << "returning false stops the enumeration";

  windows.RequestClose(reinterpret_cast<os::WindowRef>(player));
  EXPECT_EQ(GetWindowLongPtrW(player, GWLP_USERDATA), 1) << "WM_CLOSE sent synchronously";
}

TEST(Win32Modules, LoadsByNameAndFindsEntries) {
  os::win32::Win32Modules modules;
  os::LoadedModule kernel(modules, L"kernel32.dll");
  ASSERT_TRUE(kernel.IsLoaded());
  EXPECT_NE(kernel.Find<DWORD(WINAPI*)()>("GetTickCount"), nullptr);
  EXPECT_EQ(kernel.Find<void (*)()>("NoSuchEntryPoint"), nullptr);
  os::LoadedModule missing(modules, L"NoSuchLibrary.dll");
  EXPECT_FALSE(missing.IsLoaded());
  EXPECT_EQ(missing.Find<void (*)()>("Anything"), nullptr);
}

TEST(Win32Clock, LocalConversionsAgreeWithEachOther) {
  os::win32::Win32Clock clock;
  const std::int64_t now = clock.SecondsSince1970();
  FILETIME utc;
  GetSystemTimeAsFileTime(&utc);
  const os::FileTime utcTime =
      (static_cast<std::uint64_t>(utc.dwHighDateTime) << 32) | utc.dwLowDateTime;
  const os::CalendarTime local = os::CalendarOfFileTime(clock.ToLocalFileTime(utcTime));
  const std::int64_t back = clock.LocalCalendarToSeconds(local);
  EXPECT_LE(std::llabs(back - now), 2) << "local calendar of now converts back to now";
  os::CalendarTime early = local;
  early.year = 1960;
  EXPECT_EQ(clock.LocalCalendarToSeconds(early), -1) << "before 1970 cannot be represented";
}

}  // namespace
