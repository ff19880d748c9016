#include "engine/win32/com_sync_services.h"

#include <utility>

#include "engine/win32/com_calls.h"
#include "engine/win32/com_object_views.h"

namespace engine::win32 {

wmp::HResult ComSyncServices::DeviceCount(long* count) {
  if (!services_ || !count) return wmp::kPointer;
  return services_->get_deviceCount(count);
}

wmp::HResult ComSyncServices::GetDevice(long index, wmp::SyncDevicePtr* device) {
  if (!services_ || !device) return wmp::kPointer;
  if (index < 0) return wmp::kInvalidArg;
  ComPtr<IWMPSyncDevice> found;
  const HRESULT hr = services_->getDevice(index, found.Receive());
  return HandOut<ComSyncDeviceView>(hr, std::move(found), device);
}

}  // namespace engine::win32
