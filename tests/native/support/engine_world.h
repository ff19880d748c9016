#pragma once
// Our engine's context over fakes, as the rip and drive tests need it: a
// library in C:\Library, the music folder C:\Music, CD-ROM control codes
// with no disc until a test inserts one.
#include <cstdint>

#include "fakes/fake_cdrom.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_drives.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_system.h"
#include "mediaengine/base/engine_context.h"
#include "mediaengine/base/event_hub.h"
#include "mediaengine/base/event_queue.h"
#include "mediaengine/base/rip_preferences.h"
#include "mediaengine/library/media_library.h"

namespace testing_support {

struct EngineWorld {
  EngineWorld() {
    files.AddDrive(L'C');
    files.AddFolder(L"C:\\Library");
    system.SetMusicFolder(L"C:\\Music");
    library.Load();
  }

  // The user's rip settings as stored, at `rate` bit/s.
  mediaengine::RipPreferences Preferences(std::uint32_t rate) {
    mediaengine::RipPreferences preferences = mediaengine::ReadRipPreferences(registry, L"C:\\Music");
    preferences.wmaRate = rate;
    return preferences;
  }

  fakes::FakeCdromDevices devices;
  fakes::FakeFileSystem files;
  fakes::FakeDrives drives;
  fakes::FakeRegistry registry;
  fakes::FakeSystem system;
  fakes::FakeClock clock;
  mediaengine::EventQueue queue;
  mediaengine::EventHub events{queue};
  mediaengine::MediaLibrary library{files, L"C:\\Library", mediaengine::AsfTagReader(files)};
  mediaengine::EngineContext context{files, drives, registry, system, clock, events, library,
                                     &devices};
};

}  // namespace testing_support
