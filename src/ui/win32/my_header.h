#pragma once
// CMyHeader: the skinned column header of the track list, painted from
// bitmaps 140, 141 and 142 on an off-screen surface. A press on it ends any
// edit of the list, accepting it.
#include <windows.h>

#include "ui/track_list.h"
#include "ui/win32/gdi.h"

namespace ui::win32 {

class CMyHeader {
 public:
  CMyHeader() = default;
  ~CMyHeader();
  CMyHeader(const CMyHeader&) = delete;
  CMyHeader& operator=(const CMyHeader&) = delete;

  // Subclasses `header`, the header of `list`'s list view.
  bool Attach(HWND header, ui::CReportCtrl* list);
  void Detach();
  HWND Window() const { return header_; }

  // Paints the whole header on `dc` (its client rectangle).
  void Paint(HDC dc) const;

 private:
  static LRESULT CALLBACK HeaderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR data);
  void PaintItem(HDC dc, HDC source, int index) const;

  HWND header_ = nullptr;
  ui::CReportCtrl* list_ = nullptr;
  Bitmap left_;       // 140: the first item's left edge
  Bitmap separator_;  // 141: the dark line at each item's right edge
  Bitmap fill_;       // 142: the grey ramp
};

}  // namespace ui::win32
