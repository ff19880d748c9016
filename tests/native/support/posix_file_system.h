#pragma once
// The file-system port over POSIX calls, for native tests that need real
// files (for example to hand them to ffprobe). Paths are Linux paths kept in
// std::wstring. Open, attributes, folders, move and delete work; listing and
// free-space queries report kErrorInvalidParameter.
#include <string>

#include "os/file_system.h"

namespace testing_support {

class PosixFileSystem : public os::IFileSystem {
 public:
  os::ErrorCode FindFiles(const std::wstring& pattern, std::vector<os::FindEntry>* entries) override;
  std::uint32_t GetAttributes(const std::wstring& path) override;
  os::ErrorCode CreateFolder(const std::wstring& path) override;
  os::ErrorCode RemoveFolder(const std::wstring& path) override;
  os::ErrorCode Move(const std::wstring& from, const std::wstring& to, bool replace) override;
  os::ErrorCode Delete(const std::wstring& path) override;
  os::ErrorCode GetFreeClusters(const std::wstring& root, os::DiskClusters* clusters) override;
  os::ErrorCode GetFreeBytes(const std::wstring& root, os::DiskBytes* bytes) override;
  os::ErrorCode Open(const std::wstring& path, os::OpenMode mode,
                     std::unique_ptr<os::IFileStream>* stream) override;
};

// A fresh folder under the system's temporary folder, removed with its files
// (one level) when the object goes away.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  bool ok() const { return !path_.empty(); }
  const std::string& path() const { return path_; }
  std::wstring File(const std::string& name) const;

 private:
  std::string path_;
};

}  // namespace testing_support
