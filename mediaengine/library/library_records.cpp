#include "mediaengine/library/library_records.h"

#include <array>
#include <cstdio>

namespace mediaengine {
namespace {

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

bool IsReadOnlyAttribute(const std::wstring& canonicalName) {
  // MediaType decides whether a record is a playlist and SourceURL is how
  // items are found again; changing either would break the library.
  return canonicalName == attr::kSourceUrl || canonicalName == attr::kMediaType ||
         canonicalName == attr::kDuration || canonicalName == attr::kFileSize ||
         canonicalName == attr::kFileType || canonicalName == attr::kBitrate;
}

bool IsTransientAttribute(const std::wstring& canonicalName) {
  return canonicalName == attr::kStatus || canonicalName == attr::kRipProgress;
}

std::wstring AttributeOf(const LibraryRecord& record, const std::wstring& canonicalName) {
  if (canonicalName == attr::kSourceUrl) return record.url;
  if (canonicalName == attr::kDuration) return SecondsText(record.durationMs);
  return StoredAttribute(record, canonicalName);
}

std::wstring StoredAttribute(const LibraryRecord& record, const std::wstring& canonicalName) {
  AttributeName id = 0;
  std::wstring_view value;
  if (!KnownAttributeName(canonicalName, &id) || !record.attributes.Find(id, &value)) {
    return std::wstring();
  }
  return std::wstring(value);
}

bool HasAttribute(const LibraryRecord& record, const std::wstring& canonicalName) {
  AttributeName id = 0;
  return KnownAttributeName(canonicalName, &id) && record.attributes.Contains(id);
}

void PutAttribute(LibraryRecord& record, const std::wstring& canonicalName,
                  const std::wstring& value) {
  if (value.empty()) {
    AttributeName id = 0;
    if (KnownAttributeName(canonicalName, &id)) record.attributes.Erase(id);
  } else {
    record.attributes.Set(AttributeNameId(canonicalName), value);
  }
}

void SetAttributeValue(LibraryRecord& record, const std::wstring& canonicalName,
                       const std::wstring& value) {
  record.attributes.Set(AttributeNameId(canonicalName), value);
}

}  // namespace mediaengine
