#pragma once
// The texts the engine puts where a disc says nothing and for an empty drive;
// the tool recognises them in what the engine hands over.
#include <string>

namespace wmp {

inline constexpr wchar_t kUnknownAlbum[] = L"アルバム情報なし";
inline constexpr wchar_t kUnknownArtist[] = L"アーティスト情報なし";
// The name of the disc playlist of a drive without a disc.
inline constexpr wchar_t kNoDiscPlaylistName[] = L"ドライブにディスクがありません";

// "トラック 1": the title of a track without CD-TEXT, numbered from 1 without
// padding, the way players name unknown tracks.
inline std::wstring UnknownTrackTitle(int trackNumber) {
  return L"トラック " + std::to_wstring(trackNumber);
}

}  // namespace wmp
