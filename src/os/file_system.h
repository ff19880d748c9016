#pragma once
// File-system port: the kernel32 file calls the tool makes, with Win32 error
// codes as results and entries in the order the system lists them.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "os/win_error.h"

namespace os {

// 100-ns intervals since 1601-01-01 UTC, as FILETIME.
using FileTime = std::uint64_t;

constexpr std::uint32_t kAttributeReadOnly = 0x01;
constexpr std::uint32_t kAttributeHidden = 0x02;
constexpr std::uint32_t kAttributeDirectory = 0x10;
constexpr std::uint32_t kAttributeArchive = 0x20;
constexpr std::uint32_t kInvalidAttributes = 0xFFFFFFFFu;

struct FindEntry {
  std::wstring name;  // name only, no folder
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;
  FileTime creationTime = 0;
  FileTime lastWriteTime = 0;

  bool IsFolder() const { return (attributes & kAttributeDirectory) != 0; }
  bool IsDotEntry() const { return name == L"." || name == L".."; }
};

// GetDiskFreeSpaceW.
struct DiskClusters {
  std::uint32_t sectorsPerCluster = 0;
  std::uint32_t bytesPerSector = 0;
  std::uint32_t freeClusters = 0;
  std::uint32_t totalClusters = 0;
};

// GetDiskFreeSpaceExW.
struct DiskBytes {
  std::uint64_t freeToCaller = 0;
  std::uint64_t total = 0;
  std::uint64_t totalFree = 0;
};

enum class OpenMode {
  Read,          // existing file, shared for reading
  CreateAlways,  // new or truncated file, exclusive
  // Existing file, shared for reading, read from the medium past the
  // system's file cache (FILE_FLAG_NO_BUFFERING), so that a read-back shows
  // what the device stores; a plain read where the system offers no such
  // read for the file. Read-only.
  ReadUncached,
};

// An open file; closed by its destructor.
class IFileStream {
 public:
  virtual ~IFileStream() = default;
  // ReadFile: *done < size at the end of the file.
  virtual ErrorCode Read(void* buffer, std::uint32_t size, std::uint32_t* done) = 0;
  // WriteFile: a short write reports the error (for example kErrorDiskFull).
  virtual ErrorCode Write(const void* buffer, std::uint32_t size) = 0;
  virtual ErrorCode Seek(std::uint64_t offset) = 0;
  virtual std::uint64_t Size() const = 0;
  // FlushFileBuffers.
  virtual ErrorCode Flush() = 0;
};

class IFileSystem {
 public:
  virtual ~IFileSystem() = default;

  // FindFirstFileW/FindNextFileW over a pattern such as "E:\\*.*" or
  // "C:\\Music\\*.wma". Entries come in the system's order ("." and ".." are
  // listed in folders but not in a drive root). No match: kErrorFileNotFound;
  // missing folder: kErrorPathNotFound; drive without medium: kErrorNotReady.
  virtual ErrorCode FindFiles(const std::wstring& pattern, std::vector<FindEntry>* entries) = 0;
  // GetFileAttributesW; kInvalidAttributes when the path does not exist.
  virtual std::uint32_t GetAttributes(const std::wstring& path) = 0;
  // CreateDirectoryW: one level; kErrorAlreadyExists when it is there.
  virtual ErrorCode CreateFolder(const std::wstring& path) = 0;
  // RemoveDirectoryW: kErrorDirNotEmpty unless the folder is empty.
  virtual ErrorCode RemoveFolder(const std::wstring& path) = 0;
  // MoveFileExW; with replace an existing target file is overwritten.
  virtual ErrorCode Move(const std::wstring& from, const std::wstring& to, bool replace) = 0;
  virtual ErrorCode Delete(const std::wstring& path) = 0;
  virtual ErrorCode GetFreeClusters(const std::wstring& root, DiskClusters* clusters) = 0;
  virtual ErrorCode GetFreeBytes(const std::wstring& root, DiskBytes* bytes) = 0;
  // CreateFileW for whole-file reading or writing.
  virtual ErrorCode Open(const std::wstring& path, OpenMode mode,
                         std::unique_ptr<IFileStream>* stream) = 0;

  bool Exists(const std::wstring& path) { return GetAttributes(path) != kInvalidAttributes; }
};

// Reads at most `maxBytes` from the start of a file; false when it cannot be read.
bool ReadFileHead(IFileSystem& fs, const std::wstring& path, std::uint32_t maxBytes,
                  std::vector<std::uint8_t>* bytes);

}  // namespace os
