#pragma once
// The engine's events as window messages of the main window, and the port
// that delivers them. Every message is sent synchronously: the main window
// has handled it when Send returns, so its handler runs inside the engine's
// callback.
//
// Parameters (wParam, lParam), as CWMPEventDispatch builds them:
// - a number: its value sign-extended to the parameter's width;
// - a boolean: 0 for false, -1 (all bits set) for true;
// - a position in seconds: truncated toward zero to a 32-bit integer, then
//   as a number;
// - a string: the address of a `const std::wstring` (MessageString);
// - an object: the address of the engine object as its model interface
//   (`wmp::IMedia*`, `wmp::IPlaylist*`, `wmp::ISyncDevice*`; MessageObject),
//   0 when the event carried none;
// - the {old, new} values of kMsgMediaCollectionAttributeStringChanged: the
//   address of an array of two `const std::wstring*` (MessageStringPair).
// Strings, objects and the array belong to the sender and live only during
// the call: a handler must not keep, free or release them.
#include <cstdint>
#include <string>

namespace engine {

// Numbers that the table leaves out (0x803, 0x809, 0x80B..0x80D,
// 0x816..0x818, 0x827..0x84B) are not used.
enum PlayerEventMessage : unsigned {
  kMsgAudioLanguageChange = 0x800,                // language id
  kMsgBuffering = 0x801,                          // start (boolean)
  kMsgCdromMediaChange = 0x802,                   // drive index
  kMsgCurrentItemChange = 0x804,                  // media object
  kMsgCurrentMediaItemAvailable = 0x805,          // name
  kMsgCurrentPlaylistChange = 0x806,              // change type
  kMsgCurrentPlaylistItemAvailable = 0x807,       // name
  kMsgDomainChange = 0x808,                       // domain
  kMsgError = 0x80A,                              //
  kMsgMarkerHit = 0x80E,                          // marker
  kMsgMediaChange = 0x80F,                        // media object
  kMsgMediaCollectionAttributeStringAdded = 0x810,    // attribute, value
  kMsgMediaCollectionAttributeStringChanged = 0x811,  // attribute, {old, new}
  kMsgMediaCollectionAttributeStringRemoved = 0x812,  // attribute, value
  kMsgMediaCollectionChange = 0x813,              //
  kMsgMediaError = 0x814,                         // media object
  kMsgModeChange = 0x815,                         // mode name, value (boolean)
  kMsgOpenPlaylistSwitch = 0x819,                 // media object
  kMsgOpenStateChange = 0x81A,                    // new state
  kMsgPlayerDockedStateChange = 0x81B,            //
  kMsgPlayerReconnect = 0x81C,                    //
  kMsgPlaylistChange = 0x81D,                     // playlist object, change type
  kMsgPlaylistCollectionChange = 0x81E,           //
  kMsgPlaylistCollectionPlaylistAdded = 0x81F,    // name
  kMsgPlaylistCollectionPlaylistRemoved = 0x820,  // name
  kMsgPlayStateChange = 0x821,                    // new state
  kMsgPositionChange = 0x822,                     // old position, new position
  kMsgScriptCommand = 0x823,                      // type, param
  kMsgStatusChange = 0x824,                       //
  kMsgSwitchedToControl = 0x825,                  //
  kMsgSwitchedToPlayerApplication = 0x826,        //
  kMsgCreatePartnershipComplete = 0x84C,          // sync device, result code
  kMsgDeviceConnect = 0x84D,                      // sync device
  kMsgDeviceDisconnect = 0x84E,                   // sync device
  kMsgDeviceStatusChange = 0x84F,                 // sync device, device status
  kMsgDeviceSyncError = 0x850,                    // sync device, media object
  kMsgDeviceSyncStateChange = 0x851,              // sync device, sync state

  kMsgFirstPlayerEvent = 0x800,
  kMsgLastPlayerEvent = 0x851,
};

// Where the event messages go: the main window. Send returns the handler's
// result, which the event sink ignores.
class IMessageTarget {
 public:
  virtual ~IMessageTarget() = default;
  virtual std::intptr_t Send(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

// Reading the parameters back in a handler; lParam converts implicitly.
inline long MessageNumber(std::uintptr_t param) {
  return static_cast<long>(static_cast<std::intptr_t>(param));
}
inline bool MessageBool(std::uintptr_t param) { return param != 0; }
inline const std::wstring* MessageString(std::uintptr_t param) {
  return reinterpret_cast<const std::wstring*>(param);
}
template <class Object>
Object* MessageObject(std::uintptr_t param) {
  return reinterpret_cast<Object*>(param);
}
// [0] the old value, [1] the new one.
inline const std::wstring* const* MessageStringPair(std::uintptr_t param) {
  return reinterpret_cast<const std::wstring* const*>(param);
}

}  // namespace engine
