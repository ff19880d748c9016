// WPL files the library writes, from any title and item paths: always
// well-formed UTF-8 and XML that reads back as the texts given (with what
// XML cannot hold replaced), and a file name of the library's own.
//
// Input: a first byte 0 takes the rest as UTF-8; otherwise every three bytes
// are one wide character as it may stand in memory (lone surrogates, values
// past U+10FFFF). Line feeds separate the title from the item paths.
#include <vector>

#include "fuzz/fuzz_check.h"
#include "mediaengine/library/wpl_file.h"
#include "mediaengine/library/xml_text.h"
#include "os/text_encoding.h"

namespace {

std::wstring TextOf(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return std::wstring();
  if (data[0] == 0) return os::WideFromUtf8(fuzz::Bytes(data + 1, size - 1));
  std::wstring text;
  for (std::size_t i = 1; i + 2 < size; i += 3) {
    const std::uint32_t value = data[i] | (data[i + 1] << 8) | (std::uint32_t{data[i + 2]} << 16);
    text.push_back(static_cast<wchar_t>(sizeof(wchar_t) == 2 ? value & 0xFFFF : value));
  }
  return text;
}

// The text an XML reader gets back from what XmlEscape wrote.
std::wstring Readable(const std::wstring& text) {
  std::wstring out;
  for (char32_t c : os::CodePointsOf(text)) {
    os::AppendCodePoint(mediaengine::IsXmlChar(c) ? c : os::kReplacementCharacter, &out);
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::wstring text = TextOf(data, size);
  std::vector<std::wstring> lines(1);
  for (wchar_t c : text) {
    if (c == L'\n') {
      lines.emplace_back();
    } else {
      lines.back().push_back(c);
    }
  }
  const std::wstring title = lines.front();
  const std::vector<std::wstring> sources(lines.begin() + 1, lines.end());

  const std::string wpl = mediaengine::BuildWpl(title, sources);
  FUZZ_CHECK(os::IsValidUtf8(wpl));
  std::vector<mediaengine::XmlElement> elements;
  FUZZ_CHECK(mediaengine::ReadXmlDocument(os::WideFromUtf8(wpl), &elements));
  std::vector<std::wstring> read;
  std::wstring readTitle = L"<none>";
  for (const mediaengine::XmlElement& element : elements) {
    std::wstring value;
    if (element.name == L"title") readTitle = element.text;
    if (element.name == L"media") {
      FUZZ_CHECK(element.Attribute(L"src", &value));
      read.push_back(value);
    }
  }
  FUZZ_CHECK(readTitle == Readable(title));
  FUZZ_CHECK(read.size() == sources.size());
  for (std::size_t i = 0; i < read.size(); ++i) FUZZ_CHECK(read[i] == Readable(sources[i]));

  const std::wstring stem = mediaengine::PlaylistFileStem(title);
  FUZZ_CHECK(mediaengine::IsPlaylistFileName(stem + L".wpl"));
  FUZZ_CHECK(mediaengine::IsPlaylistFileName(stem + L" (2).wpl"));
  FUZZ_CHECK(mediaengine::IsPlaylistFileIn(L"C:\\Library\\Playlists",
                                           L"C:\\Library\\Playlists\\" + stem + L".wpl"));
  return 0;
}
