#include "app/os_level.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "fakes/fake_system.h"

namespace {

constexpr std::uint32_t k9x = 1;
constexpr std::uint32_t kNt = 2;

TEST(OsLevelTest, ClassifiesEveryVersionRecord) {
  struct Case {
    const char* name;
    os::OsVersion version;
    std::int32_t level;
  };
  const Case cases[] = {
      // 9x family: major.minor sits in the build number's high word.
      {"95", {k9x, 4, 0, 0x040003B6, L""}, 0},
      {"98", {k9x, 4, 10, 0x040A07CE, L" "}, 6},
      {"98 SE", {k9x, 4, 10, 0x040A08AE, L" A "}, 7},
      {"98, 'A' first", {k9x, 4, 10, 0x040A08AE, L"A"}, 6},
      {"98, 'A' third", {k9x, 4, 10, 0x040A08AE, L"  A"}, 6},
      {"98, lower-case 'a'", {k9x, 4, 10, 0x040A08AE, L" a "}, 6},
      {"98, 'B'", {k9x, 4, 10, 0x040A08AE, L" B "}, 6},
      {"98, no service-pack text", {k9x, 4, 10, 0x040A08AE, L""}, 6},
      {"Me", {k9x, 4, 90, 0x045A0BB8, L" "}, 8},
      {"Me with an 'A'", {k9x, 4, 90, 0x045A0BB8, L" A "}, 8},
      {"4.10 high word, major 5", {k9x, 5, 10, 0x040A08AE, L" A "}, 0},
      {"4.90 high word, major 3", {k9x, 3, 90, 0x045A0BB8, L""}, 0},
      {"4.10 only in the low word", {k9x, 4, 10, 0x0000040A, L""}, 0},
      // NT family.
      {"NT 4", {kNt, 4, 0, 1381, L"Service Pack 6"}, 0},
      {"2000", {kNt, 5, 0, 2195, L"Service Pack 4"}, 9},
      {"XP", {kNt, 5, 1, 2600, L"Service Pack 3"}, 10},
      {"Server 2003", {kNt, 5, 2, 3790, L"Service Pack 2"}, 11},
      {"5.3", {kNt, 5, 3, 0, L""}, 255},
      {"Vista", {kNt, 6, 0, 6002, L""}, 255},
      {"10", {kNt, 10, 0, 19045, L""}, 255},
      // Neither family.
      {"Win32s", {0, 5, 1, 2600, L""}, 0},
      {"CE", {3, 5, 1, 2600, L""}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(app::ClassifyOs(c.version), c.level);
  }
}

TEST(OsLevelTest, AcceptsXpServer2003AndLaterNtOnly) {
  const struct {
    std::int32_t level;
    bool accepted;
  } cases[] = {{0, false}, {6, false}, {7, false},  {8, false},   {9, false},
               {10, true}, {11, true}, {12, false}, {254, false}, {255, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.level);
    EXPECT_EQ(app::IsAcceptedOsLevel(c.level), c.accepted);
  }
}

TEST(OsLevelTest, ClassifiesTheRunningSystem) {
  fakes::FakeSystem system;
  system.SetVersion({kNt, 5, 0, 2195, L"Service Pack 4"});
  EXPECT_EQ(app::ClassifyOs(system), 9);
  system.SetVersion({kNt, 6, 1, 7601, L"Service Pack 1"});
  EXPECT_EQ(app::ClassifyOs(system), 255);
}

}  // namespace
