#pragma once
// Saved playlists on disk: the WPL text the platform's player reads.
#include <string>
#include <vector>

#include "mediaengine/library/xml_text.h"

namespace mediaengine {

// UTF-8 WPL document: title, generator and item count in the head, one
// <media src="…"/> per item in order. Always well-formed UTF-8 and XML:
// what XML cannot hold is replaced (see XmlEscape).
std::string BuildWpl(const std::wstring& title, const std::vector<std::wstring>& sources);

// A playlist name made usable as a file name: characters Windows refuses in
// names (and broken UTF-16) become "_", trailing dots and spaces go, a
// device name gets "_" after its base ("NUL.mix" → "NUL_.mix"), and an
// empty result is "Playlist".
std::wstring PlaylistFileStem(const std::wstring& name);

// Whether `name` (without folder) is one the engine may give a playlist
// file: a plain file name ending in ".wpl".
bool IsPlaylistFileName(const std::wstring& name);

// Whether `path` is such a file directly inside `folder` (ASCII case and
// the direction of slashes ignored): the only files the library writes or
// deletes on its own.
bool IsPlaylistFileIn(const std::wstring& folder, const std::wstring& path);

}  // namespace mediaengine
