// WMPInfo.xml: an id read from any file is written back so that it reads
// as the same id, on a drive too.
#include "fakes/fake_file_system.h"
#include "fuzz/fuzz_check.h"
#include "mediaengine/devices/wmp_info_file.h"
#include "mediaengine/library/xml_text.h"
#include "os/text_encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes = fuzz::Bytes(data, size);
  std::wstring id;
  const bool found = mediaengine::DeviceIdOfWmpInfo(bytes, &id);

  fakes::FakeFileSystem files;
  files.AddDrive(L'F');
  files.AddFile(L"F:\\WMPInfo.xml", bytes);
  std::wstring fromDrive;
  // The drive reader stops at 8 KiB; smaller files read the same either way.
  if (size <= 8192) {
    FUZZ_CHECK(mediaengine::ReadWmpInfo(files, L"F:\\", &fromDrive) == found);
    FUZZ_CHECK(!found || fromDrive == id);
  }
  if (!found) return 0;
  FUZZ_CHECK(!id.empty());

  const std::string written = mediaengine::WmpInfoBytes(id);
  std::wstring back;
  FUZZ_CHECK(mediaengine::DeviceIdOfWmpInfo(written, &back));
  FUZZ_CHECK(back == id);
  FUZZ_CHECK(mediaengine::WriteWmpInfo(files, L"F:\\", id) == os::kSuccess);
  FUZZ_CHECK(mediaengine::ReadWmpInfo(files, L"F:\\", &back) && back == id);
  return 0;
}
