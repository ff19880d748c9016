#include "ui/static_ex.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "os/text_encoding.h"

namespace {

// A label that remembers every text it was given.
class RecordingLabel : public ui::CStaticEx {
 public:
  std::wstring GetText() const override { return text_; }
  void SetText(const std::wstring& text) override {
    text_ = text;
    sets_.push_back(text);
  }
  void SetLabelColour(std::uint32_t) override {}
  void ResetLabelColour() override {}
  void SetLabelFontHeight(int) override {}

  const std::vector<std::wstring>& Sets() const { return sets_; }

 private:
  std::wstring text_;
  std::vector<std::wstring> sets_;
};

std::wstring W(const char* utf8) { return os::WideFromUtf8(utf8); }

TEST(SizeTextTest, ByteCounts) {
  struct Case {
    std::int64_t bytes;
    const char* text;
  };
  const Case cases[] = {
      {0, "0 バイト"},
      {1, "約 0 KB"},
      {1023, "約 0 KB"},
      {1024, "約 1 KB"},
      {1048575, "約 1023 KB"},
      // Exactly 1 MB is printed from 0.995, a hair below the half-way point.
      {1048576, "約 0.99 MB"},
      {1048576 + 5243, "約 1.00 MB"},
      {2000000, "約 1.90 MB"},
      {10485759, "約 9.99 MB"},
      {10485760, "約  9.9 MB"},
      {10485760 + 52429, "約 10.0 MB"},
      {50 * 1048576 + 943718, "約 50.9 MB"},
      // 99.99999 MB stays below 100 in single precision...
      {104857590, "約 99.9 MB"},
      // ...99.999999 MB rounds up to it.
      {104857599, "約 100 MB"},
      {104857600, "約 100 MB"},
      {1073741824, "約 1024 MB"},
      {2000000000000, "約 1907348 MB"},
      // 4 PB and more: the whole figure, not a 32-bit remainder.
      {(std::int64_t{1} << 52) + (std::int64_t{512} << 20), "約 4294967808 MB"},
      // A negative used space (totals that disagree) shows its sign.
      {-524288, "約 -512 KB"},
      {-5 * 1048576 - 524288, "約 -5 MB"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ui::ByteSizeText(c.bytes), W(c.text)) << c.bytes;
  }
}

TEST(SizeTextTest, ClusterProductDoesNotOverflow) {
  struct Case {
    std::uint32_t clusters, sectors, bytes;
    const char* text;
  };
  const Case cases[] = {
      {0, 0, 0, "-- MB"},
      {0, 8, 512, "0 バイト"},
      {250000, 0, 512, "0 バイト"},
      {250000, 8, 512, "約 976 MB"},
      {750000, 8, 512, "約 2929 MB"},
      // 8 GiB and 2 TiB: far beyond 32 bits.
      {2097152, 8, 512, "約 8192 MB"},
      {0xFFFFFFFFu, 1, 512, "約 2097152 MB"},
      {1, 1, 1048576, "約 0.99 MB"},
      // About 2^96 bytes: single precision keeps 2^76 MB.
      {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, "約 75557863725914323419136 MB"},
      {2, 8, 512, "約 8 KB"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ui::ClusterSizeText(c.clusters, c.sectors, c.bytes), W(c.text))
        << c.clusters << " x " << c.sectors << " x " << c.bytes;
  }
}

TEST(SizeTextTest, Megabytes) {
  struct Case {
    double megabytes;
    const char* text;
  };
  const Case cases[] = {
      {0.0, "-- MB"},
      {-0.0, "-- MB"},
      {5.7, "約    6 MB"},
      {0.4, "約    0 MB"},
      {976.5625, "約  977 MB"},
      {12345.0, "約 12345 MB"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ui::MegabytesText(c.megabytes), W(c.text)) << c.megabytes;
  }
}

TEST(StaticExTest, SameTextIsSetOnce) {
  RecordingLabel label;
  label.SetTextIfChanged(L"Album");
  label.SetTextIfChanged(L"Album");
  label.SetTextIfChanged(L"album");
  EXPECT_EQ(label.Sets(), (std::vector<std::wstring>{L"Album", L"album"}));
}

TEST(StaticExTest, SizeOperationsShowTheirTextOnlyOnChange) {
  RecordingLabel label;
  label.ShowClusterSize(0, 0, 0);
  label.ShowMegabytes(0.0);  // same "-- MB"
  label.ShowByteSize(2000000);
  label.ShowClusterSize(3125, 8, 80);  // the same 2,000,000 bytes
  label.ShowMegabytes(5.7);
  label.ShowByteSize(0);
  label.ShowClusterSize(0, 8, 512);  // 0 bytes again
  EXPECT_EQ(label.Sets(), (std::vector<std::wstring>{W("-- MB"), W("約 1.90 MB"),
                                                     W("約    6 MB"), W("0 バイト")}));
}

}  // namespace
