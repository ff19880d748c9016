// The used and free space of the selected player.
#include "device/dap_acc.h"

#include <algorithm>

namespace device {
namespace {

const wchar_t kOurManufacturer[] = L"ORBIT";
constexpr double kBytesPerMegabyte = 1024.0 * 1024.0;

void ShowClusters(ui::CStaticEx* label, std::uint32_t clusters, std::uint32_t sectorsPerCluster,
                  std::uint32_t bytesPerSector) {
  if (label) label->ShowClusterSize(clusters, sectorsPerCluster, bytesPerSector);
}

void ShowBytes(ui::CStaticEx* label, std::int64_t bytes) {
  if (label) label->ShowByteSize(bytes);
}

}  // namespace

void CDAPAcc::UpdateCapacity() {
  const std::wstring drive = GetSelectedDrive();
  if (!drive.empty()) {
    os::DiskClusters clusters;
    if (files_.GetFreeClusters(drive + L"\\", &clusters) != os::kSuccess) {
      clusters = os::DiskClusters();
    }
    // A file system that reports more free than total clusters has no used ones.
    const std::uint32_t used = clusters.totalClusters > clusters.freeClusters
                                   ? clusters.totalClusters - clusters.freeClusters
                                   : 0;
    ShowClusters(usedLabel_, used, clusters.sectorsPerCluster, clusters.bytesPerSector);
    ShowClusters(freeLabel_, clusters.freeClusters, clusters.sectorsPerCluster,
                 clusters.bytesPerSector);
    // In floating point: the byte count of a large drive does not fit 32 bits.
    const double freeBytes = static_cast<double>(clusters.freeClusters) *
                             clusters.sectorsPerCluster * clusters.bytesPerSector;
    freeMB_ = static_cast<float>(freeBytes / kBytesPerMegabyte);
    return;
  }
  if (GetSelectedIndex() < 0) {
    ShowClusters(usedLabel_, 0, 0, 0);
    ShowClusters(freeLabel_, 0, 0, 0);
    freeMB_ = 0;
    return;
  }
  const std::int64_t total = syncDevice_.GetTotalSpace();
  std::int64_t free = syncDevice_.GetFreeSpace();
  std::int64_t managerFree = 0;
  if (FindDeviceManagerFreeSpace(syncDevice_.GetFriendlyName(), total, &managerFree)) {
    free = managerFree;
  }
  ShowBytes(freeLabel_, free);
  ShowBytes(usedLabel_, std::max<std::int64_t>(total - free, 0));
  freeMB_ = static_cast<float>(static_cast<double>(free) / kBytesPerMegabyte);
}

bool CDAPAcc::FindDeviceManagerFreeSpace(const std::wstring& friendlyName,
                                         std::int64_t totalBytes, std::int64_t* freeBytes) {
  if (!deviceManager_ || !freeBytes) return false;
  ManagedDeviceEnumPtr devices;
  if (wmp::Failed(deviceManager_->EnumDevices(&devices)) || !devices) return false;
  for (;;) {
    ManagedDevicePtr device;
    if (devices->Next(&device) != wmp::kOk || !device) return false;
    std::wstring manufacturer;
    if (wmp::Failed(device->GetManufacturer(&manufacturer))) continue;
    // Read into a buffer of kManufacturerChars characters.
    if (manufacturer.size() >= IManagedDevice::kManufacturerChars) {
      manufacturer.resize(IManagedDevice::kManufacturerChars - 1);
    }
    if (manufacturer != kOurManufacturer) continue;
    std::wstring name;
    if (wmp::Failed(device->GetFriendlyName(&name)) || name != friendlyName) continue;
    std::vector<StorageSize> storages;
    if (wmp::Failed(device->EnumStorage(&storages))) continue;
    const auto sized = std::find_if(storages.begin(), storages.end(), [](const StorageSize& s) {
      return s.hasTotal && s.hasFree;
    });
    if (sized == storages.end()) continue;
    if (totalBytes < 0 || sized->totalBytes != static_cast<std::uint64_t>(totalBytes)) continue;
    *freeBytes = static_cast<std::int64_t>(sized->freeBytes);
    return true;
  }
}

}  // namespace device
