#pragma once
// Texts of drive letters, durations and path pieces for the drive lists, the
// track list and the file steps.
#include <cstdint>
#include <string>

#include "os/drives.h"

namespace common {

// "LABEL (E:)"; a drive without a label is named by its type.
std::wstring DriveLabel(os::IDrives& drives, wchar_t letter);

// "h:mm:ss" from an hour on; below it "m:ss" (mode 1) or "mm:ss" (mode 0).
std::wstring TimeText(std::uint32_t seconds, int mode);

// The last component of a backslash-separated path.
std::wstring FileNameOfPath(const std::wstring& path);
// The last component without its extension.
std::wstring FileTitleOfPath(const std::wstring& path);
// The folder part of a path (`whole`), or only the name of the file's folder.
std::wstring FolderOfPath(const std::wstring& path, bool whole);

}  // namespace common
