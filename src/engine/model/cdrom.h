#pragma once
// CD drives of the engine object model.
#include <memory>
#include <string>

#include "engine/model/media.h"

namespace wmp {

// Rip state of a drive (the engine's published values).
enum class RipState : long { Unknown = 0, Ripping = 1, Stopped = 2 };

class ICdromRip {
 public:
  virtual ~ICdromRip() = default;
  // Rips the whole disc into the library on a worker; progress arrives as
  // MediaChange events and the items' "Status" attribute.
  virtual HResult StartRip() = 0;
  virtual HResult StopRip() = 0;
  virtual HResult RipState(long* state) = 0;
  // Overall progress 0..100.
  virtual HResult RipProgress(long* percent) = 0;
};
using CdromRipPtr = std::shared_ptr<ICdromRip>;

class ICdrom {
 public:
  virtual ~ICdrom() = default;
  // Letter and colon, such as "D:".
  virtual HResult DriveSpecifier(std::wstring* drive) = 0;
  // One item per track in disc order; for an empty drive a playlist named
  // "ドライブにディスクがありません" without items.
  virtual HResult Playlist(PlaylistPtr* playlist) = 0;
  virtual HResult Eject() = 0;
  // The rip face of the drive (null when the drive cannot rip).
  virtual CdromRipPtr Rip() = 0;
};
using CdromPtr = std::shared_ptr<ICdrom>;

class ICdromCollection {
 public:
  virtual ~ICdromCollection() = default;
  virtual HResult Count(long* count) = 0;
  virtual HResult Item(long index, CdromPtr* drive) = 0;
};
using CdromCollectionPtr = std::shared_ptr<ICdromCollection>;

}  // namespace wmp
