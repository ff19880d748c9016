#pragma once
// Calls into the platform control, counted on the calling thread. The
// control may raise an event from inside a call the tool makes (a
// partnership, a rip or a synchronisation being started); the event relay
// asks ControlCall::Active() to tell such an event from one the control
// raises on its own.
#include <utility>

#include "engine/win32/com_handles.h"

namespace engine::win32 {

class ControlCall {
 public:
  ControlCall() { ++Depth(); }
  ~ControlCall() { --Depth(); }
  ControlCall(const ControlCall&) = delete;
  ControlCall& operator=(const ControlCall&) = delete;

  static bool Active() { return Depth() > 0; }

 private:
  static int& Depth() {
    thread_local int depth = 0;
    return depth;
  }
};

// A reference on a control object whose every call through -> counts as a
// call into the control for the whole expression (the temporary Calling
// lives until the call has returned).
template <class T>
class ControlPtr {
 public:
  class Calling {
   public:
    explicit Calling(T* object) : object_(object) {}
    T* operator->() const { return object_; }

   private:
    ControlCall call_;
    T* object_;
  };

  ControlPtr() = default;
  ControlPtr(ComPtr<T> object) : object_(std::move(object)) {}  // NOLINT: a plain upgrade

  Calling operator->() const { return Calling(object_.Get()); }
  T* Get() const { return object_.Get(); }
  explicit operator bool() const { return static_cast<bool>(object_); }
  template <class Other>
  ComPtr<Other> Query() const {
    return object_.template Query<Other>();
  }

 private:
  ComPtr<T> object_;
};

}  // namespace engine::win32
