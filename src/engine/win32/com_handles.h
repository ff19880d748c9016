#pragma once
// Owners of COM references and BSTRs: released in the destructor, movable,
// never copied. Taking another reference is said out loud (Share).
#include <windows.h>
#include <oleauto.h>

#include <cstddef>
#include <string>
#include <utility>

namespace engine::win32 {

template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}
  ~ComPtr() { Reset(); }
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      p_ = std::exchange(other.p_, nullptr);
    }
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;

  // Takes over a reference the caller owns.
  static ComPtr Adopt(T* object) {
    ComPtr owner;
    owner.p_ = object;
    return owner;
  }
  // Takes a reference of its own.
  static ComPtr Share(T* object) {
    if (object) object->AddRef();
    return Adopt(object);
  }

  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

  // The slot for an out parameter; whatever was held is released first.
  T** Receive() {
    Reset();
    return &p_;
  }
  // Hands the reference to the caller.
  T* Detach() { return std::exchange(p_, nullptr); }
  void Reset() {
    if (p_) std::exchange(p_, nullptr)->Release();
  }

  // The object's `Other` face; empty when it has none.
  template <class Other>
  ComPtr<Other> Query() const {
    ComPtr<Other> other;
    if (p_) p_->QueryInterface(__uuidof(Other), reinterpret_cast<void**>(other.Receive()));
    return other;
  }

 private:
  T* p_ = nullptr;
};

// A BSTR; null stands for the empty string, as COM has it.
class Bstr {
 public:
  Bstr() = default;
  ~Bstr() { Reset(); }
  Bstr(Bstr&& other) noexcept : text_(std::exchange(other.text_, nullptr)) {}
  Bstr& operator=(Bstr&& other) noexcept {
    if (this != &other) {
      Reset();
      text_ = std::exchange(other.text_, nullptr);
    }
    return *this;
  }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;

  static Bstr Adopt(BSTR text) {
    Bstr owner;
    owner.text_ = text;
    return owner;
  }
  // Null only when the allocation failed.
  static Bstr FromString(const std::wstring& text) {
    return Adopt(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
  }
  // Embedded nulls kept; a null BSTR reads as "". May throw std::bad_alloc.
  static std::wstring ToString(BSTR text) {
    return text ? std::wstring(text, SysStringLen(text)) : std::wstring();
  }

  BSTR Get() const { return text_; }
  explicit operator bool() const { return text_ != nullptr; }
  std::wstring ToString() const { return ToString(text_); }
  BSTR* Receive() {
    Reset();
    return &text_;
  }
  BSTR Detach() { return std::exchange(text_, nullptr); }
  void Reset() {
    if (text_) SysFreeString(std::exchange(text_, nullptr));
  }

 private:
  BSTR text_ = nullptr;
};

}  // namespace engine::win32
