#include "mediaengine/cdrom/cd_drive.h"

#include "mediaengine/cdrom/disc_objects.h"
#include "mediaengine/cdrom/progress_pacer.h"
#include "mediaengine/cdrom/disc_ripper.h"
#include "mediaengine/disc/disc_image.h"
#include "mediaengine/disc/drive_disc.h"
#include "engine/model/player.h"
#include "mediaengine/library/media_library.h"

namespace mediaengine {
namespace {

std::wstring RippingStatus(int percent) {
  return L"Ripping (" + std::to_wstring(percent) + L"%)";
}

// Statuses keep the "word (n%)" shape so readers find the figure after the word.
constexpr wchar_t kRippedStatus[] = L"Ripped (100%)";
constexpr wchar_t kFailedStatus[] = L"Rip failed";
// Ten progress reports a second at most: smooth enough for a bar.
constexpr std::chrono::milliseconds kProgressInterval{100};

}  // namespace

CdDrive::CdDrive(EngineContext& context, wchar_t letter, std::function<void()> changed)
    : context_(context), letter_(letter), changed_(std::move(changed)) {}

CdDrive::~CdDrive() {
  Shutdown();
  // The rip worker itself let go of the last reference: it is on its way
  // out, and a joinable thread must not be destroyed.
  if (worker_.joinable()) worker_.detach();
}

void CdDrive::Shutdown() {
  stop_ = true;
  JoinWorker();
}

void CdDrive::JoinWorker() {
  if (worker_.joinable() && worker_.get_id() != std::this_thread::get_id()) worker_.join();
}

std::shared_ptr<DiscSession> CdDrive::Session() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return session_;
}

std::shared_ptr<const DiscSource> CdDrive::LookAtDisc(
    const std::shared_ptr<const DiscSource>& shown) {
  DiscProblem problem;
  std::shared_ptr<const DiscSource> image =
      DiscImage::Open(context_.files, os::DriveRoot(letter_), &problem);
  if (image) return image;
  // A root without a cue sheet (a real audio CD shows only .cda files, or
  // nothing under Wine), or one that cannot be listed: the drive itself.
  const bool notAnImage =
      problem.status == DiscStatus::NoCueSheet || problem.status == DiscStatus::NoMedium;
  if (!notAnImage || !context_.cdroms) return nullptr;
  return DriveDisc::Open(*context_.cdroms, letter_, shown, &problem);
}

bool CdDrive::Poll() {
  std::shared_ptr<const DiscSource> shown;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    shown = session_ ? session_->SourcePtr() : ejected_;
  }
  std::shared_ptr<const DiscSource> image = LookAtDisc(shown);
  std::shared_ptr<DiscSession> adopted;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (ejected_) {
      if (image && image->SameDisc(*ejected_)) return false;  // still out
      ejected_.reset();
    }
    if (image && session_ && image->SameDisc(session_->Source())) return false;
    if (!image && !session_) return false;
    if (image) adopted = std::make_shared<DiscSession>(image);
  }
  if (!adopted) {
    stop_ = true;  // the disc went away under a rip
  }
  Adopt(adopted);
  return true;
}

void CdDrive::Adopt(std::shared_ptr<DiscSession> session) {
  if (session) {
    std::weak_ptr<DiscSession> weak = session;
    EventHub& events = context_.events;
    session->SetChangeHook([weak, &events](int number) {
      auto disc = weak.lock();
      if (!disc) return;
      if (number == 0) {
        auto playlist = std::make_shared<DiscPlaylist>(disc);
        events.Raise([playlist](wmp::IPlayerEvents& sink) {
          sink.PlaylistChange(playlist.get(), wmp::kPlaylistChangeName);
        });
      } else {
        auto item = std::make_shared<DiscTrackMedia>(disc, number);
        events.Raise([item](wmp::IPlayerEvents& sink) { sink.MediaChange(item.get()); });
      }
    });
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    session_ = std::move(session);
  }
  if (changed_) changed_();
}

wmp::HResult CdDrive::DriveSpecifier(std::wstring* drive) {
  if (!drive) return wmp::kPointer;
  *drive = std::wstring{letter_, L':'};
  return wmp::kOk;
}

wmp::HResult CdDrive::Playlist(wmp::PlaylistPtr* playlist) {
  if (!playlist) return wmp::kPointer;
  auto session = Session();
  if (session) {
    *playlist = std::make_shared<DiscPlaylist>(session);
  } else {
    *playlist = std::make_shared<EmptyDrivePlaylist>();
  }
  return wmp::kOk;
}

wmp::HResult CdDrive::Eject() {
  stop_ = true;
  JoinWorker();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!session_) return wmp::kOk;
    ejected_ = session_->SourcePtr();
  }
  // A real drive opens its tray; an image stays hidden until it changes.
  if (auto drive = std::dynamic_pointer_cast<const DriveDisc>(ejected_)) drive->Eject();
  Adopt(nullptr);
  return wmp::kOk;
}

wmp::CdromRipPtr CdDrive::Rip() { return shared_from_this(); }

wmp::HResult CdDrive::StartRip() {
  auto session = Session();
  if (!session) return wmp::kNotReady;
  if (ripState_ == static_cast<long>(wmp::RipState::Ripping)) return wmp::kOk;
  JoinWorker();
  stop_ = false;
  ripProgress_ = 0;
  ripState_ = static_cast<long>(wmp::RipState::Ripping);
  auto self = shared_from_this();
  worker_ = std::thread([self, session] { self->RipDisc(session); });
  return wmp::kOk;
}

wmp::HResult CdDrive::StopRip() {
  stop_ = true;
  JoinWorker();
  return wmp::kOk;
}

wmp::HResult CdDrive::RipState(long* state) {
  if (!state) return wmp::kPointer;
  *state = ripState_;
  return wmp::kOk;
}

wmp::HResult CdDrive::RipProgress(long* percent) {
  if (!percent) return wmp::kPointer;
  *percent = ripProgress_;
  return wmp::kOk;
}

void CdDrive::RipDisc(std::shared_ptr<DiscSession> session) {
  std::wstring music;
  if (!context_.system.MusicFolder(false, &music)) context_.system.MusicFolder(true, &music);
  const RipPreferences preferences = ReadRipPreferences(context_.registry, music);
  const int count = session->TrackCount();
  // Progress comes from one thread at a time: the pacer needs no lock.
  ProgressPacer pacer(kProgressInterval);
  DiscRipWatch watch;
  watch.stopped = [this] { return stop_.load(); };
  watch.progress = [&](int number, int percent) {
    ripProgress_ = ((number - 1) * 100 + percent) / count;
    if (pacer.Admit(number, ProgressPacer::Clock::now())) {
      session->SetTrackAttribute(number, attr::kStatus, RippingStatus(percent));
    }
  };
  watch.ended = [&](int number, const TrackRipResult& result) {
    if (result.outcome == TrackRipOutcome::Ripped) {
      session->SetTrackAttribute(number, attr::kStatus, kRippedStatus);
    } else if (result.outcome == TrackRipOutcome::Stopped) {
      session->SetTrackAttribute(number, attr::kStatus, L"");
    } else {
      session->SetTrackAttribute(number, attr::kStatus, kFailedStatus);
      auto item = std::make_shared<DiscTrackMedia>(session, number);
      const std::wstring reason = result.reason;
      context_.events.Raise([item, number, reason](wmp::IPlayerEvents& sink) {
        sink.MediaError(item.get());
        sink.Warning(kWarningTrackRipFailed, number, reason);
      });
    }
  };
  // Coding takes the processor: one thread per core, this one and a helper,
  // both on every track.
  const int threads = std::thread::hardware_concurrency() > 1 ? 2 : 1;
  RipDiscTracks(context_, *session, preferences, threads, watch);
  if (!stop_) ripProgress_ = 100;
  ripState_ = static_cast<long>(wmp::RipState::Stopped);
}

}  // namespace mediaengine
