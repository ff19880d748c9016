// The string table as the core reads it from the resource script: every id
// the tool uses, exact texts where encoding or escapes could go wrong, and
// damaged scripts that must leave an empty table instead of half the texts.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "resources/rc_string_table.h"
#include "resources/resource.h"

namespace {

namespace fs = std::filesystem;

class ToolStrings : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { table_ = new res::RcStringTable(MARIMBA_RESOURCE_DIR); }
  static void TearDownTestSuite() {
    delete table_;
    table_ = nullptr;
  }
  static res::RcStringTable* table_;
};
res::RcStringTable* ToolStrings::table_ = nullptr;

TEST_F(ToolStrings, HoldExactlyTheIdsTheToolUses) {
  ASSERT_TRUE(table_->Loaded()) << table_->Error();
  const std::vector<unsigned> expected = {
      101, 102, 202, 206, 207, 208, 209, 210, 211, 212, 213, 300, 302, 304, 305, 306,
      307, 308, 314, 315, 316, 400, 500, 501, 700, 701, 702, 703, 704, 705, 706, 707,
      708, 709, 712, 719, 720, 721, 722, 723, 725, 800, 801, 802, 803, 804, 900, 901,
      902, 903, 904};
  EXPECT_EQ(table_->Ids(), expected);
}

TEST_F(ToolStrings, EveryTextIsCleanlyDecoded) {
  ASSERT_TRUE(table_->Loaded()) << table_->Error();
  for (unsigned id : table_->Ids()) {
    const std::wstring text = table_->Load(id);
    SCOPED_TRACE(id);
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(text.find(L'\uFFFD'), std::wstring::npos) << "undecodable bytes";
    EXPECT_EQ(text.find(L'\\'), std::wstring::npos) << "escape left in the text";
    EXPECT_EQ(text.find(L'"'), std::wstring::npos);
    EXPECT_EQ(text.find(L'\r'), std::wstring::npos);
  }
}

TEST_F(ToolStrings, ReadExactlyAsWritten) {
  ASSERT_TRUE(table_->Loaded()) << table_->Error();
  EXPECT_EQ(table_->Load(IDS_APP_TITLE), L"ルミナート");
  // Line feeds and the ideographic space that indents each line.
  EXPECT_EQ(table_->Load(900), L"\n\u3000音楽ＣＤをＣＤドライブに\n\u3000挿入してください。");
  EXPECT_EQ(table_->Load(307),
            L"\u3000６４ Ｋｂｐｓ（データサイズが小さいため、録音できる曲数が増えます）");
  EXPECT_EQ(table_->Load(725),
            L"音楽ＣＤデータの取り込みに失敗しました。\n再度、音楽ＣＤを入れ直してください。");
  EXPECT_EQ(table_->Load(719),
            L"音楽データを転送（同期）するために、デジタルオーディオプレーヤー側に十分な空きエリア"
            L"がありません。継続しますか？（プレーヤー側のエリアが一杯になるまで曲を転送します。）");
  EXPECT_EQ(table_->Load(315),
            L"音楽CDのデータ転送を開始します。別のCDに入れ替える場合は、キャンセルを押してください。");
  // An ordinary space after the full-width comma.
  EXPECT_EQ(table_->Load(701),
            L"このアプリケーションは、 Windows XP Home/Professional のみで動作可能です。");
  EXPECT_EQ(table_->Load(101), L"ルミナートのバージョン情報(&A)...");
}

TEST_F(ToolStrings, UnknownIdGivesEmptyText) {
  EXPECT_EQ(table_->Load(103), L"");
  EXPECT_EQ(table_->Load(0), L"");
}

// The parser on scripts of its own.

const char kHeader[] =
    "#pragma once\n"
    "#define IDS_ONE 1   // trailing comment\n"
    "#define IDS_HEX 0x20\n"
    "#ifndef IDC_STATIC\n#define IDC_STATIC (-1)\n#endif\n"
    "#define NOT_A_NUMBER IDS_ONE\n";

TEST(RcScript, ResolvesIdsAndEscapes) {
  const auto table = res::RcStringTable::FromText(
      "\xEF\xBB\xBF#pragma code_page(65001)\n"
      "#include \"resource.h\"\n"
      "/* a block\n   comment */\n"
      "STRINGTABLE LANGUAGE 17, 1\n"
      "BEGIN\n"
      "  IDS_ONE \"say \"\"hi\"\"\"  // comment after an entry\n"
      "  IDS_HEX, \"tab\\there\\\\ \\r\\n\"\n"
      "  7 \"\xE3\x80\x80\xE9\x9F\xB3\"\n"
      "END\n"
      "stringtable { 0x10 \"\" }\n",
      kHeader);
  ASSERT_TRUE(table.Loaded()) << table.Error();
  EXPECT_EQ(table.Ids(), (std::vector<unsigned>{1, 7, 16, 32}));
  EXPECT_EQ(table.Load(1), L"say \"hi\"");
  EXPECT_EQ(table.Load(32), L"tab\there\\ \r\n");
  EXPECT_EQ(table.Load(7), L"\u3000音");
  EXPECT_EQ(table.Load(16), L"");
}

TEST(RcScript, RefusesDamagedScriptsWhole) {
  const char kGood[] = "STRINGTABLE\nBEGIN\n  IDS_ONE \"one\"\n";
  const struct {
    const char* what;
    std::string script;
  } cases[] = {
      {"unterminated string", std::string(kGood) + "  7 \"seven\nEND\n"},
      {"missing END", kGood},
      {"unknown symbol", std::string(kGood) + "  IDS_MISSING \"x\"\nEND\n"},
      {"symbol that is no number", std::string(kGood) + "  NOT_A_NUMBER \"x\"\nEND\n"},
      {"duplicate id", std::string(kGood) + "  1 \"again\"\nEND\n"},
      {"id out of range", std::string(kGood) + "  70000 \"x\"\nEND\n"},
      {"negative id", std::string(kGood) + "  IDC_STATIC \"x\"\nEND\n"},
      {"invalid UTF-8", std::string(kGood) + "  7 \"\xE3\x80\"\nEND\n"},
      {"unknown escape", std::string(kGood) + "  7 \"a\\qb\"\nEND\n"},
      {"id without text", std::string(kGood) + "  7\nEND\n"},
      {"other statement", "IDD_X DIALOGEX 0, 0, 1, 1\n"},
      {"conditional", "#ifdef X\nSTRINGTABLE { 1 \"a\" }\n#endif\n"},
      {"open comment", std::string(kGood) + "/* END\n"},
      {"binary", std::string("\0\x01\xFF\xFE", 4)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto table = res::RcStringTable::FromText(c.script, kHeader);
    EXPECT_FALSE(table.Loaded());
    EXPECT_FALSE(table.Error().empty());
    EXPECT_TRUE(table.Ids().empty());
    EXPECT_EQ(table.Load(1), L"");
  }
}

TEST(RcScript, EmptyScriptIsAnEmptyTable) {
  const auto table = res::RcStringTable::FromText("// nothing yet\n", "");
  EXPECT_TRUE(table.Loaded());
  EXPECT_TRUE(table.Ids().empty());
}

// Reading from a folder.

class RcFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/marimba-rc-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    dir_ = name;
  }
  void TearDown() override { fs::remove_all(dir_); }
  void Write(const char* file, const std::string& text) {
    std::ofstream(dir_ / file, std::ios::binary) << text;
  }
  fs::path dir_;
};

TEST_F(RcFolder, ReadsScriptWithItsHeader) {
  Write("resource.h", kHeader);
  Write("strings.rc", "STRINGTABLE\nBEGIN\n  IDS_HEX \"x\"\nEND\n");
  const res::RcStringTable table(dir_);
  ASSERT_TRUE(table.Loaded()) << table.Error();
  EXPECT_EQ(table.Load(0x20), L"x");
}

TEST_F(RcFolder, MissingScriptOrHeaderIsReported) {
  const res::RcStringTable nothing(dir_);
  EXPECT_FALSE(nothing.Loaded());
  EXPECT_EQ(nothing.Load(102), L"");

  // Without the header the symbols cannot be resolved.
  Write("strings.rc", "STRINGTABLE\nBEGIN\n  IDS_ONE \"x\"\nEND\n");
  const res::RcStringTable no_header(dir_);
  EXPECT_FALSE(no_header.Loaded());
  EXPECT_EQ(no_header.Load(1), L"");

  const res::RcStringTable no_folder(dir_ / "absent");
  EXPECT_FALSE(no_folder.Loaded());
}

TEST_F(RcFolder, TruncatedCopyOfTheRealScriptIsRefused) {
  std::ifstream in(fs::path(MARIMBA_RESOURCE_DIR) / "strings.rc", std::ios::binary);
  const std::string script((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(script.size(), 200u);
  std::ifstream header(fs::path(MARIMBA_RESOURCE_DIR) / "resource.h", std::ios::binary);
  Write("resource.h", std::string((std::istreambuf_iterator<char>(header)),
                                  std::istreambuf_iterator<char>()));
  // Cut in the middle of a multi-byte character, then just before END.
  const std::size_t inside = script.find("ルミナート\"") + 4;
  Write("strings.rc", script.substr(0, inside));
  EXPECT_FALSE(res::RcStringTable(dir_).Loaded());
  Write("strings.rc", script.substr(0, script.rfind("END")));
  EXPECT_FALSE(res::RcStringTable(dir_).Loaded());
}

}  // namespace
