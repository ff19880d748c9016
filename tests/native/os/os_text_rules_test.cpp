// The one strict UTF-8 decoder and the file-name rules that everything
// reading names from files shares.
#include <gtest/gtest.h>

#include <string>

#include "os/device_names.h"
#include "os/file_names.h"
#include "os/text_encoding.h"

namespace {

TEST(StrictUtf8, IllFormedSequencesAreRefusedAndEachMaximalPartIsOneReplacement) {
  struct Case {
    const char* what;
    std::string bytes;
    std::wstring decoded;
  };
  const Case cases[] = {
      {"overlong line feed", "a\xC0\x8A" "b", L"a\uFFFD\uFFFDb"},
      {"overlong slash, three bytes", "\xE0\x80\xAF", L"\uFFFD\uFFFD\uFFFD"},
      {"overlong, four bytes", "\xF0\x80\x80\xAF", L"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"high surrogate", "\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD"},
      {"low surrogate", "\xED\xBF\xBF", L"\uFFFD\uFFFD\uFFFD"},
      {"above U+10FFFF", "\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"U+1FFFFF", "\xF7\xBF\xBF\xBF", L"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"five-byte form", "\xF8\x88\x80\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"truncated three-byte", "\xE3\x83", L"\uFFFD"},
      {"truncated four-byte then ASCII", "\xF0\x9F\x8E=", L"\uFFFD="},
      {"lone continuation", "\x80" "a", L"\uFFFDa"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_FALSE(os::IsValidUtf8(c.bytes));
    EXPECT_EQ(os::WideFromUtf8(c.bytes), c.decoded);
  }
}

TEST(StrictUtf8, TheEdgesOfEachRangeAreAccepted) {
  const struct {
    std::string bytes;
    char32_t c;
  } cases[] = {
      {"\x7F", 0x7F},          {"\xC2\x80", 0x80},          {"\xDF\xBF", 0x7FF},
      {"\xE0\xA0\x80", 0x800}, {"\xED\x9F\xBF", 0xD7FF},    {"\xEE\x80\x80", 0xE000},
      {"\xEF\xBF\xBF", 0xFFFF}, {"\xF0\x90\x80\x80", 0x10000}, {"\xF4\x8F\xBF\xBF", 0x10FFFF},
      {"\xEF\xBF\xBD", 0xFFFD},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(os::IsValidUtf8(c.bytes)) << std::hex << c.c;
    std::wstring expected;
    os::AppendCodePoint(c.c, &expected);
    EXPECT_EQ(os::WideFromUtf8(c.bytes), expected) << std::hex << c.c;
    EXPECT_EQ(os::Utf8FromWide(expected), c.bytes) << std::hex << c.c;
  }
}

TEST(StrictUtf8, WhatIsWrittenIsAlwaysWellFormed) {
  std::wstring lone;
  lone.push_back(static_cast<wchar_t>(0xD800));
  lone += L"x";
  lone.push_back(static_cast<wchar_t>(0xDFFF));
  EXPECT_EQ(os::Utf8FromWide(lone), "\xEF\xBF\xBDx\xEF\xBF\xBD");
  if constexpr (sizeof(wchar_t) == 4) {
    const std::wstring beyond(1, static_cast<wchar_t>(0x110000));
    EXPECT_EQ(os::Utf8FromWide(beyond), "\xEF\xBF\xBD");
    EXPECT_EQ(os::Utf16FromWide(beyond), std::u16string(1, u'\uFFFD'));
    const std::wstring negative(1, static_cast<wchar_t>(-1));
    EXPECT_EQ(os::Utf8FromWide(negative), "\xEF\xBF\xBD");
  }
}

TEST(FileNames, DeviceNamesAreFoundWithExtensionsBlanksAndAnyCase) {
  const struct {
    const wchar_t* name;
    bool device;
  } cases[] = {
      {L"NUL", true},      {L"NUL.mix", true},   {L"CON .x", true},   {L"aux.2024", true},
      {L"COM1.a", true},   {L"lpt9", true},      {L"Com9 .txt", true}, {L"PRN..", true},
      {L"conin$", true},   {L"CONOUT$.txt", true}, {L"COM\u00B9", true}, {L"nul.tar.gz", true},
      {L"COM10", false},   {L"CONSOLE", false},  {L"NULL.wpl", false}, {L"AUXILIARY", false},
      {L"_NUL", false},    {L"LPT", false},      {L"ＣＯＮ", false},   {L"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(os::IsReservedDeviceName(c.name), c.device) << c.name;
}

TEST(FileNames, PlainNamesStayInTheirFolder) {
  const struct {
    const wchar_t* name;
    bool plain;
  } cases[] = {
      {L"disc.bin", true},   {L"東京 (live).bin", true}, {L".hidden", true},  {L"a..b", true},
      {L"", false},          {L".", false},              {L"..", false},      {L"..\\x.bin", false},
      {L"a/b.bin", false},   {L"C:x.bin", false},        {L"*.bin", false},   {L"a?.bin", false},
      {L"a\"b", false},      {L"a<b>", false},           {L"a|b", false},     {L"CON", false},
      {L"nul.bin", false},   {L"trailing.", false},      {L"trailing ", false}, {L"tab\there", false},
  };
  for (const auto& c : cases) EXPECT_EQ(os::IsPlainFileName(c.name), c.plain) << c.name;
  std::wstring broken = L"a";
  broken.push_back(static_cast<wchar_t>(0xDC00));
  EXPECT_FALSE(os::IsPlainFileName(broken)) << "a lone surrogate";
}

}  // namespace
