#pragma once
// The maker's device libraries as the player access loads them: names,
// entry points and their calling shapes.
#include <cstddef>

namespace device {

#if defined(_WIN32) && !defined(_WIN64)
#define MARIMBA_MAKER_CALL __stdcall
#else
#define MARIMBA_MAKER_CALL
#endif

// Fills a zero-filled buffer of kDriveLetterBufferBytes bytes with a
// zero-terminated ANSI text of drive letters; non-zero on success.
using DriveLettersEntry = int(MARIMBA_MAKER_CALL*)(char* buffer);
// Non-zero when the user has administrator authority.
using AdminAuthorityEntry = int(MARIMBA_MAKER_CALL*)();

constexpr std::size_t kDriveLetterBufferBytes = 33;

constexpr wchar_t kDeviceLibraryName[] = L"PlatDevice.dll";
constexpr char kDriveLettersEntryName[] = "CmnDeviceGetDriveNo";
constexpr char kMainDriveLettersEntryName[] = "CmnDeviceGetDriveNoMain";
constexpr wchar_t kNtLibraryName[] = L"PlatNt.dll";
constexpr char kAdminAuthorityEntryName[] = "CmnGetAdminAuthority";

}  // namespace device
