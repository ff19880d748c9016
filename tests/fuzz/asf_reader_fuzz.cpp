// The ASF header reader on any file: what it accepts has a length a library
// can keep, and the tags it reads survive being written into a new file by
// our writer and read again.
#include <cmath>

#include "fakes/fake_file_system.h"
#include "fuzz/fuzz_check.h"
#include "mediaengine/codec/asf_info.h"
#include "mediaengine/codec/asf_writer.h"
#include "os/text_encoding.h"

namespace {

// What the writer keeps of a tag: at most 32766 UTF-16 units, never half a pair.
std::wstring AsWritten(const std::wstring& text) {
  std::u16string units = os::Utf16FromWide(text);
  if (units.size() > 32766) {
    units.resize(32766);
    if (units.back() >= 0xD800 && units.back() < 0xDC00) units.pop_back();
  }
  return os::WideFromUtf16(units);
}

bool SameTags(const mediaengine::AsfTags& a, const mediaengine::AsfTags& b) {
  return AsWritten(a.title) == b.title && AsWritten(a.author) == b.author &&
         AsWritten(a.albumTitle) == b.albumTitle && AsWritten(a.albumArtist) == b.albumArtist &&
         AsWritten(a.genre) == b.genre && AsWritten(a.year) == b.year &&
         AsWritten(a.trackNumber) == b.trackNumber;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fakes::FakeFileSystem files;
  files.AddDrive(L'C');
  files.AddFile(L"C:\\in.wma", fuzz::Bytes(data, size));
  mediaengine::AsfInfo info;
  if (!mediaengine::ReadAsfInfo(files, L"C:\\in.wma", &info)) return 0;
  FUZZ_CHECK(info.fileSize == size);
  FUZZ_CHECK(std::isfinite(info.durationSeconds) && info.durationSeconds >= 0 &&
             info.durationSeconds <= 1e9);

  mediaengine::AsfWriterSettings settings;
  settings.tags = info.tags;
  settings.format = {1, 1, 8000, 16000, 2, 16, {}, 1};  // PCM: the writer needs no codec
  settings.blocksPerPacket = 64;
  mediaengine::AsfWriter writer;
  FUZZ_CHECK(writer.Open(files, L"C:\\out.wma", settings) == os::kSuccess);
  const std::uint8_t blocks[8] = {};
  FUZZ_CHECK(writer.WriteBlocks(blocks, 4) == os::kSuccess);
  FUZZ_CHECK(writer.Finish(2 * 10000) == os::kSuccess);
  mediaengine::AsfInfo again;
  FUZZ_CHECK(mediaengine::ReadAsfInfo(files, L"C:\\out.wma", &again));
  FUZZ_CHECK(SameTags(info.tags, again.tags));
  return 0;
}
