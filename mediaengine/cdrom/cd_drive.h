#pragma once
// One CD-ROM drive of the engine: what disc it shows (polled, since folder
// drives raise no device notifications), eject, and the rip of its disc on a
// worker thread. A cue sheet in the drive's root makes the disc an image;
// otherwise the drive itself is asked through its control codes.
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "mediaengine/cdrom/disc_session.h"
#include "mediaengine/base/engine_context.h"
#include "engine/model/cdrom.h"

namespace mediaengine {

// Warning event of a track whose rip failed: param is the track number, the
// text says why (for a disc that reads differently every time, how many of
// its blocks).
constexpr long kWarningTrackRipFailed = 0x4D04;

class CdDrive : public wmp::ICdrom,
                public wmp::ICdromRip,
                public std::enable_shared_from_this<CdDrive> {
 public:
  // `changed` is called (on the calling thread) when the drive's disc changes.
  CdDrive(EngineContext& context, wchar_t letter, std::function<void()> changed);
  ~CdDrive() override;
  CdDrive(const CdDrive&) = delete;
  CdDrive& operator=(const CdDrive&) = delete;

  wchar_t Letter() const { return letter_; }
  // Looks at the drive again; true when the disc it shows changed.
  bool Poll();
  // The disc shown, or null.
  std::shared_ptr<DiscSession> Session() const;
  // Stops a rip and waits for its worker.
  void Shutdown();

  // ICdrom
  wmp::HResult DriveSpecifier(std::wstring* drive) override;
  wmp::HResult Playlist(wmp::PlaylistPtr* playlist) override;
  wmp::HResult Eject() override;
  wmp::CdromRipPtr Rip() override;

  // ICdromRip
  wmp::HResult StartRip() override;
  wmp::HResult StopRip() override;
  wmp::HResult RipState(long* state) override;
  wmp::HResult RipProgress(long* percent) override;

 private:
  void Adopt(std::shared_ptr<DiscSession> session);
  // The disc in the drive now, or null; `shown` is the one shown until now.
  std::shared_ptr<const DiscSource> LookAtDisc(const std::shared_ptr<const DiscSource>& shown);
  void RipDisc(std::shared_ptr<DiscSession> session);
  void JoinWorker();

  EngineContext& context_;
  const wchar_t letter_;
  std::function<void()> changed_;

  mutable std::mutex mutex_;
  std::shared_ptr<DiscSession> session_;
  // An ejected disc stays hidden until it is taken out or another goes in.
  std::shared_ptr<const DiscSource> ejected_;

  std::thread worker_;
  std::atomic<bool> stop_{false};
  std::atomic<long> ripState_{static_cast<long>(wmp::RipState::Unknown)};
  std::atomic<long> ripProgress_{0};
};

}  // namespace mediaengine
