#pragma once
// The file-system port over kernel32.
#include "os/file_system.h"

namespace os::win32 {

class Win32FileSystem : public IFileSystem {
 public:
  ErrorCode FindFiles(const std::wstring& pattern, std::vector<FindEntry>* entries) override;
  std::uint32_t GetAttributes(const std::wstring& path) override;
  ErrorCode CreateFolder(const std::wstring& path) override;
  ErrorCode RemoveFolder(const std::wstring& path) override;
  ErrorCode Move(const std::wstring& from, const std::wstring& to, bool replace) override;
  ErrorCode Delete(const std::wstring& path) override;
  ErrorCode GetFreeClusters(const std::wstring& root, DiskClusters* clusters) override;
  ErrorCode GetFreeBytes(const std::wstring& root, DiskBytes* bytes) override;
  ErrorCode Open(const std::wstring& path, OpenMode mode,
                 std::unique_ptr<IFileStream>* stream) override;
};

}  // namespace os::win32
