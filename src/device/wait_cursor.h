#pragma once
// The wait cursor of the main window for as long as a scope runs.
#include "device/dap_acc.h"

namespace device {

class WaitCursor {
 public:
  explicit WaitCursor(IDapHost* host) : host_(host) {
    if (host_) host_->SetWaitCursor(true);
  }
  ~WaitCursor() {
    if (host_) host_->SetWaitCursor(false);
  }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  IDapHost* host_;
};

}  // namespace device
