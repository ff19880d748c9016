#pragma once
// The tool's message boxes: always on top, one OK button (Yes/No where a
// question is asked), and the icon chosen by the caption.
#include <windows.h>

#include <string>

#include "resources/string_table.h"

namespace ui::win32 {

// MB_ICONWARNING for caption 500 "警告", MB_ICONERROR for 501 "エラー",
// no icon for any other caption (the tool's title, 102).
UINT IconForCaption(unsigned captionId);

// A message box owned by `owner` that stays on top; `style` gives its buttons
// and icon (MB_*). The button pressed.
int ShowTopmostBox(HWND owner, const std::wstring& text, const std::wstring& caption,
                   UINT style);

// A topmost message box owned by `owner` with string `messageId` under
// string `captionId`; `buttons` is MB_OK or MB_YESNO. The button pressed
// (IDOK, IDYES, IDNO).
int ShowTopmostMessage(HWND owner, const res::IStringTable& strings, unsigned messageId,
                       unsigned captionId, UINT buttons = MB_OK);

// The main window's way of telling the user something: message 720 in the
// self-closing done notice, every other message in a topmost box; then the
// owner is repainted at once. The button pressed.
int ShowMessage(HWND owner, const res::IStringTable& strings, unsigned messageId,
                unsigned captionId, UINT buttons = MB_OK);

}  // namespace ui::win32
