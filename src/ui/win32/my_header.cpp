#include "ui/win32/my_header.h"

#include <commctrl.h>

#include "resources/resource.h"
#include "ui/win32/mem_dc.h"

namespace ui::win32 {
namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr int kStripHeight = 16;
constexpr int kUpperStripHeight = 12;
constexpr COLORREF kHeaderGrey = RGB(192, 192, 192);
// The boundary strip left of every item after the first: the dark line of
// the separator bitmap, so the two match.
constexpr COLORREF kBoundary = RGB(90, 90, 90);
constexpr int kFontHeight = 14;

HBITMAP LoadHeaderBitmap(int id) {
  return static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                         IMAGE_BITMAP, 0, 0, 0));
}

// Copies a `width` × `height` piece from the top left of `bitmap` to (x, 0).
void Stamp(HDC dc, HDC source, HBITMAP bitmap, int x, int width, int height) {
  if (!bitmap) return;
  SelectScope select(source, bitmap);
  BitBlt(dc, x, 0, width, height, source, 0, 0, SRCCOPY);
}

}  // namespace

CMyHeader::~CMyHeader() { Detach(); }

bool CMyHeader::Attach(HWND header, ui::CReportCtrl* list) {
  Detach();
  if (!header) return false;
  left_.Reset(LoadHeaderBitmap(IDB_HEADER_LEFT));
  separator_.Reset(LoadHeaderBitmap(IDB_HEADER_SEPARATOR));
  fill_.Reset(LoadHeaderBitmap(IDB_HEADER_FILL));
  if (!SetWindowSubclass(header, HeaderProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
    return false;
  }
  header_ = header;
  list_ = list;
  InvalidateRect(header_, nullptr, TRUE);
  return true;
}

void CMyHeader::Detach() {
  if (header_) RemoveWindowSubclass(header_, HeaderProc, kSubclassId);
  header_ = nullptr;
  list_ = nullptr;
}

void CMyHeader::Paint(HDC target) const {
  RECT client;
  GetClientRect(header_, &client);
  CMemDC surface(target, client);
  HDC dc = surface.Get();
  {
    Brush grey(CreateSolidBrush(kHeaderGrey));
    FillRect(dc, &client, grey.Get());
  }
  MemoryDc source(dc);
  if (!source.Get()) return;
  {
    SelectScope select(source.Get(), fill_.Get());
    for (int x = 2; x < client.right; ++x) {
      BitBlt(dc, x, 0, 1, kStripHeight, source.Get(), 0, 0, SRCCOPY);
    }
  }
  const int count = static_cast<int>(SendMessageW(header_, HDM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) PaintItem(dc, source.Get(), i);
}

void CMyHeader::PaintItem(HDC dc, HDC source, int index) const {
  wchar_t text[256] = {};
  HDITEMW item = {};
  item.mask = HDI_TEXT | HDI_ORDER;
  item.pszText = text;
  item.cchTextMax = 255;
  RECT r;
  if (!SendMessageW(header_, HDM_GETITEMW, index, reinterpret_cast<LPARAM>(&item)) ||
      !SendMessageW(header_, HDM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r))) {
    return;
  }
  if (item.iOrder == 0) {
    Stamp(dc, source, left_.Get(), r.left, 2, kStripHeight);
  } else {
    RECT boundary = {r.left - 1, 0, r.left + 1, kStripHeight};
    Brush dark(CreateSolidBrush(kBoundary));
    FillRect(dc, &boundary, dark.Get());
    Stamp(dc, source, fill_.Get(), r.left + 1, 1, kStripHeight);
  }
  if (fill_) {
    SelectScope select(source, fill_.Get());
    for (int x = r.left + 2; x < r.left + 2 + (r.right - r.left - 4); ++x) {
      BitBlt(dc, x, 0, 1, kUpperStripHeight, source, 0, 0, SRCCOPY);
    }
  }
  Stamp(dc, source, separator_.Get(), r.right - 2, 2, kStripHeight);

  Font font(CreateFontW(kFontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_DONTCARE, L"MS UI Gothic"));
  SelectScope selectFont(dc, font.Get());
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  RECT textRect = r;
  InflateRect(&textRect, -2, -2);
  DrawTextW(dc, text, -1, &textRect, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  SetBkMode(dc, oldMode);
}

LRESULT CALLBACK CMyHeader::HeaderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<CMyHeader*>(data);
  try {
    switch (message) {
      case WM_ERASEBKGND:
        return 0;  // the paint covers everything
      case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        self->Paint(dc);
        EndPaint(window, &paint);
        return 0;
      }
      case WM_LBUTTONDOWN:
        if (self->list_) self->list_->FinishCellEdit(true);
        break;
      case WM_NCDESTROY:
        RemoveWindowSubclass(window, HeaderProc, kSubclassId);
        self->header_ = nullptr;
        break;
      default:
        break;
    }
  } catch (...) {
    return 0;  // nothing may escape into the system
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace ui::win32
