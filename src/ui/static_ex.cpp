#include "ui/static_ex.h"

#include <cmath>
#include <cstdio>

#include "os/text_encoding.h"

namespace ui {
namespace {

const wchar_t kAbout[] = L"約 ";
const wchar_t kNoValue[] = L"-- MB";

template <typename... Args>
std::wstring Figure(const char* format, Args... args) {
  char text[64];
  std::snprintf(text, sizeof text, format, args...);
  return os::WideFromUtf8(text);
}

}  // namespace

std::wstring SizeText(long double bytes) {
  const long double kb = bytes / 1024.0L;
  const float mb = static_cast<float>(kb / 1024.0L);
  if (mb == 0.0f) return L"0 バイト";
  // A float's integer part is exact in long double; a 32-bit integer would
  // wrap from 4 PB on, so the whole figure is kept.
  const long double whole = std::trunc(static_cast<long double>(mb));
  if (whole == 0.0L) {
    // Below 1 MB the kilobytes are below 1024 and fit an int.
    return kAbout + Figure("%d", static_cast<int>(static_cast<float>(kb))) + L" KB";
  }
  // Subtracting half of the last printed digit makes the rounding format
  // show a truncation of the value.
  if (whole >= 1.0L && whole <= 9.0L) {
    return kAbout + Figure("%4.2f", static_cast<double>(mb) - 0.005) + L" MB";
  }
  if (whole >= 10.0L && whole <= 99.0L) {
    return kAbout + Figure("%4.1f", static_cast<double>(mb) - 0.05) + L" MB";
  }
  // 100 MB and more; a negative size (a used space computed from
  // inconsistent totals) is shown whole as well.
  return kAbout + Figure("%.0Lf", whole) + L" MB";
}

std::wstring ByteSizeText(std::int64_t bytes) {
  return SizeText(static_cast<long double>(bytes));
}

std::wstring ClusterSizeText(std::uint32_t clusters, std::uint32_t sectorsPerCluster,
                             std::uint32_t bytesPerSector) {
  if (clusters == 0 && sectorsPerCluster == 0 && bytesPerSector == 0) return kNoValue;
  return SizeText(static_cast<long double>(clusters) * sectorsPerCluster * bytesPerSector);
}

std::wstring MegabytesText(double megabytes) {
  if (megabytes == 0.0) return kNoValue;
  return kAbout + Figure("%4.0f", megabytes) + L" MB";
}

void CStaticEx::SetTextIfChanged(const std::wstring& text) {
  if (GetText() != text) SetText(text);
}

void CStaticEx::ShowClusterSize(std::uint32_t clusters, std::uint32_t sectorsPerCluster,
                                std::uint32_t bytesPerSector) {
  SetTextIfChanged(ClusterSizeText(clusters, sectorsPerCluster, bytesPerSector));
}

void CStaticEx::ShowByteSize(std::int64_t bytes) { SetTextIfChanged(ByteSizeText(bytes)); }

void CStaticEx::ShowMegabytes(double megabytes) { SetTextIfChanged(MegabytesText(megabytes)); }

}  // namespace ui
