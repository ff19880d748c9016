#include "mediaengine/library/wpl_file.h"

#include "os/text_encoding.h"

namespace mediaengine {
namespace {

// Long enough for any real name, short enough that the folder plus the name
// stays below the classic 260-character path limit.
constexpr std::size_t kMaxStem = 120;

// CON, NUL, COM1 and the like name devices, not files, in every folder.
bool IsDeviceName(const std::wstring& stem) {
  const std::wstring upper = os::AsciiUpper(stem);
  if (upper == L"CON" || upper == L"PRN" || upper == L"AUX" || upper == L"NUL") return true;
  return upper.size() == 4 && (upper.rfind(L"COM", 0) == 0 || upper.rfind(L"LPT", 0) == 0) &&
         upper[3] >= L'1' && upper[3] <= L'9';
}

}  // namespace

std::wstring XmlEscape(const std::wstring& text) {
  std::wstring out;
  out.reserve(text.size());
  for (wchar_t c : text) {
    switch (c) {
      case L'&': out += L"&amp;"; break;
      case L'<': out += L"&lt;"; break;
      case L'>': out += L"&gt;"; break;
      case L'"': out += L"&quot;"; break;
      case L'\'': out += L"&apos;"; break;
      case L'\t': out += L"&#9;"; break;
      case L'\n': out += L"&#10;"; break;
      case L'\r': out += L"&#13;"; break;
      default:
        if (static_cast<unsigned long>(c) >= 0x20) out.push_back(c);
    }
  }
  return out;
}

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
  for (wchar_t c : name) {
    const bool refused = static_cast<unsigned long>(c) < 0x20 ||
                         std::wstring(L"\\/:*?\"<>|").find(c) != std::wstring::npos;
    stem.push_back(refused ? L'_' : c);
    if (stem.size() == kMaxStem) break;
  }
  // A cut must not leave half of a UTF-16 surrogate pair behind.
  if (!stem.empty() && stem.back() >= 0xD800 && stem.back() < 0xDC00) stem.pop_back();
  while (!stem.empty() && (stem.back() == L'.' || stem.back() == L' ')) stem.pop_back();
  if (stem.empty()) return L"Playlist";
  if (IsDeviceName(stem)) stem += L"_";
  return stem;
}

}  // namespace mediaengine
