#include "engine/win32/rip_status_text.h"

namespace engine::win32 {
namespace {

constexpr wchar_t kFullWidthZero = 0xFF10;
constexpr wchar_t kFullWidthPercent = 0xFF05;
constexpr wchar_t kIdeographicSpace = 0x3000;

// 0..9, also full width; -1 for anything else.
int DigitValue(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= kFullWidthZero && c <= kFullWidthZero + 9) return c - kFullWidthZero;
  return -1;
}

bool IsPercent(wchar_t c) { return c == L'%' || c == kFullWidthPercent; }
bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == kIdeographicSpace; }

// The first run of digits followed, after optional spaces, by a percent
// sign; -1 when there is none. Capped at 100 (and at a few digits, so that
// a long run cannot overflow).
int PercentFigure(const std::wstring& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (DigitValue(text[i]) < 0) continue;
    int value = 0;
    size_t j = i;
    for (; j < text.size() && DigitValue(text[j]) >= 0; ++j) {
      if (value < 1000) value = value * 10 + DigitValue(text[j]);
    }
    size_t k = j;
    while (k < text.size() && IsSpace(text[k])) ++k;
    if (k < text.size() && IsPercent(text[k])) return value > 100 ? 100 : value;
    i = j;
  }
  return -1;
}

}  // namespace

std::wstring NormalizeRipStatus(const std::wstring& status) {
  const int percent = PercentFigure(status);
  if (percent < 0) return std::wstring();
  if (percent == 100) return L"Ripped (100%)";
  return L"Ripping (" + std::to_wstring(percent) + L"%)";
}

}  // namespace engine::win32
