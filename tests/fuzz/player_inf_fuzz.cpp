// PLAYER.INF: the engine and PlatDevice.dll read the same player from any
// bytes, from memory and from a drive alike; an identity written back from
// what was read reads as the same identity.
#include <cstring>

#include "fakes/fake_file_system.h"
#include "fuzz/fuzz_check.h"
#include "mediaengine/devices/player_identity.h"
#include "mediaengine/devices/player_inf.h"
#include "os/text_encoding.h"

namespace {

using mediaengine::PlayerIdentity;

bool Inside(const PlayerInfValue& value, const std::uint8_t* data, std::size_t size) {
  if (!value.text) return value.length == 0;
  const char* begin = reinterpret_cast<const char*>(data);
  return value.text >= begin && value.text + value.length <= begin + size &&
         !std::memchr(value.text, '\n', value.length);
}

std::wstring Text(const PlayerInfValue& value) {
  return value.text ? os::WideFromUtf8(std::string(value.text, value.length)) : std::wstring();
}

bool Same(const PlayerIdentity& a, const PlayerIdentity& b) {
  return a.maker == b.maker && a.model == b.model && a.serial == b.serial && a.storage == b.storage &&
         a.syncFolder == b.syncFolder && a.capacity == b.capacity;
}

// The file a tool would write for an identity, as make-demo-player does.
std::string Written(const PlayerIdentity& identity) {
  std::string text = "Serial=" + os::Utf8FromWide(identity.serial) + "\r\n";
  if (!identity.maker.empty()) text += "Maker=" + os::Utf8FromWide(identity.maker) + "\r\n";
  if (!identity.model.empty()) text += "Model=" + os::Utf8FromWide(identity.model) + "\r\n";
  text += identity.storage == mediaengine::StorageKind::Card ? "Storage=Card\r\n" : "Storage=Internal\r\n";
  text += identity.syncFolder == mediaengine::SyncFolder::Music ? "SyncFolder=Music\r\n" : "SyncFolder=Root\r\n";
  if (identity.capacity) text += "Capacity=" + std::to_string(identity.capacity) + "\r\n";
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes = fuzz::Bytes(data, size);
  PlayerInf inf;
  const bool player = ParsePlayerInf(bytes.data(), bytes.size(), &inf) != 0;
  // The values lie in the bytes (so the DLL's pointers are sound) and no
  // line feed is inside one.
  const PlayerInfValue* values[] = {&inf.maker, &inf.model, &inf.serial,
                                    &inf.storage, &inf.syncFolder, &inf.capacity};
  for (const PlayerInfValue* value : values) {
    FUZZ_CHECK(Inside(*value, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
  }

  PlayerIdentity identity;
  FUZZ_CHECK(mediaengine::ParsePlayerIdentity(bytes, &identity) == player);
  if (player) {
    FUZZ_CHECK(!identity.serial.empty() && identity.serial == Text(inf.serial));
    FUZZ_CHECK((identity.storage == mediaengine::StorageKind::Card) == (inf.isCard != 0));
    FUZZ_CHECK(identity.maker == Text(inf.maker));
  }

  fakes::FakeFileSystem files;
  files.AddDrive(L'F');
  files.AddFile(L"F:\\PLAYER.INF", bytes);
  PlayerIdentity read;
  FUZZ_CHECK(mediaengine::ReadPlayerIdentity(files, L"F:\\", &read) == player);
  if (!player) return 0;
  FUZZ_CHECK(Same(read, identity));

  // Written out again (unless that no longer fits an identity file), it
  // reads as the same identity.
  const std::string written = Written(identity);
  if (written.size() > PLAYER_INF_MAX_BYTES) return 0;
  PlayerIdentity again;
  FUZZ_CHECK(mediaengine::ParsePlayerIdentity(written, &again));
  FUZZ_CHECK(Same(again, identity));
  return 0;
}
