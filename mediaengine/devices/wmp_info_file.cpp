#include "mediaengine/devices/wmp_info_file.h"

#include <cstdint>
#include <cwchar>
#include <vector>

#include "mediaengine/library/library_io.h"
#include "mediaengine/library/xml_text.h"
#include "os/text_encoding.h"

namespace mediaengine {
namespace {

constexpr std::uint32_t kMaxBytes = 8192;

std::uint64_t Fnv1a(const std::string& bytes, std::uint64_t basis) {
  std::uint64_t hash = basis;
  for (unsigned char c : bytes) {
    hash ^= c;
    hash *= 0x100000001B3ULL;
  }
  return hash;
}

std::wstring TextOf(const std::string& bytes) {
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    std::u16string units;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
    return os::WideFromUtf16(units);
  }
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return os::WideFromUtf8(bytes.substr(3));
  return os::WideFromUtf8(bytes);
}

}  // namespace

const wchar_t kWmpInfoFileName[] = L"WMPInfo.xml";

std::wstring DeviceIdOf(const std::wstring& seed) {
  const std::string bytes = os::Utf8FromWide(seed);
  const std::uint64_t high = Fnv1a(bytes, 0xCBF29CE484222325ULL);
  const std::uint64_t low = Fnv1a(bytes, 0x84222325CBF29CE4ULL);
  wchar_t text[40];
  std::swprintf(text, 40, L"{%08X-%04X-%04X-%04X-%012llX}",
                static_cast<unsigned>(high >> 32), static_cast<unsigned>((high >> 16) & 0xFFFF),
                static_cast<unsigned>(high & 0xFFFF), static_cast<unsigned>(low >> 48),
                static_cast<unsigned long long>(low & 0xFFFFFFFFFFFFULL));
  return text;
}

std::string WmpInfoBytes(const std::wstring& deviceId) {
  const std::u16string text = os::Utf16FromWide(L"<DeviceInfo><WMP DeviceID=\"" +
                                                XmlEscape(deviceId) + L"\"/></DeviceInfo>");
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

bool DeviceIdOfWmpInfo(const std::string& bytes, std::wstring* deviceId) {
  std::vector<XmlElement> elements;
  if (!ReadXmlDocument(TextOf(bytes), &elements)) return false;
  for (const XmlElement& element : elements) {
    std::wstring id;
    if (element.name == L"WMP" && element.Attribute(L"DeviceID", &id) && !id.empty()) {
      *deviceId = id;
      return true;
    }
  }
  return false;
}

os::ErrorCode WriteWmpInfo(os::IFileSystem& files, const std::wstring& root,
                           const std::wstring& deviceId) {
  return WriteFileAtomically(files, root + kWmpInfoFileName, WmpInfoBytes(deviceId));
}

bool ReadWmpInfo(os::IFileSystem& files, const std::wstring& root, std::wstring* deviceId) {
  std::vector<std::uint8_t> bytes;
  if (!os::ReadFileHead(files, root + kWmpInfoFileName, kMaxBytes, &bytes)) return false;
  return DeviceIdOfWmpInfo(std::string(bytes.begin(), bytes.end()), deviceId);
}

}  // namespace mediaengine
