#include "ui/track_list.h"

namespace ui {

void CheckSnapshot::Set(int trackNumber, bool checked) {
  if (trackNumber < 1 || trackNumber > kTracks) return;
  const int i = trackNumber - 1;
  const auto bit = static_cast<std::uint8_t>(1u << (i % 8));
  if (checked) {
    bits_[i / 8] |= bit;
  } else {
    bits_[i / 8] &= static_cast<std::uint8_t>(~bit);
  }
}

bool CheckSnapshot::IsTrackChecked(int trackNumber) const {
  if (trackNumber < 1 || trackNumber > kTracks) return false;
  const int i = trackNumber - 1;
  return (bits_[i / 8] & (1u << (i % 8))) != 0;
}

void CReportCtrl::SnapshotChecks(bool allChecked) {
  if (allChecked) {
    snapshot_.CheckAll();
    return;
  }
  const int rows = GetRowCount();
  for (int i = 0; i < rows && i < kSnapshotTracks; ++i) snapshot_.Set(i + 1, GetRowCheck(i) != 0);
}

}  // namespace ui
