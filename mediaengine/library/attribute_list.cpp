#include "mediaengine/library/attribute_list.h"

#include <algorithm>
#include <deque>
#include <mutex>
#include <unordered_map>

namespace mediaengine {
namespace {

class NameTable {
 public:
  AttributeName Id(const std::wstring& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = ids_.find(name);
    if (it != ids_.end()) return it->second;
    const auto id = static_cast<AttributeName>(texts_.size());
    texts_.push_back(name);
    ids_.emplace(name, id);
    return id;
  }
  bool Known(const std::wstring& name, AttributeName* id) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = ids_.find(name);
    if (it == ids_.end()) return false;
    *id = it->second;
    return true;
  }
  const std::wstring& Text(AttributeName id) {
    // A deque keeps its elements in place as it grows.
    std::lock_guard<std::mutex> lock(mutex_);
    return id < texts_.size() ? texts_[id] : empty_;
  }

 private:
  std::mutex mutex_;
  std::deque<std::wstring> texts_;
  std::unordered_map<std::wstring, AttributeName> ids_;
  const std::wstring empty_;
};

NameTable& Names() {
  static NameTable table;
  return table;
}

}  // namespace

AttributeName AttributeNameId(const std::wstring& name) { return Names().Id(name); }

bool KnownAttributeName(const std::wstring& name, AttributeName* id) {
  return Names().Known(name, id);
}

const std::wstring& AttributeNameText(AttributeName id) { return Names().Text(id); }

std::size_t AttributeList::Offset(AttributeName name) const {
  for (std::size_t at = 0; at < data_.size(); at = Next(at)) {
    if (NameAt(at) == name) return at;
  }
  return kNone;
}

bool AttributeList::Find(AttributeName name, std::wstring_view* value) const {
  const std::size_t at = Offset(name);
  if (at == kNone) return false;
  *value = ValueAt(at);
  return true;
}

void AttributeList::Set(AttributeName name, std::wstring_view value) {
  const std::size_t at = Offset(name);
  if (at == kNone) {
    Insert(name, value);
    return;
  }
  data_.replace(at + kHeader, LengthAt(at), value.data(), value.size());
  Write(at + 2, static_cast<std::uint32_t>(value.size()));
}

bool AttributeList::Insert(AttributeName name, std::wstring_view value) {
  if (Contains(name)) return false;
  // In the order of the names' texts; a store lists them so, so the usual
  // place is the end.
  const std::wstring& text = AttributeNameText(name);
  std::size_t place = data_.size();
  std::size_t last = kNone;
  for (std::size_t at = 0; at < data_.size(); at = Next(at)) last = at;
  if (last != kNone && AttributeNameText(NameAt(last)) > text) {
    for (std::size_t at = 0; at < data_.size(); at = Next(at)) {
      if (AttributeNameText(NameAt(at)) > text) {
        place = at;
        break;
      }
    }
  }
  data_.insert(place, kHeader + value.size(), L'\0');
  std::copy(value.begin(), value.end(), data_.begin() + static_cast<std::ptrdiff_t>(place + kHeader));
  Write(place, name);
  Write(place + 2, static_cast<std::uint32_t>(value.size()));
  return true;
}

void AttributeList::Erase(AttributeName name) {
  const std::size_t at = Offset(name);
  if (at != kNone) data_.erase(at, kHeader + LengthAt(at));
}

}  // namespace mediaengine
