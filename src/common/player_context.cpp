#include "common/player_context.h"

#include <climits>
#include <cwctype>
#include <utility>

namespace common {

int MajorVersionOf(const std::wstring& version) {
  const std::wstring head = version.substr(0, version.find(L'.'));
  std::size_t i = 0;
  while (i < head.size() && std::iswspace(static_cast<wint_t>(head[i]))) ++i;
  bool negative = false;
  if (i < head.size() && (head[i] == L'+' || head[i] == L'-')) {
    negative = head[i] == L'-';
    ++i;
  }
  long long value = 0;
  for (; i < head.size() && head[i] >= L'0' && head[i] <= L'9'; ++i) {
    // A runaway number saturates instead of overflowing.
    if (value < INT_MAX) value = value * 10 + (head[i] - L'0');
  }
  if (value > INT_MAX) value = INT_MAX;
  return static_cast<int>(negative ? -value : value);
}

bool PlayerContext::BindPlayer(wmp::PlayerPtr player) {
  UnbindPlayer();
  if (!player) return false;
  player_ = std::move(player);
  wmp::MediaCollectionPtr collection;
  if (wmp::Failed(player_->MediaCollection(&collection)) || !collection) return false;
  mediaCollection_ = std::move(collection);
  majorVersion_ = -1;
  std::wstring version;
  if (wmp::Failed(player_->VersionInfo(&version))) return false;
  majorVersion_ = MajorVersionOf(version);
  return true;
}

void PlayerContext::UnbindPlayer() {
  mediaCollection_.reset();
  if (player_) player_->Close();
  player_.reset();
  majorVersion_ = -1;
}

}  // namespace common
