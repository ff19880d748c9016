#include "resources/rc_string_table.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <optional>
#include <sstream>

#include "os/text_encoding.h"

namespace res {
namespace {

bool ReadFile(const std::filesystem::path& path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) return false;
  *text = content.str();
  return true;
}

bool IsWordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

bool EqualsIgnoringCase(const std::string& a, const char* b) {
  std::size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) != b[i]) return false;
  }
  return i == a.size() && b[i] == '\0';
}

// A decimal or 0x-hexadecimal literal, optionally negative, optionally in
// parentheses; nothing else.
std::optional<long long> ParseInteger(std::string text) {
  while (text.size() >= 2 && text.front() == '(' && text.back() == ')') {
    text = text.substr(1, text.size() - 2);
  }
  bool negative = false;
  if (!text.empty() && text[0] == '-') {
    negative = true;
    text.erase(0, 1);
  }
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.erase(0, 2);
  }
  if (text.empty() || text.size() > 9) return std::nullopt;
  long long value = 0;
  for (char c : text) {
    const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                      : base == 16 && std::isxdigit(static_cast<unsigned char>(c))
                          ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                          : -1;
    if (digit < 0) return std::nullopt;
    value = value * base + digit;
  }
  return negative ? -value : value;
}

// `#define NAME value` lines with an integer value; anything else is skipped.
std::map<std::string, long long> ParseDefines(const std::string& header) {
  std::map<std::string, long long> defines;
  std::istringstream lines(header);
  std::string line;
  while (std::getline(lines, line)) {
    const std::size_t comment = line.find("//");
    if (comment != std::string::npos) line.erase(comment);
    std::istringstream words(line);
    std::string directive, name, value, rest;
    if (!(words >> directive >> name >> value) || directive != "#define") continue;
    if (words >> rest) continue;
    if (const auto number = ParseInteger(value)) defines[name] = *number;
  }
  return defines;
}

struct Token {
  enum Kind { kEnd, kWord, kString, kComma, kOpen, kClose } kind = kEnd;
  std::string text;  // the word, or the string's bytes with escapes resolved
  int line = 0;
};

// Tokens of a resource script: words, string literals, commas and braces.
// Comments and the preprocessor lines a string script needs (#pragma,
// #include) are skipped; other directives are refused rather than misread.
class Lexer {
 public:
  explicit Lexer(const std::string& text) : text_(text) {
    if (text_.compare(0, 3, "\xEF\xBB\xBF") == 0) pos_ = start_ = 3;
  }

  bool Next(Token* token, std::string* error) {
    if (!SkipSpaceAndComments(error)) return false;
    token->line = line_;
    token->text.clear();
    if (pos_ >= text_.size()) {
      token->kind = Token::kEnd;
      return true;
    }
    const char c = text_[pos_];
    if (c == '"') return ReadString(token, error);
    if (c == ',' || c == '{' || c == '}') {
      token->kind = c == ',' ? Token::kComma : c == '{' ? Token::kOpen : Token::kClose;
      ++pos_;
      return true;
    }
    if (IsWordChar(c) || c == '-' || c == '(') {
      token->kind = Token::kWord;
      while (pos_ < text_.size() &&
             (IsWordChar(text_[pos_]) || text_[pos_] == '-' || text_[pos_] == '(' ||
              text_[pos_] == ')')) {
        token->text.push_back(text_[pos_++]);
      }
      return true;
    }
    *error = Where() + "unexpected character";
    return false;
  }

  std::string Where() const { return "line " + std::to_string(line_) + ": "; }

 private:
  bool SkipSpaceAndComments(std::string* error) {
    bool line_start = pos_ == start_ || text_[pos_ - 1] == '\n';
    while (pos_ < text_.size()) {
      const char c = text_[pos_];
      if (c == '\n') {
        ++line_;
        ++pos_;
        line_start = true;
      } else if (c == ' ' || c == '\t' || c == '\r') {
        ++pos_;
      } else if (text_.compare(pos_, 2, "//") == 0) {
        pos_ = std::min(text_.find('\n', pos_), text_.size());
      } else if (text_.compare(pos_, 2, "/*") == 0) {
        const std::size_t end = text_.find("*/", pos_ + 2);
        if (end == std::string::npos) {
          *error = Where() + "unterminated comment";
          return false;
        }
        for (std::size_t i = pos_; i < end; ++i) line_ += text_[i] == '\n';
        pos_ = end + 2;
      } else if (c == '#' && line_start) {
        if (text_.compare(pos_, 7, "#pragma") != 0 && text_.compare(pos_, 8, "#include") != 0) {
          *error = Where() + "unsupported preprocessor directive";
          return false;
        }
        pos_ = std::min(text_.find('\n', pos_), text_.size());
      } else {
        return true;
      }
    }
    return true;
  }

  bool ReadString(Token* token, std::string* error) {
    token->kind = Token::kString;
    ++pos_;  // opening quote
    while (pos_ < text_.size()) {
      const char c = text_[pos_++];
      if (c == '"') {
        if (pos_ < text_.size() && text_[pos_] == '"') {  // "" stands for one quote
          token->text.push_back('"');
          ++pos_;
          continue;
        }
        return true;
      }
      if (c == '\n') break;
      if (c != '\\') {
        token->text.push_back(c);
        continue;
      }
      const char escaped = pos_ < text_.size() ? text_[pos_++] : '\0';
      switch (escaped) {
        case 'n': token->text.push_back('\n'); break;
        case 'r': token->text.push_back('\r'); break;
        case 't': token->text.push_back('\t'); break;
        case '\\': token->text.push_back('\\'); break;
        default:
          *error = Where() + "unsupported escape in a string";
          return false;
      }
    }
    *error = Where() + "unterminated string";
    return false;
  }

  const std::string& text_;
  std::size_t start_ = 0;  // after a byte-order mark
  std::size_t pos_ = 0;
  int line_ = 1;
};

}  // namespace

RcStringTable::RcStringTable(const std::filesystem::path& folder) {
  std::string script;
  std::string header;
  if (!ReadFile(folder / "strings.rc", &script)) {
    error_ = "cannot read strings.rc";
    return;
  }
  // Without the header only numeric ids resolve; a symbol then reports itself.
  ReadFile(folder / "resource.h", &header);
  Parse(script, header);
}

RcStringTable RcStringTable::FromText(const std::string& script, const std::string& header) {
  RcStringTable table;
  table.Parse(script, header);
  return table;
}

std::wstring RcStringTable::Load(unsigned id) const {
  const auto it = texts_.find(id);
  return it == texts_.end() ? std::wstring() : it->second;
}

std::vector<unsigned> RcStringTable::Ids() const {
  std::vector<unsigned> ids;
  ids.reserve(texts_.size());
  for (const auto& entry : texts_) ids.push_back(entry.first);
  return ids;
}

void RcStringTable::Parse(const std::string& script, const std::string& header) {
  const std::map<std::string, long long> defines = ParseDefines(header);
  std::map<unsigned, std::wstring> texts;
  Lexer lexer(script);
  Token token;
  std::string error;

  auto fail = [&](const std::string& what) {
    error_ = error.empty() ? lexer.Where() + what : error;
    texts_.clear();
    loaded_ = false;
  };
  auto next = [&]() { return lexer.Next(&token, &error); };

  if (!next()) return fail("");
  while (token.kind != Token::kEnd) {
    if (token.kind != Token::kWord || !EqualsIgnoringCase(token.text, "STRINGTABLE")) {
      return fail("STRINGTABLE expected");
    }
    // Options (LANGUAGE, memory flags, ...) up to the opening of the block.
    do {
      if (!next()) return fail("");
      if (token.kind == Token::kEnd || token.kind == Token::kString) {
        return fail("BEGIN expected");
      }
    } while (token.kind != Token::kOpen &&
             !(token.kind == Token::kWord && EqualsIgnoringCase(token.text, "BEGIN")));

    for (;;) {
      if (!next()) return fail("");
      if (token.kind == Token::kClose ||
          (token.kind == Token::kWord && EqualsIgnoringCase(token.text, "END"))) {
        break;
      }
      if (token.kind != Token::kWord) return fail("string id expected");
      std::optional<long long> id = ParseInteger(token.text);
      if (!id) {
        const auto symbol = defines.find(token.text);
        if (symbol == defines.end()) return fail("unknown id " + token.text);
        id = symbol->second;
      }
      if (*id < 0 || *id > 0xFFFF) return fail("id out of range: " + token.text);
      if (!next()) return fail("");
      if (token.kind == Token::kComma && !next()) return fail("");
      if (token.kind != Token::kString) return fail("string expected");
      const std::wstring text = os::WideFromUtf8(token.text);
      if (os::Utf8FromWide(text) != token.text) return fail("text is not UTF-8");
      if (!texts.emplace(static_cast<unsigned>(*id), text).second) {
        return fail("id " + std::to_string(*id) + " appears twice");
      }
    }
    if (!next()) return fail("");
  }
  texts_ = std::move(texts);
  loaded_ = true;
  error_.clear();
}

}  // namespace res
