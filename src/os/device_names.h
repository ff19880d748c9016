#pragma once
// Names of folders and files on a player's FAT file system, and when a file
// already there is the same track again. The engine (which copies onto the
// player) and the tool (which moves the copies into their album folder, or
// out of it) both follow these rules, so each finds what the other wrote.
#include <cstddef>
#include <string>

namespace os {

// Longest path a player takes, drive and folders included, in UTF-16 units.
constexpr std::size_t kMaxDevicePath = 255;
// Longest artist or album folder name; folder names never depend on the
// file names below them, so the engine and the tool agree on them.
constexpr std::size_t kMaxDeviceFolderName = 64;

// UTF-16 units of a text (a character above U+FFFF takes two).
std::size_t Utf16Length(const std::wstring& text);

// Whether Windows takes `name` (one path step) for a device: CON, PRN, AUX,
// NUL, COM1..COM9, LPT1..LPT9 in any case, with or without an extension,
// trailing dots and spaces ignored.
bool IsReservedDeviceName(const std::wstring& name);

// Replaces, in place, the characters a folder name cannot hold:
// \ / : * ? " < > | become " ----'[]I".
void ReplaceFolderCharacters(std::wstring& text);

// A name the player's file system accepts as one path step: the characters
// above replaced, control characters and broken UTF-16 turned into "_",
// trailing dots and spaces dropped, a reserved device name given a "_"
// after its base, at most `maxUnits` UTF-16 units. Empty when nothing usable
// is left (for example "..").
std::wstring DeviceNameStep(const std::wstring& text, std::size_t maxUnits);

// An artist or album folder name on a player, or empty (see above).
std::wstring DeviceFolderName(const std::wstring& text);
// The same, with "_" for a text that leaves nothing: how the engine names
// the folders it synchronises into, and how the tool finds them again.
std::wstring DeviceFolderNameOrStandIn(const std::wstring& text);

// The file name under which `name` goes into `folder` (with its trailing
// backslash) so that the whole path stays within kMaxDevicePath: the name
// made safe, its stem shortened, its extension kept. `number` above 1 adds
// " (number)" before the extension, for a second file of one name. Empty
// when the folder leaves no room for a name.
std::wstring DeviceFileName(const std::wstring& folder, const std::wstring& name, int number = 1);

// What tells one track from another: its tags and its length.
struct TrackFacts {
  std::wstring title;
  std::wstring artist;
  std::wstring albumArtist;
  std::wstring album;
  std::wstring trackNumber;
  double seconds = 0;
};

// Whether a file already on the player may be replaced by a new copy: the
// same track again (the same tags, lengths within a second, as when the same
// disc is transferred at another bit rate). A file without a title, an album
// or a known length is never the same track: too little is known of it.
bool IsSameTrack(const TrackFacts& a, const TrackFacts& b);

}  // namespace os
