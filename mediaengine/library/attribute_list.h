#pragma once
// The attributes of one library record, kept small: a user's library holds
// ten thousand items of a dozen attributes each. Attribute names are numbered
// once per process (AttributeNameId); a record keeps all its values in one
// buffer, each behind a short header of its name's number and its length,
// in the order of the names' texts (the order the library file lists them).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace mediaengine {

using AttributeName = std::uint32_t;

// The number of `name`, given it one if it has none yet. Names are never
// forgotten: there are a few dozen in any real library.
AttributeName AttributeNameId(const std::wstring& name);
// The number of `name` if any record ever had it; false otherwise.
bool KnownAttributeName(const std::wstring& name, AttributeName* id);
const std::wstring& AttributeNameText(AttributeName id);

class AttributeList {
 public:
  bool Find(AttributeName name, std::wstring_view* value) const;
  bool Contains(AttributeName name) const { return Offset(name) != kNone; }
  // Sets or replaces the value (an empty one too).
  void Set(AttributeName name, std::wstring_view value);
  // False, changing nothing, when `name` has a value already.
  bool Insert(AttributeName name, std::wstring_view value);
  void Erase(AttributeName name);
  // Gives back the room left over by changes.
  void Compact() { data_.shrink_to_fit(); }
  bool Empty() const { return data_.empty(); }

  // Calls visit(AttributeName, std::wstring_view) for each, in name order.
  template <typename Visit>
  void ForEach(Visit visit) const {
    for (std::size_t at = 0; at < data_.size(); at = Next(at)) visit(NameAt(at), ValueAt(at));
  }

  bool operator==(const AttributeList& other) const { return data_ == other.data_; }
  bool operator!=(const AttributeList& other) const { return !(*this == other); }

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  // Each entry: the name's number and the value's length, two 16-bit units
  // each (wchar_t is 16 bits on Windows, so only those are used), then the value.
  static constexpr std::size_t kHeader = 4;

  std::size_t Offset(AttributeName name) const;
  AttributeName NameAt(std::size_t at) const { return Read(at); }
  std::size_t LengthAt(std::size_t at) const { return Read(at + 2); }
  std::wstring_view ValueAt(std::size_t at) const {
    return std::wstring_view(data_).substr(at + kHeader, LengthAt(at));
  }
  std::size_t Next(std::size_t at) const { return at + kHeader + LengthAt(at); }
  std::uint32_t Read(std::size_t at) const {
    return (static_cast<std::uint32_t>(data_[at]) & 0xFFFFu) << 16 |
           (static_cast<std::uint32_t>(data_[at + 1]) & 0xFFFFu);
  }
  void Write(std::size_t at, std::uint32_t value) {
    data_[at] = static_cast<wchar_t>(value >> 16);
    data_[at + 1] = static_cast<wchar_t>(value & 0xFFFFu);
  }

  std::wstring data_;
};

}  // namespace mediaengine
