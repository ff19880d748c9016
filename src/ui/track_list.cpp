#include "ui/track_list.h"

namespace ui {

void CReportCtrl::SnapshotChecks(bool allChecked) {
  if (allChecked) {
    snapshot_.fill(0xFF);
    return;
  }
  const int rows = GetRowCount();
  for (int i = 0; i < rows && i < kSnapshotTracks; ++i) {
    const auto bit = static_cast<std::uint8_t>(1u << (i % 8));
    if (GetRowCheck(i) != 0) {
      snapshot_[i / 8] |= bit;
    } else {
      snapshot_[i / 8] &= static_cast<std::uint8_t>(~bit);
    }
  }
}

bool CReportCtrl::IsTrackChecked(int trackNumber) const {
  if (trackNumber < 1 || trackNumber > kSnapshotTracks) return false;
  const int i = trackNumber - 1;
  return (snapshot_[i / 8] & (1u << (i % 8))) != 0;
}

}  // namespace ui
