#pragma once
// Rules for one step of a Windows path, shared by everything that takes a
// file name from a file it reads (a cue sheet, the library store) or makes
// one up (a playlist named by the user).
#include <string>

namespace os {

// Whether Windows takes `name` (one path step) for a device: CON, PRN, AUX,
// NUL, CONIN$, CONOUT$, COM0..COM9, LPT0..LPT9 (also with the superscript
// digits ¹ ² ³), in any ASCII case, with or without an extension; blanks and
// dots after the base are ignored ("NUL.mix", "CON .x", "aux.2024").
bool IsReservedDeviceName(const std::wstring& name);

// A name that stays a file in its folder: not empty, not "." or "..", no
// folder separator, drive colon or wildcard (\ / : * ? " < > |), no control
// character or broken UTF-16, no trailing dot or space, and no device name.
bool IsPlainFileName(const std::wstring& name);

}  // namespace os
