#pragma once
// Saved playlists on disk: the WPL text the platform's player reads.
#include <string>
#include <vector>

namespace mediaengine {

// Text escaped for XML content and attribute values (& < > " '). Tab, line
// feed and carriage return become character references so that attribute
// values keep them; other control characters cannot appear in XML and are dropped.
std::wstring XmlEscape(const std::wstring& text);

// UTF-8 WPL document: title, generator and item count in the head, one
// <media src="…"/> per item in order.
std::string BuildWpl(const std::wstring& title, const std::vector<std::wstring>& sources);

// A playlist name made usable as a file name: characters Windows refuses in
// names become "_", trailing dots and spaces go, and an empty result is "Playlist".
std::wstring PlaylistFileStem(const std::wstring& name);

}  // namespace mediaengine
