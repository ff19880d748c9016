#include "engine/attributes.h"

#include <cstdint>
#include <limits>

namespace engine {
namespace {

using wmp::HResult;

using namespace wmp::attr;

// The characters that split a "Status" text such as "Ripping (45%)".
const wchar_t kStatusSeparators[] = L"( % )";

// Answers of the rip progress reader besides a percentage.
constexpr std::int32_t kProgressUnreadable = -1;
constexpr std::int32_t kProgressNotStarted = -2;

// deletePartnership is tried once and then up to this many more times.
constexpr int kDeleteRetries = 10;
constexpr std::uint32_t kDeleteRetryWaitMs = 100;

bool IsBlank(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }

// The number at the start of an engine text, read the way the C runtime's
// wcstoll reads it (blanks, a sign, digits; the rest ignored), but clamped
// to the 64-bit range instead of overflowing. False when no digit follows.
bool LeadingInteger(const std::wstring& text, std::int64_t* value) {
  std::size_t at = 0;
  while (at < text.size() && IsBlank(text[at])) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == L'+' || text[at] == L'-')) {
    negative = text[at] == L'-';
    ++at;
  }
  if (at >= text.size() || text[at] < L'0' || text[at] > L'9') return false;
  // Accumulate towards the sign so that the most negative value fits too.
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  std::int64_t result = 0;
  for (; at < text.size() && text[at] >= L'0' && text[at] <= L'9'; ++at) {
    const int digit = static_cast<int>(text[at] - L'0');
    if (negative) {
      result = result < (kMin + digit) / 10 ? kMin : result * 10 - digit;
    } else {
      result = result > (kMax - digit) / 10 ? kMax : result * 10 + digit;
    }
  }
  *value = result;
  return true;
}

std::int32_t Clamp32(std::int64_t value) {
  if (value > std::numeric_limits<std::int32_t>::max()) {
    return std::numeric_limits<std::int32_t>::max();
  }
  if (value < std::numeric_limits<std::int32_t>::min()) {
    return std::numeric_limits<std::int32_t>::min();
  }
  return static_cast<std::int32_t>(value);
}

// The integer a text converts to, 0 when it does not start with one.
std::int32_t IntegerOrZero(const std::wstring& text) {
  std::int64_t value = 0;
  return LeadingInteger(text, &value) ? Clamp32(value) : 0;
}

// The next token of `text` at or after `start`, split at any of `separators`,
// as the runtime's string tokenizer finds it: separators are skipped, then
// the token runs to the next separator. Empty when none is left.
std::wstring TokenAt(const std::wstring& text, std::size_t start, const wchar_t* separators) {
  if (start >= text.size()) return {};
  const std::size_t begin = text.find_first_not_of(separators, start);
  if (begin == std::wstring::npos) return {};
  const std::size_t end = text.find_first_of(separators, begin);
  return text.substr(begin, end == std::wstring::npos ? std::wstring::npos : end - begin);
}

// The percentage in a "Status" text. The second token is looked for from a
// position equal to the first token's length, not from the end of the
// first token; with text before the first token the search starts inside it.
std::int32_t StatusPercent(const std::wstring& status) {
  const std::wstring first = TokenAt(status, 0, kStatusSeparators);
  return IntegerOrZero(TokenAt(status, first.size(), kStatusSeparators));
}

// The attribute text of an item, or false when it cannot be read.
bool ReadItemInfo(wmp::IMedia* item, const wchar_t* name, std::wstring* value) {
  value->clear();
  if (!item) return false;
  std::wstring text;
  if (wmp::Failed(item->GetItemInfo(name, &text))) return false;
  *value = std::move(text);
  return true;
}

// A text property read through a member such as IMedia::Name; "" on failure.
template <typename Object>
std::wstring TextOf(Object* object, HResult (Object::*read)(std::wstring*)) {
  if (!object) return {};
  std::wstring text;
  if (wmp::Failed((object->*read)(&text))) return {};
  return text;
}

// A number property read through a member such as ISyncDevice::Status.
template <typename Object>
bool NumberOf(Object* object, HResult (Object::*read)(long*), long* value) {
  if (!object) return false;
  long number = 0;
  if (wmp::Failed((object->*read)(&number))) return false;
  *value = number;
  return true;
}

// Item `index` of a collection, read through a member such as
// IPlaylist::Item, into `item`: kFail for a negative index, no collection or
// a null item.
template <typename Collection, typename Pointer, typename ItemRef>
HResult ItemOf(Collection* collection, HResult (Collection::*read)(long, Pointer*), long index,
               ItemRef* item) {
  if (!item) return wmp::kPointer;
  item->Reset();
  if (index < 0 || !collection) return wmp::kFail;
  Pointer found;
  const HResult result = (collection->*read)(index, &found);
  if (wmp::Failed(result)) return result;
  if (!found) return wmp::kFail;
  item->Reset(std::move(found));
  return result;
}

// The player's collection object, read through a member such as
// IPlayer::SyncServices, into `ref`; false when the player gives none.
template <typename Pointer, typename Ref>
bool TakeFrom(wmp::IPlayer* player, HResult (wmp::IPlayer::*read)(Pointer*), Ref* ref) {
  ref->Reset();
  if (!player) return false;
  Pointer collection;
  if (wmp::Failed((player->*read)(&collection)) || !collection) return false;
  ref->Reset(std::move(collection));
  return true;
}

std::wstring DeviceItemInfo(wmp::ISyncDevice* device, const wchar_t* name) {
  if (!device) return {};
  std::wstring text;
  if (wmp::Failed(device->GetItemInfo(name, &text))) return {};
  return text;
}

// A byte count the device reports; a negative count means nothing sensible
// and is treated like a missing one.
std::int64_t DeviceBytes(wmp::ISyncDevice* device, const wchar_t* name) {
  std::int64_t bytes = 0;
  if (!LeadingInteger(DeviceItemInfo(device, name), &bytes) || bytes < 0) return 0;
  return bytes;
}

}  // namespace

std::int32_t RipProgressReader(wmp::IMedia* item, RipProgressMode mode) {
  const bool byStatus = mode == RipProgressMode::Status;
  std::wstring text;
  if (!ReadItemInfo(item, byStatus ? kStatus : kRipProgress, &text)) return kProgressUnreadable;
  if (text.empty()) return kProgressNotStarted;
  return byStatus ? StatusPercent(text) : IntegerOrZero(text);
}

// ---- MediaRef

std::int32_t MediaRef::GetTrackNumber() const {
  std::wstring text;
  std::int64_t number = 0;
  if (!ReadItemInfo(Get(), kTrackNumber, &text) || !LeadingInteger(text, &number) || number <= 0) {
    return -1;
  }
  return Clamp32(number);
}

std::int32_t MediaRef::GetFileSize() const {
  std::wstring text;
  std::int64_t bytes = 0;
  // A missing size reads as "" and must not pass for an empty file.
  if (!ReadItemInfo(Get(), kFileSize, &text) || !LeadingInteger(text, &bytes) || bytes < 0) {
    return -1;
  }
  return Clamp32(bytes);
}

std::int32_t MediaRef::GetBitrateKbps() const {
  std::wstring text;
  std::int64_t bitsPerSecond = 0;
  if (!ReadItemInfo(Get(), kBitrate, &text) || !LeadingInteger(text, &bitsPerSecond) ||
      bitsPerSecond <= 0) {
    return -1;
  }
  return Clamp32(bitsPerSecond / 1000);
}

std::wstring MediaRef::GetFileType() const {
  std::wstring text;
  ReadItemInfo(Get(), kFileType, &text);
  return text;
}

std::wstring MediaRef::GetDurationText() const {
  return TextOf(Get(), &wmp::IMedia::DurationString);
}

std::wstring MediaRef::GetName() const { return TextOf(Get(), &wmp::IMedia::Name); }

bool MediaRef::SetName(const std::wstring& name) const {
  return Get() && wmp::Succeeded(Get()->SetName(name));
}

std::wstring MediaRef::GetSourceUrl() const { return TextOf(Get(), &wmp::IMedia::SourceUrl); }

bool MediaRef::IsIdentical(wmp::IMedia* other) const {
  if (!Get() || !other) return false;
  bool identical = false;
  return wmp::Succeeded(Get()->IsIdentical(other, &identical)) && identical;
}

HResult MediaRef::GetAttribute(const std::wstring& name, std::wstring* value) const {
  if (!value) return wmp::kPointer;
  value->clear();
  if (!Get() || name.empty()) return wmp::kFail;
  std::wstring text;
  const HResult result = Get()->GetItemInfo(name, &text);
  if (wmp::Succeeded(result)) *value = std::move(text);
  return result;
}

HResult MediaRef::SetAttribute(const std::wstring& name, const std::wstring& value) const {
  if (!Get() || name.empty()) return wmp::kFail;
  return Get()->SetItemInfo(name, value);
}

HResult MediaRef::GetDuration(double* seconds) const {
  if (!seconds) return wmp::kPointer;
  *seconds = 0;
  if (!Get()) return wmp::kFail;
  double value = 0;
  const HResult result = Get()->Duration(&value);
  if (wmp::Succeeded(result)) *seconds = value;
  return result;
}

// ---- PlaylistRef

long PlaylistRef::GetCount() const {
  long count = 0;
  return NumberOf(Get(), &wmp::IPlaylist::Count, &count) ? count : 0;
}

HResult PlaylistRef::GetItem(long index, MediaRef* item) const {
  return ItemOf(Get(), &wmp::IPlaylist::Item, index, item);
}

HResult PlaylistRef::AppendItem(wmp::IMedia* item) const {
  if (!Get()) return wmp::kFail;
  if (!item) return wmp::kPointer;
  return Get()->AppendItem(item);
}

HResult PlaylistRef::RemoveItem(wmp::IMedia* item) const {
  if (!Get()) return wmp::kFail;
  if (!item) return wmp::kPointer;
  return Get()->RemoveItem(item);
}

HResult PlaylistRef::GetAttribute(const std::wstring& name, std::wstring* value) const {
  if (!value) return wmp::kPointer;
  value->clear();
  if (!Get() || name.empty()) return wmp::kFail;
  std::wstring text;
  const HResult result = Get()->GetItemInfo(name, &text);
  if (wmp::Succeeded(result)) *value = std::move(text);
  return result;
}

std::wstring PlaylistRef::GetName() const { return TextOf(Get(), &wmp::IPlaylist::Name); }

bool PlaylistRef::SetName(const std::wstring& name) const {
  return Get() && wmp::Succeeded(Get()->SetName(name));
}

bool PlaylistRef::IsIdentical(wmp::IPlaylist* other) const {
  if (!Get() || !other) return false;
  bool identical = false;
  return wmp::Succeeded(Get()->IsIdentical(other, &identical)) && identical;
}

// ---- CdromRipRef

HResult CdromRipRef::StartRip() const { return Get() ? Get()->StartRip() : wmp::kFail; }

HResult CdromRipRef::StopRip() const { return Get() ? Get()->StopRip() : wmp::kFail; }

long CdromRipRef::GetRipState() const {
  long state = -1;
  return NumberOf(Get(), &wmp::ICdromRip::RipState, &state) ? state : -1;
}

long CdromRipRef::GetRipProgress() const {
  long percent = -1;
  return NumberOf(Get(), &wmp::ICdromRip::RipProgress, &percent) ? percent : -1;
}

// ---- CdromRef

std::wstring CdromRef::GetDriveSpecifier() const {
  return TextOf(Get(), &wmp::ICdrom::DriveSpecifier);
}

HResult CdromRef::GetPlaylist(PlaylistRef* playlist) const {
  if (!playlist) return wmp::kPointer;
  playlist->Reset();
  if (!Get()) return wmp::kFail;
  wmp::PlaylistPtr disc;
  const HResult result = Get()->Playlist(&disc);
  if (wmp::Failed(result)) return result;
  if (!disc) return wmp::kFail;
  playlist->Reset(std::move(disc));
  return result;
}

HResult CdromRef::Eject() const { return Get() ? Get()->Eject() : wmp::kFail; }

HResult CdromRef::GetRip(CdromRipRef* rip) const {
  if (!rip) return wmp::kPointer;
  rip->Reset();
  if (!Get()) return wmp::kFail;
  wmp::CdromRipPtr face = Get()->Rip();
  if (!face) return wmp::kFail;
  rip->Reset(std::move(face));
  return wmp::kOk;
}

// ---- CdromCollectionRef

bool CdromCollectionRef::TakeFromPlayer(wmp::IPlayer* player) {
  return TakeFrom(player, &wmp::IPlayer::CdromCollection, this);
}

long CdromCollectionRef::GetCount() const {
  long count = 0;
  return NumberOf(Get(), &wmp::ICdromCollection::Count, &count) ? count : 0;
}

HResult CdromCollectionRef::GetItem(long index, CdromRef* drive) const {
  return ItemOf(Get(), &wmp::ICdromCollection::Item, index, drive);
}

std::int32_t CdromCollectionRef::GetDriveIndex(const std::wstring& drive) const {
  // No drive selected must not pick a drive whose specifier is unreadable.
  if (drive.empty()) return -1;
  const long count = GetCount();
  for (long i = 0; i < count; ++i) {
    CdromRef cdrom;
    if (wmp::Failed(GetItem(i, &cdrom))) continue;
    std::wstring specifier;
    if (wmp::Failed(cdrom.Get()->DriveSpecifier(&specifier))) continue;
    // The platform compares at the user's locale without flags, which for a
    // letter and a colon is an exact, case-sensitive match: "e:" is not "E:".
    if (specifier == drive) return Clamp32(i);
  }
  return -1;
}

HResult CdromCollectionRef::GetRipInterface(long index, CdromRipRef* rip) const {
  if (!rip) return wmp::kPointer;
  rip->Reset();
  CdromRef drive;
  const HResult result = GetItem(index, &drive);
  if (wmp::Failed(result)) return result;
  return drive.GetRip(rip);
}

// ---- SyncDeviceRef

bool SyncDeviceRef::IsSameDevice(wmp::ISyncDevice* other) const {
  if (!Get() || !other) return false;
  bool identical = false;
  return wmp::Succeeded(Get()->IsIdentical(other, &identical)) && identical;
}

bool SyncDeviceRef::IsConnected() const {
  bool connected = false;
  return Get() && wmp::Succeeded(Get()->Connected(&connected)) && connected;
}

long SyncDeviceRef::GetPartnershipIndex() const {
  long index = -1;
  return NumberOf(Get(), &wmp::ISyncDevice::PartnershipIndex, &index) ? index : -1;
}

bool SyncDeviceRef::CreatePartnership() const {
  return Get() && wmp::Succeeded(Get()->CreatePartnership());
}

bool SyncDeviceRef::Start() const { return Get() && wmp::Succeeded(Get()->Start()); }

bool SyncDeviceRef::GetProgress(long* percent) const {
  if (!percent) return false;
  *percent = 0;
  return NumberOf(Get(), &wmp::ISyncDevice::Progress, percent);
}

long SyncDeviceRef::GetStatus() const {
  long status = 0;
  return NumberOf(Get(), &wmp::ISyncDevice::Status, &status) ? status : 0;
}

long SyncDeviceRef::GetSyncState() const {
  long state = 0;
  return NumberOf(Get(), &wmp::ISyncDevice::SyncState, &state) ? state : 0;
}

bool SyncDeviceRef::DeletePartnership(os::IClock& clock) const {
  if (!Get()) return false;
  if (GetStatus() == static_cast<long>(wmp::DeviceStatus::PartnershipDeclined)) return true;
  if (wmp::Succeeded(Get()->DeletePartnership())) return true;
  for (int retry = 0; retry < kDeleteRetries; ++retry) {
    clock.Wait(kDeleteRetryWaitMs);
    if (wmp::Succeeded(Get()->DeletePartnership())) return true;
  }
  return false;
}

bool SyncDeviceRef::StopSync() const {
  if (!Get()) return false;
  if (GetSyncState() == static_cast<long>(wmp::SyncState::Stopped)) return true;
  return wmp::Succeeded(Get()->Stop());
}

std::wstring SyncDeviceRef::GetFriendlyName() const {
  return TextOf(Get(), &wmp::ISyncDevice::FriendlyName);
}

std::wstring SyncDeviceRef::GetDeviceName() const {
  return TextOf(Get(), &wmp::ISyncDevice::DeviceName);
}

std::wstring SyncDeviceRef::GetDeviceId() const {
  return TextOf(Get(), &wmp::ISyncDevice::DeviceId);
}

std::wstring SyncDeviceRef::GetSerialNumber() const { return DeviceItemInfo(Get(), kSerialNumber); }

std::int64_t SyncDeviceRef::GetFreeSpace() const { return DeviceBytes(Get(), kFreeSpace); }

std::int64_t SyncDeviceRef::GetTotalSpace() const { return DeviceBytes(Get(), kTotalSpace); }

// ---- SyncServicesRef

bool SyncServicesRef::TakeFromPlayer(wmp::IPlayer* player) {
  return TakeFrom(player, &wmp::IPlayer::SyncServices, this);
}

long SyncServicesRef::GetDeviceCount() const {
  long count = 0;
  return NumberOf(Get(), &wmp::ISyncServices::DeviceCount, &count) ? count : 0;
}

HResult SyncServicesRef::GetDevice(long index, SyncDeviceRef* device) const {
  return ItemOf(Get(), &wmp::ISyncServices::GetDevice, index, device);
}

}  // namespace engine
