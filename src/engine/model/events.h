#pragma once
// Every event the engine raises (event_list.h), with its arguments. The
// engine calls a sink on the thread that created the player, one event at a
// time; string and object arguments are valid only during the call.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/model/event_list.h"
#include "engine/model/media.h"
#include "engine/model/sync.h"

namespace wmp {

class IPlayerEvents {
 public:
  virtual ~IPlayerEvents() = default;
#define WMP_PURE_PLAYER_EVENT(name, parameters, arguments, delivery) \
  virtual void name parameters = 0;
  WMP_PLAYER_EVENTS(WMP_PURE_PLAYER_EVENT)
#undef WMP_PURE_PLAYER_EVENT
};
using PlayerEventsPtr = std::shared_ptr<IPlayerEvents>;

// Takes an event's arguments and does nothing with them.
template <class... Arguments>
void IgnoreEventArguments(const Arguments&...) {}

// A sink that ignores every event; derive and override what you need.
class PlayerEventsBase : public IPlayerEvents {
 public:
#define WMP_IGNORED_PLAYER_EVENT(name, parameters, arguments, delivery) \
  void name parameters override { IgnoreEventArguments arguments; }
  WMP_PLAYER_EVENTS(WMP_IGNORED_PLAYER_EVENT)
#undef WMP_IGNORED_PLAYER_EVENT
};

}  // namespace wmp
