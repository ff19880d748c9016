#pragma once
// The transfer state of the main window, its timers and the ids of the
// controls it drives.
#include <cstdint>

#include "resources/resource.h"

namespace controller {

enum SyncState : int {
  SYNC_INIT = 0,           // idle: waiting for a CD and the player, or for the readiness count
  SYNC_SETTINGS = 1,       // a modal dialog of the main window is open
  SYNC_WAIT = 2,           // CD and player ready: Transfer may be pressed
  SYNC_PRE_RIPPING = 3,    // Transfer pressed: checks and rip preparation
  SYNC_RIPPING = 4,        // the engine rips the disc
  SYNC_RIPPING_ERROR = 5,  // the rip failed or stalled; FinishTransfer ends it
  SYNC_SYNCING = 6,        // the engine synchronises the ripped tracks
  SYNC_SYNCING_DONE = 7,   // the synchronisation finished
  SYNC_ERROR = 8,          // starting or running the synchronisation failed
  SYNC_ABORT = 9,          // the user cancelled the synchronisation
};

// "SYNC_INIT" .. "SYNC_ABORT"; "SYNC_?" for any other value.
const char* SyncStateName(int state);

// Window timers of the main window.
enum TimerId : unsigned {
  kTimerRipPoll = 5000,
  kTimerSyncStart = 5001,
  kTimerSyncProgress = 5002,
  kTimerPollDrives = 5003,
  kTimerWatchdog = 5004,
  kTimerFinish = 5005,
};
constexpr unsigned kFirstTimer = kTimerRipPoll;
constexpr int kTimerCount = 6;

// Interval of each timer in milliseconds.
std::uint32_t TimerInterval(unsigned id);

}  // namespace controller
