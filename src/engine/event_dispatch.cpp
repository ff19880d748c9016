#include "engine/event_dispatch.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <tuple>

namespace engine {
namespace {

// A parameter of a message from one argument of its event (the encodings
// of player_messages.h). wParam takes the same bits, unsigned.
std::intptr_t Encode(long value) { return static_cast<std::intptr_t>(value); }
std::intptr_t Encode(wmp::HResult value) { return static_cast<std::intptr_t>(value); }
// True spreads to every bit, as a VARIANT_BOOL does.
std::intptr_t Encode(bool value) { return value ? -1 : 0; }
std::intptr_t Encode(const std::wstring& text) { return reinterpret_cast<std::intptr_t>(&text); }
std::intptr_t Encode(wmp::IMedia* object) { return reinterpret_cast<std::intptr_t>(object); }
std::intptr_t Encode(wmp::IPlaylist* object) { return reinterpret_cast<std::intptr_t>(object); }
std::intptr_t Encode(wmp::ISyncDevice* object) { return reinterpret_cast<std::intptr_t>(object); }

// Positions toward zero, as a C cast of a position to int; out-of-range
// values saturate and NaN gives 0 instead of whatever the hardware makes of
// them.
std::intptr_t Encode(double position) {
  if (std::isnan(position)) return 0;
  constexpr double kMin = std::numeric_limits<std::int32_t>::min();
  constexpr double kMax = std::numeric_limits<std::int32_t>::max();
  if (position <= kMin) return std::numeric_limits<std::int32_t>::min();
  if (position >= kMax) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::intptr_t>(std::trunc(position));
}

}  // namespace

const wchar_t kPlayerApplicationTitle[] = L"Windows Media Player";

void CWMPEventDispatch::Send(PlayerEventMessage message, std::uintptr_t wParam,
                             std::intptr_t lParam) {
  if (window_) window_->Send(message, wParam, lParam);
}

template <class Arguments>
void CWMPEventDispatch::SendEncoded(PlayerEventMessage message, const Arguments& arguments) {
  static_assert(std::tuple_size_v<Arguments> <= 2, "a message carries two parameters");
  std::apply(
      [&](const auto&... argument) {
        const std::intptr_t encoded[] = {Encode(argument)..., 0, 0};
        Send(message, static_cast<std::uintptr_t>(encoded[0]), encoded[1]);
      },
      arguments);
}

// Every event but those with code of their own (OWN).
#define MARIMBA_DISPATCH_EVENT(name, parameters, arguments, delivery) \
  MARIMBA_DISPATCH_##delivery(name, parameters, arguments)
#define MARIMBA_DISPATCH_MESSAGE(name, parameters, arguments) \
  void CWMPEventDispatch::name parameters {                  \
    SendEncoded(kMsg##name, std::forward_as_tuple arguments); \
  }
#define MARIMBA_DISPATCH_DROPPED(name, parameters, arguments) \
  void CWMPEventDispatch::name parameters { wmp::IgnoreEventArguments arguments; }
#define MARIMBA_DISPATCH_OWN(name, parameters, arguments)
WMP_PLAYER_EVENTS(MARIMBA_DISPATCH_EVENT)
#undef MARIMBA_DISPATCH_EVENT
#undef MARIMBA_DISPATCH_MESSAGE
#undef MARIMBA_DISPATCH_DROPPED
#undef MARIMBA_DISPATCH_OWN

void CWMPEventDispatch::MediaCollectionAttributeStringChanged(const std::wstring& attribute,
                                                              const std::wstring& oldValue,
                                                              const std::wstring& newValue) {
  // Lives on this frame: the handler has finished with it when Send returns.
  const std::wstring* const values[2] = {&oldValue, &newValue};
  Send(kMsgMediaCollectionAttributeStringChanged, static_cast<std::uintptr_t>(Encode(attribute)),
       reinterpret_cast<std::intptr_t>(values));
}

os::WindowRef FindPlayerApplicationWindow(os::ITopWindows& windows) {
  os::WindowRef found = os::kNoWindow;
  windows.Enumerate([&](os::WindowRef window) {
    if (windows.Title(window) != kPlayerApplicationTitle) return true;
    found = window;
    return false;
  });
  return found;
}

}  // namespace engine
