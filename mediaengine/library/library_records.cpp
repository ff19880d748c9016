#include "mediaengine/library/library_records.h"

#include <array>
#include <cstdio>

namespace mediaengine {
namespace {

const std::wstring kArtistAlias = L"Artist";
const std::wstring kAlbumAlias = L"Album";
const std::wstring kNameAlias = L"Name";

std::wstring Decimal(std::int64_t value, int width) {
  std::array<char, 32> buffer{};
  std::snprintf(buffer.data(), buffer.size(), "%0*lld", width, static_cast<long long>(value));
  return std::wstring(buffer.data(), buffer.data() + std::char_traits<char>::length(buffer.data()));
}

// Seconds with up to three decimals and no trailing zeros: "245", "245.5".
std::wstring SecondsText(std::int64_t durationMs) {
  if (durationMs < 0) durationMs = 0;
  std::wstring text = Decimal(durationMs / 1000, 1);
  std::int64_t fraction = durationMs % 1000;
  if (fraction == 0) return text;
  std::wstring digits = Decimal(fraction, 3);
  while (!digits.empty() && digits.back() == L'0') digits.pop_back();
  return text + L"." + digits;
}

}  // namespace

const std::wstring& CanonicalAttribute(const std::wstring& name) {
  if (name == kArtistAlias) return attr::kAuthor;
  if (name == kAlbumAlias) return attr::kAlbumTitle;
  if (name == kNameAlias) return attr::kTitle;
  return name;
}

bool IsReadOnlyAttribute(const std::wstring& canonicalName) {
  // MediaType decides whether a record is a playlist and SourceURL is how
  // items are found again; changing either would break the library.
  return canonicalName == attr::kSourceUrl || canonicalName == attr::kMediaType ||
         canonicalName == attr::kDuration || canonicalName == attr::kFileSize ||
         canonicalName == attr::kFileType || canonicalName == attr::kBitrate;
}

bool IsTransientAttribute(const std::wstring& canonicalName) {
  return canonicalName == L"Status" || canonicalName == L"RipProgress";
}

std::wstring SyncAttribute(int partnership) { return L"Sync" + Decimal(partnership, 2); }

std::wstring AttributeOf(const LibraryRecord& record, const std::wstring& canonicalName) {
  if (canonicalName == attr::kSourceUrl) return record.url;
  if (canonicalName == attr::kDuration) return SecondsText(record.durationMs);
  auto it = record.attributes.find(canonicalName);
  return it == record.attributes.end() ? std::wstring() : it->second;
}

std::wstring DurationText(std::int64_t durationMs) {
  // Rounded without adding to the value first: that could pass INT64_MAX.
  const std::int64_t seconds =
      durationMs < 0 ? 0 : durationMs / 1000 + (durationMs % 1000 >= 500 ? 1 : 0);
  const std::int64_t hours = seconds / 3600;
  const std::int64_t minutes = seconds / 60 % 60;
  if (hours > 0) {
    return Decimal(hours, 1) + L":" + Decimal(minutes, 2) + L":" + Decimal(seconds % 60, 2);
  }
  return Decimal(minutes, 1) + L":" + Decimal(seconds % 60, 2);
}

}  // namespace mediaengine
