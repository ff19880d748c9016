#pragma once
// "WMPInfo.xml" in a player's root ties the storage to its device id, so any
// program that knows the id can tell which drive the engine means. Written
// when a partnership is made: one line, UTF-16LE with a byte-order mark,
//   <DeviceInfo><WMP DeviceID="{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"/></DeviceInfo>
// (the id escaped as XML) and read back (UTF-16LE or UTF-8, with or without
// a byte-order mark) so a file that another engine wrote keeps its id.
#include <string>

#include "os/file_system.h"

namespace mediaengine {

extern const wchar_t kWmpInfoFileName[];  // "WMPInfo.xml"

// A stable id in the braced GUID form, the same for the same seed text.
std::wstring DeviceIdOf(const std::wstring& seed);

// The file's bytes for `deviceId`.
std::string WmpInfoBytes(const std::wstring& deviceId);
// The DeviceID attribute of the first WMP element that has one, read as XML
// reads it (entities expanded, comments skipped); false when the bytes are
// not a well-formed document or no such attribute is there.
bool DeviceIdOfWmpInfo(const std::string& bytes, std::wstring* deviceId);

// `root` ends with a backslash. The file is written under a temporary name
// and renamed, so it is never seen half-written.
os::ErrorCode WriteWmpInfo(os::IFileSystem& files, const std::wstring& root,
                           const std::wstring& deviceId);
bool ReadWmpInfo(os::IFileSystem& files, const std::wstring& root, std::wstring* deviceId);

}  // namespace mediaengine
