#pragma once
// CAutoCloseDlg (dialog 133) and its twin for the done notice (dialog 136):
// modal, topmost windows that end themselves after five seconds.
#include <windows.h>

#include "resources/string_table.h"
#include "ui/win32/dialog.h"

namespace ui::win32 {

class CAutoCloseDlg : private Dialog {
 public:
  static constexpr UINT_PTR kTimerId = 5006;
  static constexpr UINT kIntervalMs = 5000;

  // Dialog `templateId` showing string `messageId` under the tool's title.
  CAutoCloseDlg(const res::IStringTable& strings, int templateId, unsigned messageId);

  // IDOK (1) when the window closed itself, IDCANCEL (2) when the user
  // pressed its button; -1 when it could not be shown.
  INT_PTR DoModal(HWND parent) { return RunModal(parent); }

 private:
  bool OnInit() override;
  bool OnCommand(int id, int code) override;
  bool OnTimer(UINT_PTR id) override;
  void OnDestroy() override;
  bool PreTranslate(const MSG& message) override;

  const res::IStringTable& strings_;
  unsigned messageId_;
  UINT_PTR timer_ = 0;
};

// The last chance to cancel an automatic transfer (text 315): IDOK after
// five seconds (start the transfer), IDCANCEL when the user cancelled.
INT_PTR RunAutoTransferPrompt(HWND parent, const res::IStringTable& strings);
// The transfer-finished notice (text 720) with its OK button (id 2); ends
// itself after five seconds. The result is of no interest.
INT_PTR RunDoneNotice(HWND parent, const res::IStringTable& strings);

}  // namespace ui::win32
