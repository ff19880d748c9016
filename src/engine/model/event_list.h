#pragma once
// The engine's events, one line each: WMP_PLAYER_EVENTS(X) calls
//   X(Name, (parameters), (arguments), Delivery)
// for every event, in the order of the platform's event interface. The sink
// interface, its do-nothing base, the tool's event dispatch and the Win32
// event relay are all made from this list, so an event is added here alone.
// Delivery says what the tool's dispatch does with it: MESSAGE sends the
// main window the message named kMsg<Name> with the arguments encoded as
// player_messages.h says, DROPPED ignores it, OWN has code of its own.
// String and object arguments live for the call only.
#define WMP_PLAYER_EVENTS(X)                                                                   \
  X(OpenStateChange, (long newState), (newState), MESSAGE)                                     \
  X(StatusChange, (), (), MESSAGE)                                                             \
  X(PlayStateChange, (long newState), (newState), MESSAGE)                                     \
  X(AudioLanguageChange, (long languageId), (languageId), MESSAGE)                             \
  X(EndOfStream, (long result), (result), DROPPED)                                             \
  X(PositionChange, (double oldPosition, double newPosition), (oldPosition, newPosition),      \
    MESSAGE)                                                                                   \
  X(MarkerHit, (long marker), (marker), MESSAGE)                                               \
  X(DurationUnitChange, (long unit), (unit), DROPPED)                                          \
  X(ScriptCommand, (const std::wstring& type, const std::wstring& param), (type, param),       \
    MESSAGE)                                                                                   \
  X(Disconnect, (long result), (result), DROPPED)                                              \
  X(Buffering, (bool start), (start), MESSAGE)                                                 \
  X(NewStream, (), (), DROPPED)                                                                \
  X(Error, (), (), MESSAGE)                                                                    \
  X(Warning, (long type, long param, const std::wstring& text), (type, param, text), DROPPED)  \
  X(CdromMediaChange, (long cdromIndex), (cdromIndex), MESSAGE)                                \
  X(PlaylistChange, (wmp::IPlaylist * playlist, long change), (playlist, change), MESSAGE)     \
  X(MediaChange, (wmp::IMedia * item), (item), MESSAGE)                                        \
  X(CurrentMediaItemAvailable, (const std::wstring& name), (name), MESSAGE)                    \
  X(CurrentPlaylistChange, (long change), (change), MESSAGE)                                   \
  X(CurrentPlaylistItemAvailable, (const std::wstring& name), (name), MESSAGE)                 \
  X(CurrentItemChange, (wmp::IMedia * item), (item), MESSAGE)                                  \
  X(MediaCollectionChange, (), (), MESSAGE)                                                    \
  X(MediaCollectionAttributeStringAdded,                                                       \
    (const std::wstring& attribute, const std::wstring& value), (attribute, value), MESSAGE)   \
  X(MediaCollectionAttributeStringRemoved,                                                     \
    (const std::wstring& attribute, const std::wstring& value), (attribute, value), MESSAGE)   \
  X(PlaylistCollectionChange, (), (), MESSAGE)                                                 \
  X(PlaylistCollectionPlaylistAdded, (const std::wstring& name), (name), MESSAGE)              \
  X(PlaylistCollectionPlaylistRemoved, (const std::wstring& name), (name), MESSAGE)            \
  X(PlaylistCollectionPlaylistSetAsDeleted, (const std::wstring& name, bool deleted),          \
    (name, deleted), DROPPED)                                                                  \
  X(ModeChange, (const std::wstring& mode, bool value), (mode, value), MESSAGE)                \
  X(MediaCollectionAttributeStringChanged,                                                     \
    (const std::wstring& attribute, const std::wstring& oldValue,                             \
     const std::wstring& newValue),                                                            \
    (attribute, oldValue, newValue), OWN)                                                      \
  X(MediaError, (wmp::IMedia * item), (item), MESSAGE)                                         \
  X(DomainChange, (const std::wstring& domain), (domain), MESSAGE)                             \
  X(OpenPlaylistSwitch, (wmp::IMedia * item), (item), MESSAGE)                                 \
  X(SwitchedToPlayerApplication, (), (), MESSAGE)                                              \
  X(SwitchedToControl, (), (), MESSAGE)                                                        \
  X(PlayerDockedStateChange, (), (), MESSAGE)                                                  \
  X(PlayerReconnect, (), (), MESSAGE)                                                          \
  X(Click, (short button, short shift, long x, long y), (button, shift, x, y), DROPPED)        \
  X(DoubleClick, (short button, short shift, long x, long y), (button, shift, x, y), DROPPED)  \
  X(KeyDown, (short key, short shift), (key, shift), DROPPED)                                  \
  X(KeyPress, (short key), (key), DROPPED)                                                     \
  X(KeyUp, (short key, short shift), (key, shift), DROPPED)                                    \
  X(MouseDown, (short button, short shift, long x, long y), (button, shift, x, y), DROPPED)    \
  X(MouseMove, (short button, short shift, long x, long y), (button, shift, x, y), DROPPED)    \
  X(MouseUp, (short button, short shift, long x, long y), (button, shift, x, y), DROPPED)      \
  X(DeviceConnect, (wmp::ISyncDevice * device), (device), MESSAGE)                             \
  X(DeviceDisconnect, (wmp::ISyncDevice * device), (device), MESSAGE)                          \
  X(DeviceStatusChange, (wmp::ISyncDevice * device, long status), (device, status), MESSAGE)   \
  X(DeviceSyncStateChange, (wmp::ISyncDevice * device, long state), (device, state), MESSAGE)  \
  X(DeviceSyncError, (wmp::ISyncDevice * device, wmp::IMedia * item), (device, item), MESSAGE) \
  X(CreatePartnershipComplete, (wmp::ISyncDevice * device, wmp::HResult result),               \
    (device, result), MESSAGE)

// Declares every event as an override, in a class that implements them all.
#define WMP_DECLARE_PLAYER_EVENT(name, parameters, arguments, delivery) \
  void name parameters override;
