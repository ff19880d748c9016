#pragma once
// A skinned label in memory: its text, its colour (or the system's) and how
// often it was repainted.
#include <cstdint>
#include <string>

#include "ui/static_ex.h"

namespace fakes {

class FakeLabel : public ui::CStaticEx {
 public:
  std::wstring GetText() const override { return text_; }
  void SetText(const std::wstring& text) override {
    text_ = text;
    ++repaints_;
  }
  void SetLabelColour(std::uint32_t colour) override {
    if (!systemColour_ && colour_ == colour) return;
    colour_ = colour;
    systemColour_ = false;
    ++repaints_;
  }
  void ResetLabelColour() override { systemColour_ = true; }
  void SetLabelFontHeight(int height) override { fontHeight_ = height; }

  bool HasSystemColour() const { return systemColour_; }
  std::uint32_t Colour() const { return colour_; }
  int Repaints() const { return repaints_; }
  int FontHeight() const { return fontHeight_; }

 private:
  std::wstring text_;
  std::uint32_t colour_ = 0;
  bool systemColour_ = true;
  int repaints_ = 0;
  int fontHeight_ = 0;
};

}  // namespace fakes
