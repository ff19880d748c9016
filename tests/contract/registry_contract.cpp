// What every registry behind os::IRegistry must do, checked against the
// in-memory fake natively and against advapi32 under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "contract/subjects.h"
#include "os/reg_key.h"
#include "os/registry.h"
#include "os/text_encoding.h"

namespace {

using os::Hive;
using os::KeyAccess;
using os::RegType;


const std::wstring kBase = L"Software\\MarimbaContract";

std::size_t Depth(const std::wstring& path) {
  return static_cast<std::size_t>(std::count(path.begin(), path.end(), L'\\'));
}

class RegistryContract : public ::testing::Test {
 protected:
  void SetUp() override { registry_ = contract::MakeRegistry(); }

  void TearDown() override {
    std::vector<std::wstring> paths(made_.begin(), made_.end());
    std::sort(paths.begin(), paths.end(), [](const std::wstring& a, const std::wstring& b) {
      return Depth(a) > Depth(b);
    });
    for (const std::wstring& path : paths) registry_->DeleteKey(Hive::CurrentUser, path);
    registry_->DeleteKey(Hive::CurrentUser, kBase);
  }

  // Full path of a key below this test's base key.
  static std::wstring PathOf(const std::wstring& relative) { return kBase + L"\\" + relative; }

  // Creates a key below the base and remembers every level for the clean-up.
  os::RegKey Make(const std::wstring& relative, KeyAccess access = KeyAccess::ReadWrite) {
    for (std::size_t at = relative.find(L'\\'); at != std::wstring::npos;
         at = relative.find(L'\\', at + 1)) {
      made_.insert(PathOf(relative.substr(0, at)));
    }
    made_.insert(PathOf(relative));
    os::ErrorCode rc = -1;
    os::RegKey key = os::RegKey::Create(*registry_, Hive::CurrentUser, PathOf(relative), access, &rc);
    EXPECT_EQ(rc, os::kSuccess) << "creating " << os::Utf8FromWide(relative);
    return key;
  }

  os::RegKey Open(const std::wstring& path, KeyAccess access, os::ErrorCode* rc) {
    return os::RegKey::Open(*registry_, Hive::CurrentUser, path, access, rc);
  }

  os::ErrorCode Set(const os::RegKey& key, const std::wstring& name, RegType type,
                    const std::vector<std::uint8_t>& bytes) {
    return registry_->SetValue(key.Handle(), name, type, bytes.data(),
                               static_cast<std::uint32_t>(bytes.size()));
  }

  std::unique_ptr<os::IRegistry> registry_;
  std::set<std::wstring> made_;
};

TEST_F(RegistryContract, ValuesKeepTheirTypeAndBytes) {
  struct Case {
    const wchar_t* name;
    RegType type;
    std::vector<std::uint8_t> bytes;
  };
  const Case cases[] = {
      {L"Dword", RegType::Dword, {0x78, 0x56, 0x34, 0x12}},
      {L"String", RegType::String, os::RegStringBytes(L"MUSIC \u97F3\u697D")},
      {L"EmptyString", RegType::String, os::RegStringBytes(L"")},
      {L"Binary", RegType::Binary, {0x00, 0x01, 0xFE, 0xFF, 0x00}},
      {L"EmptyBinary", RegType::Binary, {}},
  };
  os::RegKey key = Make(L"Types");
  for (const Case& c : cases) {
    SCOPED_TRACE(os::Utf8FromWide(c.name));
    ASSERT_EQ(Set(key, c.name, c.type, c.bytes), os::kSuccess);
    std::uint8_t buffer[64];
    std::fill(std::begin(buffer), std::end(buffer), 0xCC);
    std::uint32_t size = sizeof buffer;
    RegType type = RegType::None;
    ASSERT_EQ(registry_->QueryValue(key.Handle(), c.name, &type, buffer, &size), os::kSuccess);
    EXPECT_EQ(type, c.type);
    ASSERT_EQ(size, c.bytes.size());
    EXPECT_TRUE(std::equal(c.bytes.begin(), c.bytes.end(), buffer));
    EXPECT_EQ(buffer[size], 0xCC) << "nothing written past the value";
  }
}

TEST_F(RegistryContract, TypedHelpersRoundTrip) {
  os::RegKey key = Make(L"Helpers");
  ASSERT_EQ(key.SetDword(L"Number", 0xFEDCBA98u), os::kSuccess);
  ASSERT_EQ(key.SetString(L"Text", L"\u30EA\u30E0\u30FC\u30D0\u30D6\u30EB D:\\x"), os::kSuccess);

  std::int32_t number = 0;
  RegType type = RegType::None;
  ASSERT_EQ(key.QueryDwordBytes(L"Number", &number, &type), os::kSuccess);
  EXPECT_EQ(static_cast<std::uint32_t>(number), 0xFEDCBA98u);
  EXPECT_EQ(type, RegType::Dword);

  std::vector<std::uint8_t> bytes;
  ASSERT_EQ(key.QueryBytes(L"Text", &type, &bytes), os::kSuccess);
  EXPECT_EQ(type, RegType::String);
  EXPECT_EQ(os::TextOfRegStringBytes(bytes), L"\u30EA\u30E0\u30FC\u30D0\u30D6\u30EB D:\\x");
}

TEST_F(RegistryContract, SizeQueryWithoutBuffer) {
  os::RegKey key = Make(L"Size");
  ASSERT_EQ(key.SetString(L"Text", L"abcdefghij"), os::kSuccess);
  std::uint32_t size = 0;
  RegType type = RegType::None;
  ASSERT_EQ(registry_->QueryValue(key.Handle(), L"Text", &type, nullptr, &size), os::kSuccess);
  EXPECT_EQ(size, 22u);
  EXPECT_EQ(type, RegType::String);
  EXPECT_EQ(registry_->QueryValue(key.Handle(), L"Other", nullptr, nullptr, &size),
            os::kErrorFileNotFound);
}

TEST_F(RegistryContract, ShortBufferReportsTheNeededSizeAndKeepsTheBuffer) {
  os::RegKey key = Make(L"Short");
  ASSERT_EQ(key.SetString(L"Text", L"abcdefghij"), os::kSuccess);
  std::uint8_t buffer[8];
  std::fill(std::begin(buffer), std::end(buffer), 0xAB);
  std::uint32_t size = sizeof buffer;
  RegType type = RegType::None;
  EXPECT_EQ(registry_->QueryValue(key.Handle(), L"Text", &type, buffer, &size),
            os::kErrorMoreData);
  EXPECT_EQ(size, 22u);
  EXPECT_EQ(type, RegType::String);
  EXPECT_TRUE(std::all_of(std::begin(buffer), std::end(buffer),
                          [](std::uint8_t b) { return b == 0xAB; }));
}

// Reading a 4-byte field whatever was stored: short data lands in the low
// bytes, data longer than 4 bytes fails and changes nothing.
TEST_F(RegistryContract, DwordReadOfOtherTypes) {
  struct Case {
    const wchar_t* name;
    RegType type;
    std::vector<std::uint8_t> bytes;
    os::ErrorCode result;
    std::uint32_t value;
  };
  constexpr std::uint32_t kBefore = 0x5A5A5A5Au;
  const Case cases[] = {
      {L"LongString", RegType::String, os::RegStringBytes(L"12"), os::kErrorMoreData, kBefore},
      {L"ShortString", RegType::String, os::RegStringBytes(L"1"), os::kSuccess, 0x31u},
      {L"EmptyString", RegType::String, os::RegStringBytes(L""), os::kSuccess, 0x5A5A0000u},
      {L"TwoBytes", RegType::Binary, {0xAA, 0xBB}, os::kSuccess, 0x5A5ABBAAu},
      {L"EightBytes", RegType::Binary, {1, 2, 3, 4, 5, 6, 7, 8}, os::kErrorMoreData, kBefore},
      {L"Dword", RegType::Dword, {7, 0, 0, 0}, os::kSuccess, 7u},
  };
  os::RegKey key = Make(L"WrongType");
  for (const Case& c : cases) {
    SCOPED_TRACE(os::Utf8FromWide(c.name));
    ASSERT_EQ(Set(key, c.name, c.type, c.bytes), os::kSuccess);
    std::int32_t value = static_cast<std::int32_t>(kBefore);
    RegType type = RegType::None;
    EXPECT_EQ(key.QueryDwordBytes(c.name, &value, &type), c.result);
    EXPECT_EQ(static_cast<std::uint32_t>(value), c.value);
    EXPECT_EQ(type, c.type);
  }
}

TEST_F(RegistryContract, UnterminatedStringIsReadAsStored) {
  os::RegKey key = Make(L"Unterminated");
  // "AB" without its NUL; the character after the counted bytes is not NUL,
  // so the platform stores exactly 4 bytes.
  const std::uint8_t text[] = {'A', 0, 'B', 0, 'X', 0};
  ASSERT_EQ(registry_->SetValue(key.Handle(), L"Text", RegType::String, text, 4), os::kSuccess);

  std::uint8_t buffer[8];
  std::fill(std::begin(buffer), std::end(buffer), 0xEE);
  std::uint32_t size = sizeof buffer;
  ASSERT_EQ(registry_->QueryValue(key.Handle(), L"Text", nullptr, buffer, &size), os::kSuccess);
  EXPECT_EQ(size, 4u);
  const std::uint8_t expected[] = {'A', 0, 'B', 0, 0xEE, 0xEE, 0xEE, 0xEE};
  EXPECT_TRUE(std::equal(std::begin(expected), std::end(expected), buffer))
      << "no terminator is added past the stored bytes";
}

TEST_F(RegistryContract, MissingValuesAndKeys) {
  os::RegKey key = Make(L"Missing");
  std::uint8_t buffer[4] = {};
  std::uint32_t size = sizeof buffer;
  EXPECT_EQ(registry_->QueryValue(key.Handle(), L"Absent", nullptr, buffer, &size),
            os::kErrorFileNotFound);
  EXPECT_EQ(registry_->QueryValue(key.Handle(), L"", nullptr, buffer, &size),
            os::kErrorFileNotFound)
      << "an unset default value";
  EXPECT_EQ(registry_->DeleteValue(key.Handle(), L"Absent"), os::kErrorFileNotFound);

  for (KeyAccess access : {KeyAccess::Read, KeyAccess::Write}) {
    os::KeyHandle handle = 0x1234;
    EXPECT_EQ(registry_->OpenKey(Hive::CurrentUser, PathOf(L"Missing\\Absent"), access, &handle),
              os::kErrorFileNotFound);
    EXPECT_EQ(handle, os::kNoKey);
  }
  EXPECT_EQ(registry_->DeleteKey(Hive::CurrentUser, PathOf(L"Missing\\Absent")),
            os::kErrorFileNotFound);
}

TEST_F(RegistryContract, CreateKeyMakesParentsAndPathsIgnoreCase) {
  {
    os::RegKey deep = Make(L"Nested\\Level1\\Level2", KeyAccess::Write);
    ASSERT_EQ(deep.SetDword(L"Value", 42), os::kSuccess);
  }
  os::ErrorCode rc = -1;
  EXPECT_TRUE(Open(PathOf(L"Nested\\Level1"), KeyAccess::Read, &rc));
  EXPECT_EQ(rc, os::kSuccess);

  struct Case {
    const wchar_t* path;
    os::ErrorCode result;
  };
  const Case cases[] = {
      {L"SOFTWARE\\marimbacontract\\NESTED\\level1\\Level2", os::kSuccess},
      {L"Software\\MarimbaContract\\Nested\\Level1\\Level2\\", os::kSuccess},
      {L"\\Software\\MarimbaContract\\Nested\\Level1\\Level2", os::kErrorBadPathname},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(os::Utf8FromWide(c.path));
    os::RegKey key = Open(c.path, KeyAccess::Read, &rc);
    EXPECT_EQ(rc, c.result);
    if (rc != os::kSuccess) continue;
    std::int32_t value = 0;
    EXPECT_EQ(key.QueryDwordBytes(L"VALUE", &value), os::kSuccess);
    EXPECT_EQ(value, 42);
  }

  // Creating an existing key opens it with its values.
  os::RegKey again = Make(L"Nested\\Level1\\Level2", KeyAccess::Read);
  std::int32_t value = 0;
  EXPECT_EQ(again.QueryDwordBytes(L"Value", &value), os::kSuccess);
  EXPECT_EQ(value, 42);
}

TEST_F(RegistryContract, ValueNamesIgnoreCaseAndTheLastWriteWins) {
  os::RegKey key = Make(L"Names");
  ASSERT_EQ(key.SetDword(L"Model", 2), os::kSuccess);
  ASSERT_EQ(key.SetString(L"MODEL", L"x"), os::kSuccess);
  ASSERT_EQ(key.SetDword(L"", 9), os::kSuccess);
  std::vector<std::uint8_t> bytes;
  RegType type = RegType::None;
  ASSERT_EQ(key.QueryBytes(L"model", &type, &bytes), os::kSuccess);
  EXPECT_EQ(type, RegType::String);
  EXPECT_EQ(os::TextOfRegStringBytes(bytes), L"x");
  std::int32_t value = 0;
  ASSERT_EQ(key.QueryDwordBytes(L"", &value), os::kSuccess);
  EXPECT_EQ(value, 9);
  ASSERT_EQ(registry_->DeleteValue(key.Handle(), L"mOdEl"), os::kSuccess);
  EXPECT_EQ(key.QueryBytes(L"Model", &type, &bytes), os::kErrorFileNotFound);
}

TEST_F(RegistryContract, DeleteKeyRemovesOnlyKeysWithoutSubkeys) {
  os::RegKey leaf = Make(L"Tree\\Leaf");
  ASSERT_EQ(leaf.SetDword(L"Value", 1), os::kSuccess);

  EXPECT_EQ(registry_->DeleteKey(Hive::CurrentUser, PathOf(L"Tree")), os::kErrorAccessDenied);
  os::ErrorCode rc = -1;
  EXPECT_TRUE(Open(PathOf(L"Tree"), KeyAccess::Read, &rc));

  ASSERT_EQ(registry_->DeleteKey(Hive::CurrentUser, PathOf(L"Tree\\Leaf")), os::kSuccess);
  EXPECT_FALSE(Open(PathOf(L"Tree\\Leaf"), KeyAccess::Read, &rc));
  EXPECT_EQ(rc, os::kErrorFileNotFound);
  // A handle opened before the deletion now names a deleted key.
  std::int32_t value = 0;
  EXPECT_EQ(leaf.QueryDwordBytes(L"Value", &value), os::kErrorKeyDeleted);
  EXPECT_EQ(leaf.SetDword(L"Value", 2), os::kErrorKeyDeleted);

  EXPECT_EQ(registry_->DeleteKey(Hive::CurrentUser, PathOf(L"Tree")), os::kSuccess);
  EXPECT_FALSE(Open(PathOf(L"Tree"), KeyAccess::Read, &rc));
}

TEST_F(RegistryContract, HandleAccessIsEnforced) {
  {
    os::RegKey setup = Make(L"Access");
    ASSERT_EQ(setup.SetDword(L"Value", 1), os::kSuccess);
  }
  os::ErrorCode rc = -1;
  os::RegKey reader = Open(PathOf(L"Access"), KeyAccess::Read, &rc);
  ASSERT_EQ(rc, os::kSuccess);
  EXPECT_EQ(reader.SetDword(L"Value", 2), os::kErrorAccessDenied);
  EXPECT_EQ(reader.SetDword(L"Other", 2), os::kErrorAccessDenied);
  EXPECT_EQ(registry_->DeleteValue(reader.Handle(), L"Value"), os::kErrorAccessDenied);

  os::RegKey writer = Open(PathOf(L"Access"), KeyAccess::Write, &rc);
  ASSERT_EQ(rc, os::kSuccess);
  std::int32_t value = 0;
  EXPECT_EQ(writer.QueryDwordBytes(L"Value", &value), os::kErrorAccessDenied);
  EXPECT_EQ(writer.SetDword(L"Value", 3), os::kSuccess);

  os::RegKey both = Open(PathOf(L"Access"), KeyAccess::ReadWrite, &rc);
  ASSERT_EQ(rc, os::kSuccess);
  ASSERT_EQ(both.QueryDwordBytes(L"Value", &value), os::kSuccess);
  EXPECT_EQ(value, 3) << "the refused writes changed nothing";
  EXPECT_EQ(both.SetDword(L"Value", 4), os::kSuccess);
  EXPECT_EQ(registry_->DeleteValue(both.Handle(), L"Value"), os::kSuccess);
}

TEST_F(RegistryContract, ClosedHandleIsInvalid) {
  Make(L"Closed");
  os::KeyHandle handle = os::kNoKey;
  ASSERT_EQ(registry_->OpenKey(Hive::CurrentUser, PathOf(L"Closed"), KeyAccess::ReadWrite, &handle),
            os::kSuccess);
  registry_->CloseKey(handle);
  const std::uint8_t bytes[4] = {1, 0, 0, 0};
  std::uint32_t size = 0;
  for (os::KeyHandle stale : {handle, os::kNoKey}) {
    EXPECT_EQ(registry_->QueryValue(stale, L"Value", nullptr, nullptr, &size),
              os::kErrorInvalidHandle);
    EXPECT_EQ(registry_->SetValue(stale, L"Value", RegType::Dword, bytes, 4),
              os::kErrorInvalidHandle);
    EXPECT_EQ(registry_->DeleteValue(stale, L"Value"), os::kErrorInvalidHandle);
  }
}

}  // namespace
