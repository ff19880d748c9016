#include "mediaengine/library/library_io.h"

#include <algorithm>
#include <memory>

namespace mediaengine {
namespace {

constexpr std::uint32_t kChunk = 1u << 16;
// Far beyond any real library; refusing it keeps a stray huge file from
// exhausting memory.
constexpr std::uint64_t kMaxReadBytes = 256ull << 20;

}  // namespace

wmp::HResult HResultOfError(os::ErrorCode error) {
  if (error == os::kSuccess) return wmp::kOk;
  return static_cast<wmp::HResult>(0x80070000u | (static_cast<std::uint32_t>(error) & 0xFFFFu));
}

os::ErrorCode ReadFileInPieces(os::IFileSystem& files, const std::wstring& path,
                               const std::function<void(const char* bytes, std::size_t size)>& take) {
  std::unique_ptr<os::IFileStream> stream;
  if (os::ErrorCode error = files.Open(path, os::OpenMode::Read, &stream)) return error;
  if (stream->Size() > kMaxReadBytes) return os::kErrorInvalidParameter;
  std::string chunk(kChunk, '\0');
  for (std::uint64_t total = 0;;) {
    std::uint32_t done = 0;
    if (os::ErrorCode error = stream->Read(chunk.data(), kChunk, &done)) return error;
    take(chunk.data(), done);
    total += done;
    if (done < kChunk) return os::kSuccess;
    if (total > kMaxReadBytes) return os::kErrorInvalidParameter;
  }
}

os::ErrorCode WriteFileAtomically(os::IFileSystem& files, const std::wstring& path,
                                  const std::string& bytes) {
  const std::wstring temp = path + L".tmp";
  os::ErrorCode error = os::kSuccess;
  {
    std::unique_ptr<os::IFileStream> stream;
    error = files.Open(temp, os::OpenMode::CreateAlways, &stream);
    if (error) return error;
    for (std::size_t done = 0; !error && done < bytes.size(); done += kChunk) {
      const std::size_t size = std::min<std::size_t>(kChunk, bytes.size() - done);
      error = stream->Write(bytes.data() + done, static_cast<std::uint32_t>(size));
    }
    if (!error) error = stream->Flush();
  }  // closed before the move: Windows cannot rename an open file
  if (!error) error = files.Move(temp, path, true);
  if (error) files.Delete(temp);
  return error;
}

os::ErrorCode CreateFolderTree(os::IFileSystem& files, const std::wstring& folder) {
  // The first component that can be created: after "X:\" or "\\server\share\".
  std::size_t start = 0;
  if (folder.size() >= 2 && folder[1] == L':') {
    start = 3;
  } else if (folder.rfind(L"\\\\", 0) == 0) {
    const std::size_t share = folder.find(L'\\', 2);
    start = share == std::wstring::npos ? folder.size() : folder.find(L'\\', share + 1);
    if (start == std::wstring::npos) return os::kSuccess;
    ++start;
  }
  os::ErrorCode result = os::kSuccess;
  for (std::size_t i = start; i <= folder.size(); ++i) {
    if (i != folder.size() && folder[i] != L'\\' && folder[i] != L'/') continue;
    if (i == 0 || folder[i - 1] == L'\\' || folder[i - 1] == L'/') continue;
    const std::wstring part = folder.substr(0, i);
    if (files.Exists(part)) continue;
    result = files.CreateFolder(part);
    if (result == os::kErrorAlreadyExists) result = os::kSuccess;
    if (result) return result;
  }
  return result;
}

}  // namespace mediaengine
