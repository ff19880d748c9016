#include "mediaengine/devices/player_identity.h"

#include <vector>

#include "mediaengine/devices/player_inf.h"
#include "os/text_encoding.h"

namespace mediaengine {
namespace {

std::wstring Trim(const std::wstring& text) {
  const auto first = text.find_first_not_of(L" \t\r");
  if (first == std::wstring::npos) return std::wstring();
  const auto last = text.find_last_not_of(L" \t\r");
  return text.substr(first, last - first + 1);
}

std::wstring TextOf(PlayerInfValue value) {
  return value.text ? os::WideFromUtf8(std::string(value.text, value.length)) : std::wstring();
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
  PlayerInf inf;
  if (!ParsePlayerInf(utf8.data(), utf8.size(), &inf)) return false;
  PlayerIdentity parsed;
  parsed.maker = TextOf(inf.maker);
  parsed.model = TextOf(inf.model);
  parsed.serial = TextOf(inf.serial);
  parsed.storage = inf.isCard ? StorageKind::Card : StorageKind::Internal;
  ParseSyncFolder(TextOf(inf.syncFolder), &parsed.syncFolder);
  ParseBytes(TextOf(inf.capacity), &parsed.capacity);
  *identity = parsed;
  return true;
}

bool ReadPlayerIdentity(os::IFileSystem& files, const std::wstring& root,
                        PlayerIdentity* identity) {
  std::vector<std::uint8_t> bytes;
  // One byte more than an identity file may hold tells a larger file apart.
  if (!os::ReadFileHead(files, root + kIdentityFileName, PLAYER_INF_MAX_BYTES + 1, &bytes)) {
    return false;
  }
  return ParsePlayerIdentity(std::string(bytes.begin(), bytes.end()), identity);
}

}  // namespace mediaengine
