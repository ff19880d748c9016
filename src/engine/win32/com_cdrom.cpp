#include "engine/win32/com_cdrom.h"

#include <memory>
#include <new>
#include <utility>

#include "engine/win32/com_calls.h"
#include "engine/win32/com_object_views.h"

namespace engine::win32 {

// --- rip face -------------------------------------------------------------

wmp::HResult ComCdromRip::StartRip() { return rip_ ? rip_->startRip() : wmp::kPointer; }

wmp::HResult ComCdromRip::StopRip() { return rip_ ? rip_->stopRip() : wmp::kPointer; }

wmp::HResult ComCdromRip::RipState(long* state) {
  if (!rip_ || !state) return wmp::kPointer;
  WMPRipState value = wmprsUnknown;
  const HRESULT hr = rip_->get_ripState(&value);
  if (SUCCEEDED(hr)) *state = static_cast<long>(value);
  return hr;
}

wmp::HResult ComCdromRip::RipProgress(long* percent) {
  if (!rip_ || !percent) return wmp::kPointer;
  return rip_->get_ripProgress(percent);
}

// --- drive ----------------------------------------------------------------

wmp::HResult ComCdrom::DriveSpecifier(std::wstring* drive) {
  if (!drive_) return wmp::kPointer;
  return ReadText([&](BSTR* out) { return drive_->get_driveSpecifier(out); }, drive);
}

wmp::HResult ComCdrom::Playlist(wmp::PlaylistPtr* playlist) {
  if (!drive_ || !playlist) return wmp::kPointer;
  ComPtr<IWMPPlaylist> tracks;
  const HRESULT hr = drive_->get_Playlist(tracks.Receive());
  return HandOut<ComPlaylistView>(hr, std::move(tracks), playlist);
}

wmp::HResult ComCdrom::Eject() { return drive_ ? drive_->eject() : wmp::kPointer; }

wmp::CdromRipPtr ComCdrom::Rip() {
  ComPtr<IWMPCdromRip> rip = drive_.Query<IWMPCdromRip>();
  if (!rip) return nullptr;
  try {
    return std::make_shared<ComCdromRip>(std::move(rip));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

// --- collection -----------------------------------------------------------

wmp::HResult ComCdromCollection::Count(long* count) {
  if (!drives_ || !count) return wmp::kPointer;
  return drives_->get_count(count);
}

wmp::HResult ComCdromCollection::Item(long index, wmp::CdromPtr* drive) {
  if (!drives_ || !drive) return wmp::kPointer;
  ComPtr<IWMPCdrom> item;
  const HRESULT hr = drives_->Item(index, item.Receive());
  return HandOut<ComCdrom>(hr, std::move(item), drive);
}

}  // namespace engine::win32
