#pragma once
// The attribute names of media items and playlists as the engine spells
// them, and the other spellings it answers to.
#include <string>

namespace wmp {
namespace attr {
inline constexpr wchar_t kTitle[] = L"Title";  // the item's name
inline constexpr wchar_t kAuthor[] = L"Author";
inline constexpr wchar_t kAlbumTitle[] = L"WM/AlbumTitle";
inline constexpr wchar_t kAlbumArtist[] = L"WM/AlbumArtist";
inline constexpr wchar_t kGenre[] = L"WM/Genre";
inline constexpr wchar_t kYear[] = L"WM/Year";
inline constexpr wchar_t kTrackNumber[] = L"WM/TrackNumber";
inline constexpr wchar_t kBitrate[] = L"Bitrate";
inline constexpr wchar_t kFileSize[] = L"FileSize";
inline constexpr wchar_t kFileType[] = L"FileType";
inline constexpr wchar_t kMediaType[] = L"MediaType";
inline constexpr wchar_t kToc[] = L"TOC";
inline constexpr wchar_t kSourceUrl[] = L"SourceURL";
inline constexpr wchar_t kDuration[] = L"Duration";
inline constexpr wchar_t kStatus[] = L"Status";
inline constexpr wchar_t kRipProgress[] = L"RipProgress";
inline constexpr wchar_t kSyncOnly[] = L"SyncOnly";
// Of a sync device; the spaces are decimal byte counts.
inline constexpr wchar_t kSerialNumber[] = L"SerialNumber";
inline constexpr wchar_t kFreeSpace[] = L"FreeSpace";
inline constexpr wchar_t kTotalSpace[] = L"TotalSpace";
// Other spellings of kTitle, kAuthor and kAlbumTitle.
inline constexpr wchar_t kName[] = L"Name";
inline constexpr wchar_t kArtist[] = L"Artist";
inline constexpr wchar_t kAlbum[] = L"Album";
}  // namespace attr

// Values of attr::kMediaType.
inline constexpr wchar_t kMediaTypeAudio[] = L"audio";
inline constexpr wchar_t kMediaTypePlaylist[] = L"playlist";

// The one spelling under which an attribute is kept: "Name" is "Title",
// "Artist" is "Author", "Album" is "WM/AlbumTitle".
inline std::wstring CanonicalAttribute(const std::wstring& name) {
  if (name == attr::kName) return attr::kTitle;
  if (name == attr::kArtist) return attr::kAuthor;
  if (name == attr::kAlbum) return attr::kAlbumTitle;
  return name;
}

// "Sync01" … "Sync16": whether a playlist goes to partnership 1..16 ("1")
// or not ("0"); empty outside that range.
inline std::wstring SyncAttribute(long partnership) {
  if (partnership < 1 || partnership > 16) return std::wstring();
  return (partnership < 10 ? L"Sync0" : L"Sync") + std::to_wstring(partnership);
}

}  // namespace wmp
