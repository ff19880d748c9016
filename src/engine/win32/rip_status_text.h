#pragma once
// The per-track "Status" of the installed engine in the shape the rest of
// the tool reads it, the shape our engine gives: "Ripping (45%)" while a
// track is ripped, "Ripped (100%)" when it is done, empty otherwise.
//
// The installed engine words and localises its statuses ("Ripping (45%)",
// "取り込み中 (４５％)", "45% ripped", "Pending", "Ripped to library"); the
// reader of the figure takes the word after the first one, so a text of
// another shape would read as 0 %, and a pending track would then count as
// started. Only the figure followed by a percent sign is kept; a text
// without one reads as "not started" (empty), which the rip progress skips.
#include <string>

namespace engine::win32 {

std::wstring NormalizeRipStatus(const std::wstring& status);

}  // namespace engine::win32
