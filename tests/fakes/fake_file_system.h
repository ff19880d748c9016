#pragma once
// In-memory file system with the outcomes of the Win32 calls: drive roots,
// folders listed with "." and ".." (not in a root), entries in NTFS order
// (upper-cased names), per-drive capacity so a full disk can be simulated.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "os/file_system.h"

namespace fakes {

class FakeFileSystem : public os::IFileSystem {
 public:
  // A drive whose root is "X:\\". Writes fail with kErrorDiskFull once the
  // drive holds `capacityBytes` of file data.
  void AddDrive(wchar_t letter, std::uint64_t capacityBytes = 1ULL << 40,
                std::uint32_t bytesPerCluster = 4096);
  // A drive without medium: every call on it reports kErrorNotReady.
  void SetDriveReady(wchar_t letter, bool ready);
  void RemoveDrive(wchar_t letter);

  // Test set-up helpers; missing parent folders are created.
  void AddFolder(const std::wstring& path);
  void AddFile(const std::wstring& path, const std::string& content = std::string(),
               std::uint32_t attributes = os::kAttributeArchive);
  void SetCreationTime(const std::wstring& path, os::FileTime time);
  // SetFileAttributesW: the folder flag stays as it is.
  void SetAttributes(const std::wstring& path, std::uint32_t attributes);
  std::string Content(const std::wstring& path) const;
  // Creation time given to new files and folders.
  void SetNow(os::FileTime now) { now_ = now; }
  // Overrides the free-cluster answer of a drive (the data size is ignored then).
  void SetClusters(wchar_t letter, const os::DiskClusters& clusters);

  os::ErrorCode FindFiles(const std::wstring& pattern,
                          std::vector<os::FindEntry>* entries) override;
  std::uint32_t GetAttributes(const std::wstring& path) override;
  os::ErrorCode CreateFolder(const std::wstring& path) override;
  os::ErrorCode RemoveFolder(const std::wstring& path) override;
  os::ErrorCode Move(const std::wstring& from, const std::wstring& to, bool replace) override;
  os::ErrorCode Delete(const std::wstring& path) override;
  os::ErrorCode GetFreeClusters(const std::wstring& root, os::DiskClusters* clusters) override;
  os::ErrorCode GetFreeBytes(const std::wstring& root, os::DiskBytes* bytes) override;
  os::ErrorCode Open(const std::wstring& path, os::OpenMode mode,
                     std::unique_ptr<os::IFileStream>* stream) override;

  struct Node {
    std::wstring name;  // as created
    bool folder = false;
    std::uint32_t attributes = 0;
    std::shared_ptr<std::string> content = std::make_shared<std::string>();
    os::FileTime creationTime = 0;
    os::FileTime lastWriteTime = 0;
    std::map<std::wstring, Node> children;  // keyed by upper-cased name
  };
  struct Drive {
    Node root;
    bool ready = true;
    std::uint64_t capacity = 0;
    std::uint32_t bytesPerCluster = 4096;
    bool clustersOverridden = false;
    os::DiskClusters clusters;
  };

  std::uint64_t UsedBytes(const Drive& drive) const;
  Drive* DriveOf(const std::wstring& path, os::ErrorCode* error);
  // The drive of an open file; null once it was removed or lost its medium.
  Drive* ReadyDrive(wchar_t letter);
  // Held by every call of the file system and of its open files, so the
  // engine's threads (a rip encodes two tracks at once) can share one fake.
  std::recursive_mutex& Mutex() const { return mutex_.mutex; }

 private:
  // Resolves a path to its node; null with the Win32 error when it is missing.
  Node* Find(const std::wstring& path, os::ErrorCode* error);
  // The folder that would hold `path`, and the leaf name.
  Node* ParentOf(const std::wstring& path, std::wstring* leaf, os::ErrorCode* error);

  std::map<wchar_t, Drive> drives_;
  os::FileTime now_ = 0;
  // A copied or assigned file system gets a lock of its own.
  struct OwnLock {
    OwnLock() = default;
    OwnLock(const OwnLock&) {}
    OwnLock& operator=(const OwnLock&) { return *this; }
    mutable std::recursive_mutex mutex;
  };
  OwnLock mutex_;
};

}  // namespace fakes
