#pragma once
// Names that files name: a cue sheet's image, the library store's playlist
// files. Whatever such a name says, it must stay a file in the folder it is
// looked for in.
#include <string>

namespace os {

// A name that stays a file in its folder: not empty, not "." or "..", no
// folder separator, drive colon or wildcard (\ / : * ? " < > |), no control
// character or broken UTF-16, no trailing dot or space, and no device name
// (IsReservedDeviceName).
bool IsPlainFileName(const std::wstring& name);

}  // namespace os
