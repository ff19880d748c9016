#pragma once
// The skinned label the core writes to, and the size texts it shows. The
// Win32 control implements the primitives; the text rules live here.
#include <cstdint>
#include <string>

namespace ui {

// Size text of a byte count: "0 バイト", "約 n KB" below 1 MB, otherwise MB
// with the shown figure truncated, not rounded ("約 9.99 MB" for 9.99999 MB).
std::wstring SizeText(long double bytes);
std::wstring ByteSizeText(std::int64_t bytes);
// Size text of clusters × sectors per cluster × bytes per sector; "-- MB"
// when all three are 0 (no value).
std::wstring ClusterSizeText(std::uint32_t clusters, std::uint32_t sectorsPerCluster,
                             std::uint32_t bytesPerSector);
// "-- MB" for 0, otherwise the megabytes rounded, right-aligned in four places.
std::wstring MegabytesText(double megabytes);

class CStaticEx {
 public:
  virtual ~CStaticEx() = default;
  CStaticEx(const CStaticEx&) = delete;
  CStaticEx& operator=(const CStaticEx&) = delete;

  virtual std::wstring GetText() const = 0;
  // Sets the text and repaints the parent's background under the label.
  virtual void SetText(const std::wstring& text) = 0;
  // 0x00BBGGRR; repaints at once unless the colour is unchanged.
  virtual void SetLabelColour(std::uint32_t colour) = 0;
  // Back to the system's window-text colour; the next text change repaints.
  virtual void ResetLabelColour() = 0;
  virtual void SetLabelFontHeight(int height) = 0;

  // Leaves the label alone (no repaint, no flicker) when the text is the same.
  void SetTextIfChanged(const std::wstring& text);
  void ShowClusterSize(std::uint32_t clusters, std::uint32_t sectorsPerCluster,
                       std::uint32_t bytesPerSector);
  void ShowByteSize(std::int64_t bytes);
  void ShowMegabytes(double megabytes);

 protected:
  CStaticEx() = default;
};

}  // namespace ui
