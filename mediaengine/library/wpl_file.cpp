#include "mediaengine/library/wpl_file.h"

#include <algorithm>

#include "mediaengine/library/library_io.h"
#include "mediaengine/library/library_records.h"
#include "os/device_names.h"
#include "os/file_names.h"
#include "os/paths.h"
#include "os/text_encoding.h"

namespace mediaengine {
namespace {

// Long enough for any real name, short enough that the folder plus the name
// stays below the classic 260-character path limit.
constexpr std::size_t kMaxStem = 120;

}  // namespace

std::string BuildWpl(const std::wstring& title, const std::vector<std::wstring>& sources) {
  std::wstring text;
  text += L"<?wpl version=\"1.0\"?>\r\n";
  text += L"<smil>\r\n";
  text += L"    <head>\r\n";
  text += L"        <meta name=\"Generator\" content=\"Marimba Media Engine -- 1.0\"/>\r\n";
  text += L"        <meta name=\"ItemCount\" content=\"" + std::to_wstring(sources.size()) +
          L"\"/>\r\n";
  text += L"        <title>" + XmlEscape(title) + L"</title>\r\n";
  text += L"    </head>\r\n";
  text += L"    <body>\r\n";
  text += L"        <seq>\r\n";
  for (const std::wstring& source : sources) {
    text += L"            <media src=\"" + XmlEscape(source) + L"\"/>\r\n";
  }
  text += L"        </seq>\r\n";
  text += L"    </body>\r\n";
  text += L"</smil>\r\n";
  return os::Utf8FromWide(text);
}

std::wstring PlaylistFileStem(const std::wstring& name) {
  std::wstring stem;
  for (char32_t c : os::CodePointsOf(name)) {
    const bool refused = c < 0x20 || !os::IsScalarValue(c) ||
                         (c < 0x80 && std::wstring(L"\\/:*?\"<>|").find(static_cast<wchar_t>(c)) !=
                                          std::wstring::npos);
    std::wstring next;
    os::AppendCodePoint(refused ? U'_' : c, &next);
    // A cut never splits a surrogate pair.
    if (stem.size() + next.size() > kMaxStem) break;
    stem += next;
  }
  while (!stem.empty() && (stem.back() == L'.' || stem.back() == L' ')) stem.pop_back();
  if (stem.empty()) return L"Playlist";
  if (os::IsReservedDeviceName(stem)) stem.insert(std::min(stem.find(L'.'), stem.size()), L"_");
  return stem;
}

bool IsPlaylistFileName(const std::wstring& name) {
  return name.size() > 4 && os::EndsWithNoCase(name, L".wpl") && os::IsPlainFileName(name);
}

bool IsPlaylistFileIn(const std::wstring& folder, const std::wstring& path) {
  const std::wstring prefix = os::JoinPath(folder, L"");
  return !folder.empty() && path.size() > prefix.size() &&
         os::PathKey(path.substr(0, prefix.size())) == os::PathKey(prefix) &&
         IsPlaylistFileName(path.substr(prefix.size()));
}

}  // namespace mediaengine
