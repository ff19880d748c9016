#pragma once
// Dialog: the base of the tool's dialogs. One dialog procedure stores `this`
// and forwards to member handlers; a modal loop of our own lets each dialog
// look at queued messages (keys above all) before the dialog manager does,
// and modeless dialogs get the same look from any message loop that calls
// RouteDialogMessage.
#include <windows.h>

namespace ui::win32 {

class Dialog {
 public:
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  HWND Window() const { return window_; }
  // The value given to End; IDCANCEL when the run ended otherwise.
  INT_PTR Result() const { return result_; }

 protected:
  explicit Dialog(int templateId);

  // Creates the dialog modeless (hidden unless its template is visible),
  // owned by `parent`; null on failure.
  HWND CreateModeless(HWND parent);
  // Runs the dialog modally, `parent` disabled meanwhile; the value given to
  // End, or -1 when the window could not be made.
  INT_PTR RunModal(HWND parent);
  // Ends the modal run with `result`.
  void End(INT_PTR result);
  // Whether the dialog runs modally (already while WM_INITDIALOG is handled).
  bool IsModal() const { return modal_; }
  // Destroys the window now (modeless dialogs).
  void DestroyNow();
  // The dialog answers the system's "QueryCancelAutoPlay" with 1, so no
  // AutoPlay starts for a disc inserted while it is shown.
  void RefuseAutoPlay() { refuseAutoPlay_ = true; }

  HWND Item(int id) const { return window_ ? GetDlgItem(window_, id) : nullptr; }
  // Whether control `id` has the keyboard focus.
  bool HasFocus(int id) const;
  // Enter (a key-down of VK_RETURN) on the focused OK or Cancel button
  // presses it; true when it did.
  bool PressFocusedButton(const MSG& message);
  // The keys a window with only a Cancel button swallows: Escape (the
  // button is the way out), the arrows and F1 (there is no help).
  static bool IsSwallowedKey(WPARAM key);
  // A click on OK or Cancel goes to OnOK or OnCancel; true when it was one.
  bool OnOkOrCancel(int id, int code);
  // Answers the current message with `value` (DWLP_MSGRESULT).
  INT_PTR Answer(LRESULT value);
  // Dispatches at most one queued message of the dialog or its controls,
  // without translation.
  void PumpOne();
  // Centres the window on `over` (the screen's work area when null).
  void CentreOn(HWND over);

  // Handlers. OnInit answers whether the system sets the initial focus.
  virtual bool OnInit() { return true; }
  virtual bool OnCommand(int /*id*/, int /*code*/) { return false; }
  // What OK and Cancel do, for dialogs that have them (OnOkOrCancel).
  virtual void OnOK() { End(IDOK); }
  virtual void OnCancel() { End(IDCANCEL); }
  virtual bool OnTimer(UINT_PTR /*id*/) { return false; }
  virtual void OnDestroy() {}
  // Any other message; true (with `result`) when handled.
  virtual bool OnMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/,
                         INT_PTR& /*result*/) {
    return false;
  }
  // A queued message of the dialog or one of its controls, before the
  // dialog manager sees it; true = swallowed.
  virtual bool PreTranslate(const MSG& /*message*/) { return false; }
  // A handler threw (the message was dropped): whatever it left half done
  // must not hold the window.
  virtual void OnHandlerFailed() {}

 private:
  friend bool RouteDialogMessage(MSG& message);
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  HWND CreateWindowFor(HWND parent);
  bool Owns(HWND window) const;
  // PreTranslate, then the dialog manager; true when the message is done.
  bool Filter(MSG& message);

  int templateId_;
  HWND window_ = nullptr;
  bool modeless_ = false;
  bool modal_ = false;
  bool ended_ = false;
  bool refuseAutoPlay_ = false;
  bool dying_ = false;
  INT_PTR result_ = IDCANCEL;
};

// Gives the modeless dialogs of this thread their look at a queued message
// (the keys they swallow, then the dialog manager). True when the message
// has been handled; call it in every message loop before translating.
bool RouteDialogMessage(MSG& message);

}  // namespace ui::win32
