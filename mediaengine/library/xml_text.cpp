#include "mediaengine/library/xml_text.h"

#include <algorithm>
#include <string_view>

#include "os/text_encoding.h"

namespace mediaengine {
namespace {

bool IsSpace(char32_t c) { return c == 0x20 || c == 0x09 || c == 0x0A || c == 0x0D; }

bool IsNameStart(char32_t c) {
  return (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') || c == U'_' || c == U':' ||
         (c >= 0x80 && IsXmlChar(c));
}

bool IsNameChar(char32_t c) {
  return IsNameStart(c) || (c >= U'0' && c <= U'9') || c == U'-' || c == U'.';
}

std::wstring WideOf(const std::u32string& text) {
  std::wstring out;
  for (char32_t c : text) os::AppendCodePoint(c, &out);
  return out;
}

class Reader {
 public:
  Reader(const std::wstring& document, std::vector<XmlElement>* elements)
      : s_(os::CodePointsOf(document)), out_(elements) {}

  bool Run() {
    if (!std::all_of(s_.begin(), s_.end(), IsXmlChar)) return false;
    while (pos_ < s_.size()) {
      if (s_[pos_] == U'<') {
        if (!Markup()) return false;
      } else if (open_.empty()) {
        if (!IsSpace(s_[pos_++])) return false;  // only blanks outside the root
      } else if (s_[pos_] == U'&') {
        if (!Reference(&Top().text)) return false;
      } else {
        os::AppendCodePoint(s_[pos_++], &Top().text);
      }
    }
    return rootSeen_ && open_.empty();
  }

 private:
  XmlElement& Top() { return (*out_)[open_.back()]; }

  bool At(const char32_t* literal) const {
    const std::u32string_view view(literal);
    return s_.compare(pos_, view.size(), view) == 0;
  }

  // Moves past the next `literal`; false when there is none.
  bool SkipPast(const char32_t* literal) {
    const std::u32string_view view(literal);
    const std::size_t at = s_.find(view.data(), pos_, view.size());
    if (at == std::u32string::npos) return false;
    pos_ = at + view.size();
    return true;
  }

  void SkipSpace() {
    while (pos_ < s_.size() && IsSpace(s_[pos_])) ++pos_;
  }

  bool Markup() {
    if (At(U"<!--")) return SkipPast(U"-->");
    if (At(U"<?")) return SkipPast(U"?>");
    if (At(U"<![CDATA[")) {
      if (open_.empty()) return false;
      const std::size_t begin = pos_ + 9;
      pos_ = begin;
      if (!SkipPast(U"]]>")) return false;
      Top().text += WideOf(s_.substr(begin, pos_ - 3 - begin));
      return true;
    }
    if (At(U"<!")) return false;  // a DOCTYPE could declare entities: not for us
    if (At(U"</")) return EndTag();
    return StartTag();
  }

  bool Name(std::wstring* name) {
    if (pos_ >= s_.size() || !IsNameStart(s_[pos_])) return false;
    const std::size_t begin = pos_;
    while (pos_ < s_.size() && IsNameChar(s_[pos_])) ++pos_;
    *name = WideOf(s_.substr(begin, pos_ - begin));
    return true;
  }

  // "&lt;", "&#65;", "&#x41;" and the like; pos_ is at the "&".
  bool Reference(std::wstring* text) {
    const std::size_t end = s_.find(U';', pos_);
    if (end == std::u32string::npos || end - pos_ > 12) return false;
    const std::u32string name = s_.substr(pos_ + 1, end - pos_ - 1);
    pos_ = end + 1;
    static const struct {
      const char32_t* name;
      wchar_t c;
    } kEntities[] = {
        {U"lt", L'<'}, {U"gt", L'>'}, {U"amp", L'&'}, {U"quot", L'"'}, {U"apos", L'\''},
    };
    for (const auto& entity : kEntities) {
      if (name == entity.name) {
        text->push_back(entity.c);
        return true;
      }
    }
    if (name.size() < 2 || name[0] != U'#') return false;
    const bool hex = name[1] == U'x';
    const std::size_t first = hex ? 2 : 1;
    if (first == name.size()) return false;
    char32_t value = 0;
    for (std::size_t i = first; i < name.size(); ++i) {
      const char32_t c = name[i];
      int digit = -1;
      if (c >= U'0' && c <= U'9') digit = static_cast<int>(c - U'0');
      if (hex && c >= U'a' && c <= U'f') digit = static_cast<int>(c - U'a' + 10);
      if (hex && c >= U'A' && c <= U'F') digit = static_cast<int>(c - U'A' + 10);
      if (digit < 0) return false;
      value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
      if (value > 0x10FFFF) return false;
    }
    if (!IsXmlChar(value)) return false;
    os::AppendCodePoint(value, text);
    return true;
  }

  bool StartTag() {
    ++pos_;
    XmlElement element;
    if (!Name(&element.name)) return false;
    if (open_.empty() && rootSeen_) return false;  // a second root
    for (;;) {
      const std::size_t before = pos_;
      SkipSpace();
      if (At(U"/>") || At(U">")) break;
      if (pos_ == before) return false;  // attributes are set apart by blanks
      std::wstring name, value;
      if (!Name(&name)) return false;
      SkipSpace();
      if (pos_ >= s_.size() || s_[pos_++] != U'=') return false;
      SkipSpace();
      if (pos_ >= s_.size() || (s_[pos_] != U'"' && s_[pos_] != U'\'')) return false;
      const char32_t quote = s_[pos_++];
      while (pos_ < s_.size() && s_[pos_] != quote) {
        const char32_t c = s_[pos_];
        if (c == U'<') return false;
        if (c == U'&') {
          if (!Reference(&value)) return false;
          continue;
        }
        // Blanks written as such read as spaces; only references keep them.
        os::AppendCodePoint(IsSpace(c) ? U' ' : c, &value);
        ++pos_;
      }
      if (pos_ >= s_.size()) return false;
      ++pos_;
      std::wstring ignored;
      if (element.Attribute(name, &ignored)) return false;  // given twice
      element.attributes.emplace_back(std::move(name), std::move(value));
    }
    const bool empty = At(U"/>");
    pos_ += empty ? 2 : 1;
    element.depth = static_cast<int>(open_.size());
    rootSeen_ = true;
    out_->push_back(std::move(element));
    if (!empty) open_.push_back(out_->size() - 1);
    return true;
  }

  bool EndTag() {
    pos_ += 2;
    std::wstring name;
    if (open_.empty() || !Name(&name) || name != Top().name) return false;
    SkipSpace();
    if (pos_ >= s_.size() || s_[pos_++] != U'>') return false;
    open_.pop_back();
    return true;
  }

  const std::u32string s_;
  std::vector<XmlElement>* out_;
  std::size_t pos_ = 0;
  std::vector<std::size_t> open_;  // indices of the open elements in *out_
  bool rootSeen_ = false;
};

}  // namespace

bool IsXmlChar(char32_t c) {
  return c == 0x09 || c == 0x0A || c == 0x0D || (c >= 0x20 && c <= 0xD7FF) ||
         (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

std::wstring XmlEscape(const std::wstring& text) {
  std::wstring out;
  out.reserve(text.size());
  for (char32_t c : os::CodePointsOf(text)) {
    switch (c) {
      case U'&': out += L"&amp;"; break;
      case U'<': out += L"&lt;"; break;
      case U'>': out += L"&gt;"; break;
      case U'"': out += L"&quot;"; break;
      case U'\'': out += L"&apos;"; break;
      case U'\t': out += L"&#9;"; break;
      case U'\n': out += L"&#10;"; break;
      case U'\r': out += L"&#13;"; break;
      default: os::AppendCodePoint(IsXmlChar(c) ? c : os::kReplacementCharacter, &out);
    }
  }
  return out;
}

bool XmlElement::Attribute(const std::wstring& attributeName, std::wstring* value) const {
  for (const auto& attribute : attributes) {
    if (attribute.first == attributeName) {
      *value = attribute.second;
      return true;
    }
  }
  return false;
}

bool ReadXmlDocument(const std::wstring& document, std::vector<XmlElement>* elements) {
  elements->clear();
  Reader reader(document, elements);
  return reader.Run();
}

}  // namespace mediaengine
