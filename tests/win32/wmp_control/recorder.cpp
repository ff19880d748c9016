#include "recorder.h"

#include <cstdio>

namespace test {
namespace {

constexpr wchar_t kClassName[] = L"MarimbaWmpRecorder";

std::wstring Hex(long value) {
  wchar_t text[16] = {};
  std::swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(value));
  return text;
}

std::wstring MediaText(LPARAM param) {
  auto* media = engine::MessageObject<wmp::IMedia>(static_cast<std::uintptr_t>(param));
  if (!media) return L"null";
  std::wstring name;
  std::wstring status;
  media->Name(&name);
  media->GetItemInfo(L"Status", &status);
  return name + L" " + status;
}

std::wstring DeviceText(WPARAM param) {
  auto* device = engine::MessageObject<wmp::ISyncDevice>(param);
  if (!device) return L"null";
  std::wstring name;
  device->FriendlyName(&name);
  return name;
}

}  // namespace

Recorder::Recorder() {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = &Recorder::Procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kClassName;
  RegisterClassW(&windowClass);  // a second registration fails harmlessly
  window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            GetModuleHandleW(nullptr), this);
  target_ = std::make_unique<engine::win32::WindowMessageTarget>(window_);
  sink_ = std::make_shared<engine::CWMPEventDispatch>();
  sink_->SetMainWindow(target_.get());
}

Recorder::~Recorder() {
  sink_->SetMainWindow(nullptr);
  DestroyWindow(window_);
}

LRESULT CALLBACK Recorder::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Recorder*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self && message >= engine::kMsgFirstPlayerEvent && message <= engine::kMsgLastPlayerEvent) {
    ++self->depth_;
    if (self->depth_ > self->deepest) self->deepest = self->depth_;
    self->Record(message, wParam, lParam);
    if (self->onMessage) self->onMessage(message, wParam, lParam);
    --self->depth_;
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void Recorder::Record(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case engine::kMsgMediaChange:
      seen.push_back(L"MediaChange " + MediaText(static_cast<LPARAM>(wParam)));
      break;
    case engine::kMsgCdromMediaChange:
      seen.push_back(L"CdromMediaChange " + std::to_wstring(engine::MessageNumber(wParam)));
      break;
    case engine::kMsgPlaylistCollectionChange:
      seen.push_back(L"PlaylistCollectionChange");
      break;
    case engine::kMsgCreatePartnershipComplete:
      seen.push_back(L"CreatePartnershipComplete " + DeviceText(wParam) + L" " +
                     Hex(engine::MessageNumber(static_cast<std::uintptr_t>(lParam))));
      break;
    case engine::kMsgDeviceSyncStateChange:
      seen.push_back(L"DeviceSyncStateChange " + DeviceText(wParam) + L" " +
                     std::to_wstring(engine::MessageNumber(static_cast<std::uintptr_t>(lParam))));
      break;
    case engine::kMsgDeviceSyncError:
      seen.push_back(L"DeviceSyncError " + DeviceText(wParam) + L" " + MediaText(lParam));
      break;
    default:
      seen.push_back(Hex(static_cast<long>(message)));
      break;
  }
}

}  // namespace test
