#include "mediaengine/devices/file_copier.h"

#include <cstring>
#include <memory>

namespace mediaengine {
namespace {

constexpr os::ErrorCode kErrorWriteProtect = 19;
constexpr os::ErrorCode kErrorHandleDiskFull = 39;

// Reads until `size` bytes are in or the file ends.
os::ErrorCode ReadFully(os::IFileStream& stream, std::uint8_t* buffer, std::uint32_t size,
                        std::uint32_t* done) {
  *done = 0;
  while (*done < size) {
    std::uint32_t now = 0;
    const os::ErrorCode result = stream.Read(buffer + *done, size - *done, &now);
    if (result != os::kSuccess) return result;
    if (now == 0) break;
    *done += now;
  }
  return os::kSuccess;
}

}  // namespace

CopyOutcome OutcomeOfWriteError(os::ErrorCode error) {
  if (error == os::kErrorDiskFull || error == kErrorHandleDiskFull) return CopyOutcome::DeviceFull;
  if (error == os::kErrorAccessDenied || error == kErrorWriteProtect) return CopyOutcome::ReadOnly;
  return CopyOutcome::WriteFailed;
}

FileCopier::FileCopier(os::IFileSystem& files, std::uint32_t chunkBytes)
    : files_(files), first_(chunkBytes ? chunkBytes : kDefaultChunkBytes),
      second_(first_.size()) {}

CopyResult FileCopier::WriteTemporary(const std::wstring& source, const std::wstring& temporary,
                                      const std::atomic<bool>& stop,
                                      const std::function<void(std::uint64_t)>& copied) {
  std::unique_ptr<os::IFileStream> in;
  os::ErrorCode result = files_.Open(source, os::OpenMode::Read, &in);
  if (result != os::kSuccess) return {CopyOutcome::SourceFailed, result};
  std::unique_ptr<os::IFileStream> out;
  result = files_.Open(temporary, os::OpenMode::CreateAlways, &out);
  if (result != os::kSuccess) return {OutcomeOfWriteError(result), result};
  std::uint64_t written = 0;
  for (;;) {
    if (stop) return {CopyOutcome::Stopped, os::kSuccess};
    std::uint32_t got = 0;
    result = ReadFully(*in, first_.data(), static_cast<std::uint32_t>(first_.size()), &got);
    if (result != os::kSuccess) return {CopyOutcome::SourceFailed, result};
    if (got == 0) break;
    result = out->Write(first_.data(), got);
    if (result != os::kSuccess) return {OutcomeOfWriteError(result), result};
    written += got;
    if (copied) copied(written);
  }
  result = out->Flush();
  if (result != os::kSuccess) return {OutcomeOfWriteError(result), result};
  return {};
}

CopyResult FileCopier::Copy(const std::wstring& source, const std::wstring& temporary,
                            const std::wstring& target, bool replace,
                            const std::atomic<bool>& stop,
                            const std::function<void(std::uint64_t)>& copied) {
  CopyResult result = WriteTemporary(source, temporary, stop, copied);
  if (result.outcome == CopyOutcome::Copied && stop) result = {CopyOutcome::Stopped, os::kSuccess};
  if (result.outcome == CopyOutcome::Copied && !SameContent(source, temporary, true)) {
    result = {CopyOutcome::VerifyFailed, os::kSuccess};
  }
  if (result.outcome == CopyOutcome::Copied) {
    const os::ErrorCode moved = files_.Move(temporary, target, replace);
    if (moved != os::kSuccess) result = {OutcomeOfWriteError(moved), moved};
  }
  if (result.outcome != CopyOutcome::Copied) files_.Delete(temporary);
  return result;
}

bool FileCopier::SameContent(const std::wstring& a, const std::wstring& b, bool deviceBytes) {
  std::unique_ptr<os::IFileStream> first, second;
  if (files_.Open(a, os::OpenMode::Read, &first) != os::kSuccess) return false;
  const os::OpenMode secondMode = deviceBytes ? os::OpenMode::ReadUncached : os::OpenMode::Read;
  if (files_.Open(b, secondMode, &second) != os::kSuccess) return false;
  if (first->Size() != second->Size()) return false;
  const auto size = static_cast<std::uint32_t>(first_.size());
  for (;;) {
    std::uint32_t got = 0, other = 0;
    if (ReadFully(*first, first_.data(), size, &got) != os::kSuccess) return false;
    if (ReadFully(*second, second_.data(), size, &other) != os::kSuccess) return false;
    if (got != other) return false;
    if (got == 0) return true;
    if (std::memcmp(first_.data(), second_.data(), got) != 0) return false;
  }
}

}  // namespace mediaengine
