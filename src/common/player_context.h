#pragma once
// The engine values the CD and player-device access objects share: the
// player, its library and the engine's major version. One per main window,
// bound once the engine is hosted.
#include <string>

#include "engine/model/player.h"

namespace common {

class PlayerContext {
 public:
  // Engines below this major version rip through the task pane and cannot
  // stop a rip.
  static constexpr int kCurrentEngine = 11;

  PlayerContext() = default;
  PlayerContext(const PlayerContext&) = delete;
  PlayerContext& operator=(const PlayerContext&) = delete;

  // Unbinds first; then keeps `player`, its media collection and its major
  // version. False when the player is null or either read fails; the
  // version then stays -1 (what was obtained stays bound).
  bool BindPlayer(wmp::PlayerPtr player);
  // Releases the media collection, closes the player and lets it go.
  void UnbindPlayer();

  wmp::IPlayer* Player() const { return player_.get(); }
  const wmp::PlayerPtr& SharedPlayer() const { return player_; }
  wmp::IMediaCollection* MediaCollection() const { return mediaCollection_.get(); }
  // -1 until known.
  int MajorVersion() const { return majorVersion_; }
  // Below 11, including -1.
  bool IsOlderEngine() const { return majorVersion_ < kCurrentEngine; }

 private:
  wmp::PlayerPtr player_;
  wmp::MediaCollectionPtr mediaCollection_;
  int majorVersion_ = -1;
};

// The major version of a dotted version text: the number before the first
// "." read as a C integer (leading blanks and a sign allowed); 0 without digits.
int MajorVersionOf(const std::wstring& version);

}  // namespace common
