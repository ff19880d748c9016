#pragma once
// Non-copyable owners of kernel handles.
#include <windows.h>

#include <utility>

namespace os::win32 {

// Owner of a HANDLE whose "no handle" value is `Invalid`.
template <HANDLE (*Invalid)(), BOOL(WINAPI* Close)(HANDLE)>
class BasicHandle {
 public:
  BasicHandle() = default;
  explicit BasicHandle(HANDLE handle) : handle_(handle) {}
  ~BasicHandle() { Reset(); }
  BasicHandle(BasicHandle&& other) noexcept : handle_(std::exchange(other.handle_, Invalid())) {}
  BasicHandle& operator=(BasicHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = std::exchange(other.handle_, Invalid());
    }
    return *this;
  }
  BasicHandle(const BasicHandle&) = delete;
  BasicHandle& operator=(const BasicHandle&) = delete;

  HANDLE Get() const { return handle_; }
  bool IsValid() const { return handle_ != Invalid() && handle_ != nullptr; }
  void Reset() {
    if (IsValid()) Close(handle_);
    handle_ = Invalid();
  }

 private:
  HANDLE handle_ = Invalid();
};

inline HANDLE NullHandleValue() { return nullptr; }
inline HANDLE InvalidHandleValue() { return INVALID_HANDLE_VALUE; }

// CreateFile, FindFirstFile, CreateMutex and friends.
using FileHandle = BasicHandle<InvalidHandleValue, CloseHandle>;
using FindHandle = BasicHandle<InvalidHandleValue, FindClose>;
using KernelHandle = BasicHandle<NullHandleValue, CloseHandle>;

}  // namespace os::win32
