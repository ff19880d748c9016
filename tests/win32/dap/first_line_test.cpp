// WMPInfo.xml as real files on the mapped player drive: written by the
// platform's engine (UTF-16LE with a mark), by ours, in UTF-8 with a mark
// and in the ANSI code page, and found by the first-line reader.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "device/first_line.h"
#include "device/win32/ansi_code_page.h"
#include "mediaengine/devices/wmp_info_file.h"
#include "os/text_encoding.h"
#include "os/win32/win32_file_system.h"
#include "support/player_drive.h"

namespace {

const device::CodePageDecoder kSystemCodePage = device::win32::WideFromAnsiCodePage;
const wchar_t kDeviceId[] = L"{6B29FC40-CA47-1067-B31D-00DD010662DA}";

std::string Utf16LeWithMark(const std::wstring& text) {
  std::string bytes = "\xFF\xFE";
  for (wchar_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>((c >> 8) & 0xFF));
  }
  return bytes;
}

TEST(WmpInfoFirstLineTest, TheDeviceIdIsFoundWhicheverEngineWroteTheFile) {
  const wine_test::PlayerDriveGuard guard;
  const std::wstring path = guard.Root() + L"WMPInfo.xml";
  const std::wstring element =
      std::wstring(L"<DeviceInfo><WMP DeviceID=\"") + kDeviceId + L"\"/></DeviceInfo>";
  os::win32::Win32FileSystem files;
  struct Case {
    const char* what;
    std::string bytes;
  };
  const Case cases[] = {
      {"UTF-16LE with a mark", Utf16LeWithMark(element + L"\r\n<Other/>")},
      {"UTF-8 with a mark", "\xEF\xBB\xBF" + os::Utf8FromWide(element) + "\n"},
      {"ANSI code page", os::Utf8FromWide(element)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(wine_test::WriteBytes(path, c.bytes));
    std::wstring line;
    ASSERT_TRUE(device::ReadFirstLine(files, path, 1999, kSystemCodePage, &line));
    EXPECT_EQ(line, element);
  }
  // Our engine's own file.
  ASSERT_TRUE(DeleteFileW(path.c_str()));
  ASSERT_EQ(mediaengine::WriteWmpInfo(files, guard.Root(), kDeviceId), os::kSuccess);
  std::wstring line;
  ASSERT_TRUE(device::ReadFirstLine(files, path, 1999, kSystemCodePage, &line));
  EXPECT_NE(line.find(kDeviceId), std::wstring::npos);
  ASSERT_TRUE(DeleteFileW(path.c_str()));
  EXPECT_FALSE(device::ReadFirstLine(files, path, 1999, kSystemCodePage, &line));
}

}  // namespace
