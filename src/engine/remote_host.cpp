#include "engine/remote_host.h"

#include <new>
#include <utility>

#include "resources/resource.h"

namespace engine {

const wchar_t kRemoteServiceType[] = L"Remote";

wmp::HResult CRemoteHost::GetServiceType(std::wstring* type) {
  if (!type) return wmp::kPointer;
  try {
    type->assign(kRemoteServiceType);
  } catch (const std::bad_alloc&) {
    return wmp::kPointer;
  }
  return wmp::kOk;
}

wmp::HResult CRemoteHost::GetApplicationName(std::wstring* name) {
  if (!name) return wmp::kPointer;
  try {
    std::wstring title = strings_.Load(IDS_APP_TITLE);
    if (title.empty()) return wmp::kPointer;
    *name = std::move(title);
  } catch (const std::bad_alloc&) {
    return wmp::kPointer;
  }
  return wmp::kOk;
}

}  // namespace engine
