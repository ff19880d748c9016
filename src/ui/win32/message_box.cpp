#include "ui/win32/message_box.h"

#include "resources/resource.h"
#include "ui/win32/auto_close_dlg.h"

namespace ui::win32 {
namespace {

// Keeps the message box on top even where the system does not honour
// MB_TOPMOST (Wine): the box is made topmost as it is activated.
class TopmostOnActivate {
 public:
  explicit TopmostOnActivate(const std::wstring& caption) {
    caption_ = caption;
    hook_ = SetWindowsHookExW(WH_CBT, Proc, nullptr, GetCurrentThreadId());
  }
  ~TopmostOnActivate() {
    if (hook_) UnhookWindowsHookEx(hook_);
    caption_.clear();
  }
  TopmostOnActivate(const TopmostOnActivate&) = delete;
  TopmostOnActivate& operator=(const TopmostOnActivate&) = delete;

 private:
  static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
      HWND window = reinterpret_cast<HWND>(wParam);
      wchar_t className[16] = {};
      wchar_t title[256] = {};
      GetClassNameW(window, className, 16);
      GetWindowTextW(window, title, 256);
      if (std::wstring(className) == L"#32770" && caption_ == title &&
          !(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST)) {
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  static thread_local std::wstring caption_;
  HHOOK hook_ = nullptr;
};

thread_local std::wstring TopmostOnActivate::caption_;

}  // namespace

UINT IconForCaption(unsigned captionId) {
  switch (captionId) {
    case IDS_CAPTION_WARNING:
      return MB_ICONWARNING;
    case IDS_CAPTION_ERROR:
      return MB_ICONERROR;
    default:
      return 0;
  }
}

int ShowTopmostBox(HWND owner, const std::wstring& text, const std::wstring& caption,
                   UINT style) {
  TopmostOnActivate topmost(caption);
  return MessageBoxW(owner, text.c_str(), caption.c_str(), style | MB_TOPMOST);
}

int ShowTopmostMessage(HWND owner, const res::IStringTable& strings, unsigned messageId,
                       unsigned captionId, UINT buttons) {
  return ShowTopmostBox(owner, strings.Load(messageId), strings.Load(captionId),
                        buttons | IconForCaption(captionId));
}

int ShowMessage(HWND owner, const res::IStringTable& strings, unsigned messageId,
                unsigned captionId, UINT buttons) {
  int result = IDOK;
  if (messageId == IDS_MSG_SYNC_DONE) {
    RunDoneNotice(owner, strings);
  } else {
    result = ShowTopmostMessage(owner, strings, messageId, captionId, buttons);
  }
  if (owner) {
    RedrawWindow(owner, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
  return result;
}

}  // namespace ui::win32
