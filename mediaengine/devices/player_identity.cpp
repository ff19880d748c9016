#include "mediaengine/devices/player_identity.h"

#include <vector>

#include "os/text_encoding.h"

namespace mediaengine {
namespace {

// Far more than any identity file needs; a bigger file is not one.
constexpr std::uint32_t kMaxIdentityBytes = 16 * 1024;

std::wstring Trim(const std::wstring& text) {
  const auto first = text.find_first_not_of(L" \t\r");
  if (first == std::wstring::npos) return std::wstring();
  const auto last = text.find_last_not_of(L" \t\r");
  return text.substr(first, last - first + 1);
}

bool ParseBytes(const std::wstring& text, std::uint64_t* value) {
  if (text.empty() || text.size() > 19 || text.find_first_not_of(L"0123456789") != std::wstring::npos) {
    return false;
  }
  std::uint64_t result = 0;
  for (wchar_t c : text) result = result * 10 + static_cast<std::uint64_t>(c - L'0');
  *value = result;
  return true;
}

}  // namespace

const wchar_t kIdentityFileName[] = L"PLAYER.INF";

bool ParseSyncFolder(const std::wstring& text, SyncFolder* folder) {
  const std::wstring lower = os::AsciiLower(Trim(text));
  if (lower == L"root") {
    *folder = SyncFolder::Root;
  } else if (lower == L"music") {
    *folder = SyncFolder::Music;
  } else {
    return false;
  }
  return true;
}

bool ParsePlayerIdentity(const std::string& utf8, PlayerIdentity* identity) {
  std::string bytes = utf8;
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
  const std::wstring text = os::WideFromUtf8(bytes);
  PlayerIdentity parsed;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    const std::wstring line = text.substr(start, end - start);
    start = end + 1;
    const std::size_t equals = line.find(L'=');
    if (equals == std::wstring::npos) continue;
    const std::wstring key = os::AsciiLower(Trim(line.substr(0, equals)));
    const std::wstring value = Trim(line.substr(equals + 1));
    if (key == L"maker") {
      parsed.maker = value;
    } else if (key == L"model") {
      parsed.model = value;
    } else if (key == L"serial") {
      parsed.serial = value;
    } else if (key == L"storage") {
      const std::wstring lower = os::AsciiLower(value);
      if (lower == L"card") parsed.storage = StorageKind::Card;
      if (lower == L"internal") parsed.storage = StorageKind::Internal;
    } else if (key == L"syncfolder") {
      ParseSyncFolder(value, &parsed.syncFolder);
    } else if (key == L"capacity") {
      ParseBytes(value, &parsed.capacity);
    }
  }
  if (parsed.serial.empty()) return false;
  *identity = parsed;
  return true;
}

bool ReadPlayerIdentity(os::IFileSystem& files, const std::wstring& root,
                        PlayerIdentity* identity) {
  std::vector<std::uint8_t> bytes;
  if (!os::ReadFileHead(files, root + kIdentityFileName, kMaxIdentityBytes + 1, &bytes)) {
    return false;
  }
  if (bytes.size() > kMaxIdentityBytes) return false;
  return ParsePlayerIdentity(std::string(bytes.begin(), bytes.end()), identity);
}

}  // namespace mediaengine
