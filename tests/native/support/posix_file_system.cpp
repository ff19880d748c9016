#include "native/support/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "os/text_encoding.h"

namespace testing_support {
namespace {

os::ErrorCode ErrorOf(int error) {
  switch (error) {
    case ENOENT: return os::kErrorFileNotFound;
    case ENOTDIR: return os::kErrorPathNotFound;
    case EACCES:
    case EPERM: return os::kErrorAccessDenied;
    case EEXIST: return os::kErrorAlreadyExists;
    case ENOTEMPTY: return os::kErrorDirNotEmpty;
    case ENOSPC: return os::kErrorDiskFull;
    default: return os::kErrorInvalidParameter;
  }
}

std::string Native(const std::wstring& path) { return os::Utf8FromWide(path); }

class PosixStream : public os::IFileStream {
 public:
  explicit PosixStream(int fd) : fd_(fd) {}
  ~PosixStream() override { close(fd_); }

  os::ErrorCode Read(void* buffer, std::uint32_t size, std::uint32_t* done) override {
    *done = 0;
    while (*done < size) {
      const ssize_t got = read(fd_, static_cast<char*>(buffer) + *done, size - *done);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return ErrorOf(errno);
      if (got == 0) break;
      *done += static_cast<std::uint32_t>(got);
    }
    return os::kSuccess;
  }

  os::ErrorCode Write(const void* buffer, std::uint32_t size) override {
    std::uint32_t done = 0;
    while (done < size) {
      const ssize_t put = write(fd_, static_cast<const char*>(buffer) + done, size - done);
      if (put < 0 && errno == EINTR) continue;
      if (put < 0) return ErrorOf(errno);
      done += static_cast<std::uint32_t>(put);
    }
    return os::kSuccess;
  }

  os::ErrorCode Seek(std::uint64_t offset) override {
    return lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0 ? ErrorOf(errno) : os::kSuccess;
  }

  std::uint64_t Size() const override {
    struct stat info {};
    return fstat(fd_, &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
  }

  os::ErrorCode Flush() override { return fsync(fd_) == 0 ? os::kSuccess : ErrorOf(errno); }

 private:
  int fd_;
};

}  // namespace

os::ErrorCode PosixFileSystem::FindFiles(const std::wstring&, std::vector<os::FindEntry>*) {
  return os::kErrorInvalidParameter;
}

std::uint32_t PosixFileSystem::GetAttributes(const std::wstring& path) {
  struct stat info {};
  if (stat(Native(path).c_str(), &info) != 0) return os::kInvalidAttributes;
  return S_ISDIR(info.st_mode) ? os::kAttributeDirectory : os::kAttributeArchive;
}

os::ErrorCode PosixFileSystem::CreateFolder(const std::wstring& path) {
  return mkdir(Native(path).c_str(), 0755) == 0 ? os::kSuccess : ErrorOf(errno);
}

os::ErrorCode PosixFileSystem::RemoveFolder(const std::wstring& path) {
  return rmdir(Native(path).c_str()) == 0 ? os::kSuccess : ErrorOf(errno);
}

os::ErrorCode PosixFileSystem::Move(const std::wstring& from, const std::wstring& to,
                                    bool replace) {
  if (!replace && Exists(to)) return os::kErrorAlreadyExists;
  return rename(Native(from).c_str(), Native(to).c_str()) == 0 ? os::kSuccess : ErrorOf(errno);
}

os::ErrorCode PosixFileSystem::Delete(const std::wstring& path) {
  return unlink(Native(path).c_str()) == 0 ? os::kSuccess : ErrorOf(errno);
}

os::ErrorCode PosixFileSystem::GetFreeClusters(const std::wstring&, os::DiskClusters*) {
  return os::kErrorInvalidParameter;
}

os::ErrorCode PosixFileSystem::GetFreeBytes(const std::wstring&, os::DiskBytes*) {
  return os::kErrorInvalidParameter;
}

os::ErrorCode PosixFileSystem::Open(const std::wstring& path, os::OpenMode mode,
                                    std::unique_ptr<os::IFileStream>* stream) {
  const bool read = mode == os::OpenMode::Read || mode == os::OpenMode::ReadUncached;
  const int flags = read ? O_RDONLY : (O_RDWR | O_CREAT | O_TRUNC);
  const int fd = open(Native(path).c_str(), flags | O_CLOEXEC, 0644);
  if (fd < 0) return ErrorOf(errno);
  *stream = std::make_unique<PosixStream>(fd);
  return os::kSuccess;
}

TempFolder::TempFolder() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/marimba-test-XXXXXX";
  if (mkdtemp(pattern.data())) path_ = pattern;
}

TempFolder::~TempFolder() {
  if (path_.empty()) return;
  if (DIR* dir = opendir(path_.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") unlink((path_ + "/" + name).c_str());
    }
    closedir(dir);
  }
  rmdir(path_.c_str());
}

std::wstring TempFolder::File(const std::string& name) const {
  return os::WideFromUtf8(path_ + "/" + name);
}

}  // namespace testing_support
