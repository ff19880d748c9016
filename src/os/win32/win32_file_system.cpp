#include "os/win32/win32_file_system.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "os/win32/unique_handle.h"

namespace os::win32 {
namespace {

FileTime FileTimeOf(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

ErrorCode ResultOf(BOOL ok) { return ok ? kSuccess : static_cast<ErrorCode>(GetLastError()); }

class Win32FileStream : public IFileStream {
 public:
  explicit Win32FileStream(FileHandle file) : file_(std::move(file)) {}

  ErrorCode Read(void* buffer, std::uint32_t size, std::uint32_t* done) override {
    DWORD read = 0;
    const BOOL ok = ReadFile(file_.Get(), buffer, size, &read, nullptr);
    *done = read;
    return ResultOf(ok);
  }

  ErrorCode Write(const void* buffer, std::uint32_t size) override {
    DWORD written = 0;
    if (!WriteFile(file_.Get(), buffer, size, &written, nullptr)) return GetLastError();
    return written == size ? kSuccess : kErrorDiskFull;
  }

  ErrorCode Seek(std::uint64_t offset) override {
    LARGE_INTEGER distance;
    distance.QuadPart = static_cast<LONGLONG>(offset);
    return ResultOf(SetFilePointerEx(file_.Get(), distance, nullptr, FILE_BEGIN));
  }

  std::uint64_t Size() const override {
    LARGE_INTEGER size;
    return GetFileSizeEx(file_.Get(), &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
  }

  ErrorCode Flush() override { return ResultOf(FlushFileBuffers(file_.Get())); }

 private:
  FileHandle file_;
};

struct VirtualMemoryRelease {
  void operator()(void* memory) const { VirtualFree(memory, 0, MEM_RELEASE); }
};

// Reads past the system's cache. FILE_FLAG_NO_BUFFERING wants reads of
// whole sectors into sector-aligned memory at sector-aligned offsets: whole
// sectors asked for at a sector boundary into such memory are read straight
// into it; the rest comes by way of the stream's own page-aligned buffer of
// whole aligned blocks, made when first needed.
class UncachedFileStream : public IFileStream {
 public:
  UncachedFileStream(FileHandle file, DWORD sectorBytes)
      : file_(std::move(file)), sector_(sectorBytes) {}

  ErrorCode Read(void* buffer, std::uint32_t size, std::uint32_t* done) override {
    *done = 0;
    auto* out = static_cast<std::uint8_t*>(buffer);
    while (*done < size) {
      if (position_ >= start_ && position_ < start_ + filled_) {
        const auto offset = static_cast<std::size_t>(position_ - start_);
        const std::uint32_t take =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(filled_ - offset, size - *done));
        std::memcpy(out + *done, buffer_.get() + offset, take);
        *done += take;
        position_ += take;
        continue;
      }
      const std::uint32_t wholeSectors = (size - *done) - (size - *done) % sector_;
      if (wholeSectors != 0 && position_ % sector_ == 0 &&
          reinterpret_cast<std::uintptr_t>(out + *done) % sector_ == 0) {
        DWORD read = 0;
        if (!ReadAt(position_, out + *done, wholeSectors, &read)) return GetLastError();
        *done += read;
        position_ += read;
        if (read < wholeSectors) break;  // the end of the file
        continue;
      }
      const std::uint64_t aligned = position_ - position_ % sector_;
      DWORD read = 0;
      if (!buffer_) {
        buffer_.reset(static_cast<std::uint8_t*>(
            VirtualAlloc(nullptr, kBufferBytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)));
        if (!buffer_) return ERROR_NOT_ENOUGH_MEMORY;
      }
      if (!ReadAt(aligned, buffer_.get(), kBufferBytes, &read)) return GetLastError();
      start_ = aligned;
      filled_ = read;
      if (position_ >= start_ + filled_) break;  // the end of the file
    }
    return kSuccess;
  }

  ErrorCode Write(const void*, std::uint32_t) override { return kErrorAccessDenied; }

  ErrorCode Seek(std::uint64_t offset) override {
    position_ = offset;
    return kSuccess;
  }

  std::uint64_t Size() const override {
    LARGE_INTEGER size;
    return GetFileSizeEx(file_.Get(), &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
  }

  ErrorCode Flush() override { return kSuccess; }

  // A multiple of every sector size that page-aligned memory also suits.
  static constexpr DWORD kBufferBytes = 1u << 20;

 private:
  bool ReadAt(std::uint64_t offset, std::uint8_t* into, DWORD size, DWORD* read) {
    LARGE_INTEGER distance;
    distance.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(file_.Get(), distance, nullptr, FILE_BEGIN) &&
           ReadFile(file_.Get(), into, size, read, nullptr);
  }

  FileHandle file_;
  const DWORD sector_;
  std::unique_ptr<std::uint8_t, VirtualMemoryRelease> buffer_;
  std::uint64_t position_ = 0;
  std::uint64_t start_ = 0;   // file offset of buffer_[0]
  std::uint64_t filled_ = 0;  // bytes of the file in buffer_
};

// The sector size of the volume that holds `path`; 4096 (a multiple of the
// usual 512) when it cannot be told or does not suit the buffer.
DWORD SectorBytesOf(const std::wstring& path) {
  wchar_t volume[MAX_PATH] = {};
  DWORD sectors = 0, bytes = 0, free = 0, total = 0;
  if (!GetVolumePathNameW(path.c_str(), volume, MAX_PATH) ||
      !GetDiskFreeSpaceW(volume, &sectors, &bytes, &free, &total)) {
    return 4096;
  }
  const bool powerOfTwo = bytes != 0 && (bytes & (bytes - 1)) == 0;
  return powerOfTwo && bytes <= 4096 ? bytes : 4096;
}

// Windows refuses to replace or truncate a read-only file; Wine run by root
// does both. The adapter refuses them itself, so a file the user protected
// survives on either.
bool IsReadOnlyFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
         !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

ErrorCode Win32FileSystem::FindFiles(const std::wstring& pattern,
                                     std::vector<FindEntry>* entries) {
  entries->clear();
  WIN32_FIND_DATAW data;
  FindHandle find(FindFirstFileW(pattern.c_str(), &data));
  if (!find.IsValid()) return GetLastError();
  do {
    FindEntry entry;
    entry.name = data.cFileName;
    entry.attributes = data.dwFileAttributes;
    entry.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    entry.creationTime = FileTimeOf(data.ftCreationTime);
    entry.lastWriteTime = FileTimeOf(data.ftLastWriteTime);
    entries->push_back(std::move(entry));
  } while (FindNextFileW(find.Get(), &data));
  const DWORD end = GetLastError();
  return end == ERROR_NO_MORE_FILES ? kSuccess : static_cast<ErrorCode>(end);
}

std::uint32_t Win32FileSystem::GetAttributes(const std::wstring& path) {
  return GetFileAttributesW(path.c_str());
}

ErrorCode Win32FileSystem::CreateFolder(const std::wstring& path) {
  return ResultOf(CreateDirectoryW(path.c_str(), nullptr));
}

ErrorCode Win32FileSystem::RemoveFolder(const std::wstring& path) {
  return ResultOf(RemoveDirectoryW(path.c_str()));
}

ErrorCode Win32FileSystem::Move(const std::wstring& from, const std::wstring& to,
                                    bool replace) {
  DWORD flags = MOVEFILE_COPY_ALLOWED;
  if (replace) {
    if (IsReadOnlyFile(to)) return kErrorAccessDenied;
    flags |= MOVEFILE_REPLACE_EXISTING;
  }
  return ResultOf(MoveFileExW(from.c_str(), to.c_str(), flags));
}

ErrorCode Win32FileSystem::Delete(const std::wstring& path) {
  return ResultOf(DeleteFileW(path.c_str()));
}

ErrorCode Win32FileSystem::GetFreeClusters(const std::wstring& root, DiskClusters* clusters) {
  DWORD sectors = 0, bytes = 0, freeClusters = 0, total = 0;
  const BOOL ok = GetDiskFreeSpaceW(root.c_str(), &sectors, &bytes, &freeClusters, &total);
  if (ok) *clusters = DiskClusters{sectors, bytes, freeClusters, total};
  return ResultOf(ok);
}

ErrorCode Win32FileSystem::GetFreeBytes(const std::wstring& root, DiskBytes* bytes) {
  ULARGE_INTEGER caller, total, totalFree;
  const BOOL ok = GetDiskFreeSpaceExW(root.c_str(), &caller, &total, &totalFree);
  if (ok) *bytes = DiskBytes{caller.QuadPart, total.QuadPart, totalFree.QuadPart};
  return ResultOf(ok);
}

ErrorCode Win32FileSystem::Open(const std::wstring& path, OpenMode mode,
                                std::unique_ptr<IFileStream>* stream) {
  if (mode == OpenMode::ReadUncached) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_FLAG_NO_BUFFERING | FILE_FLAG_SEQUENTIAL_SCAN,
                                nullptr));
    if (file.IsValid()) {
      *stream = std::make_unique<UncachedFileStream>(std::move(file), SectorBytesOf(path));
      return kSuccess;
    }
    const DWORD error = GetLastError();
    // A file system that cannot read past its cache is read the plain way.
    if (error != ERROR_INVALID_PARAMETER && error != ERROR_NOT_SUPPORTED) return error;
    mode = OpenMode::Read;
  }
  const bool read = mode == OpenMode::Read;
  if (!read && IsReadOnlyFile(path)) return kErrorAccessDenied;
  FileHandle file(CreateFileW(path.c_str(), read ? GENERIC_READ : GENERIC_WRITE,
                              read ? FILE_SHARE_READ : 0, nullptr,
                              read ? OPEN_EXISTING : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr));
  if (!file.IsValid()) return GetLastError();
  *stream = std::make_unique<Win32FileStream>(std::move(file));
  return kSuccess;
}

}  // namespace os::win32
