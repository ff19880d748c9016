#pragma once
// The little XML the engine writes and reads back: escaping for what it
// writes (WPL playlists, WMPInfo.xml), and a strict reader of small
// documents that finds elements and attributes the way any XML parser
// would: comments, processing instructions and CDATA are not elements,
// entities are expanded, and a document that is not well-formed is refused.
#include <string>
#include <utility>
#include <vector>

namespace mediaengine {

// Characters an XML 1.0 document may hold at all.
bool IsXmlChar(char32_t c);

// Text escaped for XML content and attribute values (& < > " '). Tab, line
// feed and carriage return become character references so that attribute
// values keep them. Other control characters, lone surrogates, U+FFFE and
// U+FFFF cannot appear in XML: each becomes U+FFFD.
std::wstring XmlEscape(const std::wstring& text);

struct XmlElement {
  std::wstring name;
  std::vector<std::pair<std::wstring, std::wstring>> attributes;  // in document order
  std::wstring text;  // character data directly inside, entities expanded
  int depth = 0;      // 0 for the root

  // The attribute's value; false when the element has none of that name.
  bool Attribute(const std::wstring& attributeName, std::wstring* value) const;
};

// Reads a whole document (one root element, every element closed, no
// DOCTYPE). False when it is not well-formed; `elements` then holds what
// was read before the fault. Elements come in document order.
bool ReadXmlDocument(const std::wstring& document, std::vector<XmlElement>* elements);

}  // namespace mediaengine
