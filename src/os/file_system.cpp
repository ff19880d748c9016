#include "os/file_system.h"

namespace os {

bool ReadFileHead(IFileSystem& fs, const std::wstring& path, std::uint32_t maxBytes,
                  std::vector<std::uint8_t>* bytes) {
  std::unique_ptr<IFileStream> stream;
  if (fs.Open(path, OpenMode::Read, &stream) != kSuccess) return false;
  bytes->assign(maxBytes, 0);
  std::uint32_t done = 0;
  if (stream->Read(bytes->data(), maxBytes, &done) != kSuccess) return false;
  bytes->resize(done);
  return true;
}

}  // namespace os
