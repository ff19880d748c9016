#pragma once
// What the parts of the engine share: the platform ports, the event hub and
// the library. Owned by the player; every part borrows it.
#include "mediaengine/base/event_hub.h"
#include "os/cdrom_control.h"
#include "os/clock.h"
#include "os/drives.h"
#include "os/file_system.h"
#include "os/registry.h"
#include "os/system.h"

namespace mediaengine {

class MediaLibrary;

struct EngineContext {
  os::IFileSystem& files;
  os::IDrives& drives;
  os::IRegistry& registry;
  os::ISystem& system;
  os::IClock& clock;
  EventHub& events;
  MediaLibrary& library;
  // The drives' control codes; null reads images only.
  os::ICdromDevices* cdroms = nullptr;
};

}  // namespace mediaengine
