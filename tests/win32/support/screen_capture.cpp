#include "support/screen_capture.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "ui/win32/gdi.h"

namespace wine_test {

int Capture::Count(const RECT& area, const std::function<bool(COLORREF)>& test) const {
  int count = 0;
  for (int y = std::max(0L, area.top); y < std::min<LONG>(height, area.bottom); ++y) {
    for (int x = std::max(0L, area.left); x < std::min<LONG>(width, area.right); ++x) {
      if (test(At(x, y))) ++count;
    }
  }
  return count;
}

Capture CaptureBitmap(HDC dc, HBITMAP bitmap, int width, int height) {
  Capture capture;
  capture.width = width;
  capture.height = height;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<DWORD> raw(static_cast<std::size_t>(width) * height);
  GetDIBits(dc, bitmap, 0, height, raw.data(), &info, DIB_RGB_COLORS);
  capture.pixels.reserve(raw.size());
  for (DWORD p : raw) capture.pixels.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
  return capture;
}

Capture CaptureWindow(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  const ui::win32::WindowDc screen(nullptr);
  const ui::win32::MemoryDc memory(screen.Get());
  const ui::win32::Bitmap bitmap(CreateCompatibleBitmap(screen.Get(), width, height));
  {
    // GetDIBits wants the bitmap out of every DC again.
    const ui::win32::SelectScope selected(memory.Get(), bitmap.Get());
    BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), rect.left, rect.top, SRCCOPY);
  }
  return CaptureBitmap(memory.Get(), bitmap.Get(), width, height);
}

void SaveScreenshot(const Capture& capture, const std::string& name) {
  const char* binary = std::getenv("MARIMBA_BINARY_DIR");
  if (!binary) return;
  const std::string folder = std::string(binary) + "\\screenshots";
  CreateDirectoryA(folder.c_str(), nullptr);
  const int stride = capture.width * 3 + (4 - capture.width * 3 % 4) % 4;
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = capture.width;
  header.biHeight = -capture.height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(stride * capture.height);
  std::ofstream out(folder + "\\" + name + ".bmp", std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  std::vector<char> row(static_cast<std::size_t>(stride), 0);
  for (int y = 0; y < capture.height; ++y) {
    for (int x = 0; x < capture.width; ++x) {
      const COLORREF c = capture.At(x, y);
      row[static_cast<std::size_t>(x) * 3] = static_cast<char>(GetBValue(c));
      row[static_cast<std::size_t>(x) * 3 + 1] = static_cast<char>(GetGValue(c));
      row[static_cast<std::size_t>(x) * 3 + 2] = static_cast<char>(GetRValue(c));
    }
    out.write(row.data(), stride);
  }
}

}  // namespace wine_test
