#include "engine/win32/window_message_target.h"

namespace engine::win32 {

std::intptr_t WindowMessageTarget::Send(unsigned message, std::uintptr_t wParam,
                                        std::intptr_t lParam) {
  return SendMessageW(window_, message, wParam, lParam);
}

}  // namespace engine::win32
