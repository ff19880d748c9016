// The first line of a small text file: at most the characters asked for, no
// line feed in it, and the same whether the file is read from a drive (only
// as far as the line can go) or from memory in full.
#include <vector>

#include "device/first_line.h"
#include "fakes/fake_file_system.h"
#include "fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t maxChars = 1 + data[0] % 64;
  const std::vector<std::uint8_t> bytes(data + 1, data + size);
  const std::wstring line = device::FirstLineOfBytes(bytes, maxChars, device::DecodeUtf8OrLatin1);
  FUZZ_CHECK(line.size() <= maxChars);
  FUZZ_CHECK(line.find(L'\n') == std::wstring::npos);

  fakes::FakeFileSystem files;
  files.AddDrive(L'F');
  files.AddFile(L"F:\\WMPInfo.xml", std::string(bytes.begin(), bytes.end()));
  std::wstring read;
  FUZZ_CHECK(device::ReadFirstLine(files, L"F:\\WMPInfo.xml", maxChars, device::DecodeUtf8OrLatin1, &read));
  FUZZ_CHECK(read == line);
  return 0;
}
