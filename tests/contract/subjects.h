#pragma once
// The ports under test in the contract tests. The native tree answers with
// the in-memory fakes, the Win32 tree (under Wine) with the real adapters, so
// both must pass the same expectations.
#include <functional>
#include <memory>
#include <string>

#include "os/clock.h"
#include "os/drives.h"
#include "os/file_system.h"
#include "os/registry.h"

namespace contract {

// Keys used by contract tests live below HKCU "Software\\MarimbaContract".
std::unique_ptr<os::IRegistry> MakeRegistry();

struct FileSystemSubject {
  std::unique_ptr<os::IFileSystem> files;
  std::unique_ptr<os::IClock> clock;
  // An existing empty folder (no trailing backslash) the test may fill.
  std::wstring scratch;
  // Root of a mapped removable drive, such as "F:\\", whose content the test
  // may change (and must clean up).
  std::wstring removableRoot;
  // SetFileAttributesW, which the port itself does not offer.
  std::function<void(const std::wstring& path, std::uint32_t attributes)> setAttributes;
};
FileSystemSubject MakeFileSystem();

struct DrivesSubject {
  std::unique_ptr<os::IDrives> drives;
  wchar_t cdLetter = L'D';        // CD-ROM drive labelled "MUSIC"
  wchar_t removableLetter = L'F';  // removable drive without a label
};
DrivesSubject MakeDrives();

}  // namespace contract
