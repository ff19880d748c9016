#pragma once
// The installed engine's CD drives seen through the engine object model:
// the CD-ROM collection, each drive and its rip face.
#include <string>

#include "engine/model/cdrom.h"
#include "engine/win32/control_call.h"
#include "engine/win32/wmp_interfaces.h"

namespace engine::win32 {

class ComCdromRip final : public wmp::ICdromRip {
 public:
  explicit ComCdromRip(ComPtr<IWMPCdromRip> rip) : rip_(std::move(rip)) {}

  wmp::HResult StartRip() override;
  wmp::HResult StopRip() override;
  wmp::HResult RipState(long* state) override;
  wmp::HResult RipProgress(long* percent) override;

 private:
  ControlPtr<IWMPCdromRip> rip_;
};

class ComCdrom final : public wmp::ICdrom {
 public:
  explicit ComCdrom(ComPtr<IWMPCdrom> drive) : drive_(std::move(drive)) {}

  wmp::HResult DriveSpecifier(std::wstring* drive) override;
  wmp::HResult Playlist(wmp::PlaylistPtr* playlist) override;
  wmp::HResult Eject() override;
  // The drive's IWMPCdromRip face (engines from version 11 have one).
  wmp::CdromRipPtr Rip() override;

 private:
  ControlPtr<IWMPCdrom> drive_;
};

class ComCdromCollection final : public wmp::ICdromCollection {
 public:
  explicit ComCdromCollection(ComPtr<IWMPCdromCollection> drives) : drives_(std::move(drives)) {}

  wmp::HResult Count(long* count) override;
  wmp::HResult Item(long index, wmp::CdromPtr* drive) override;

 private:
  ControlPtr<IWMPCdromCollection> drives_;
};

}  // namespace engine::win32
