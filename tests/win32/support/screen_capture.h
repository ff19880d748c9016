#pragma once
// Screen captures the test groups read pixel by pixel, and save for a
// person to look at.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace wine_test {

// A capture of a window's or a DC's pixels, top-down.
struct Capture {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> pixels;
  COLORREF At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
  int Count(const RECT& area, const std::function<bool(COLORREF)>& test) const;
};
// The screen under the window's rectangle.
Capture CaptureWindow(HWND window);
// The pixels of a bitmap.
Capture CaptureBitmap(HDC dc, HBITMAP bitmap, int width, int height);
// Saves a capture as build/win/screenshots/<name>.bmp (when the test knows
// the build folder).
void SaveScreenshot(const Capture& capture, const std::string& name);

}  // namespace wine_test
