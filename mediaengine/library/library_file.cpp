#include "mediaengine/library/library_file.h"

#include <algorithm>
#include <memory>
#include <string_view>
#include <unordered_map>

#include "mediaengine/library/wpl_file.h"
#include "os/paths.h"
#include "os/text_encoding.h"

namespace mediaengine {
namespace {

const char kHeader[] = "marimba-library";

std::string Escape(const std::wstring& text) {
  const std::string utf8 = os::Utf8FromWide(text);
  std::string out;
  out.reserve(utf8.size());
  for (char c : utf8) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out.push_back(c);
    }
  }
  return out;
}

bool Unescape(std::string_view field, std::wstring* text) {
  std::string utf8;
  utf8.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\') {
      utf8.push_back(field[i]);
      continue;
    }
    if (++i == field.size()) return false;
    switch (field[i]) {
      case '\\': utf8.push_back('\\'); break;
      case 't': utf8.push_back('\t'); break;
      case 'n': utf8.push_back('\n'); break;
      case 'r': utf8.push_back('\r'); break;
      default: return false;
    }
  }
  *text = os::WideFromUtf8(utf8);
  return true;
}

// Plain decimal digits only: no sign, no spaces, no overflow. Every value
// of the type reads back, as the writer may write any.
bool ParseNumber(std::string_view field, std::uint64_t* value) {
  if (field.empty() || field.size() > 20) return false;
  std::uint64_t result = 0;
  for (char c : field) {
    if (c < '0' || c > '9') return false;
    const auto digit = static_cast<std::uint64_t>(c - '0');
    if (result > (UINT64_MAX - digit) / 10) return false;
    result = result * 10 + digit;
  }
  *value = result;
  return true;
}

using Fields = std::vector<std::string_view>;

void SplitFields(std::string_view line, Fields* fields) {
  fields->clear();
  for (;;) {
    const std::size_t tab = line.find('\t');
    fields->push_back(line.substr(0, tab));
    if (tab == std::string_view::npos) return;
    line.remove_prefix(tab + 1);
  }
}

}  // namespace

class LibraryParser {
 public:
  explicit LibraryParser(const std::wstring& playlistFolder) : playlistFolder_(playlistFolder) {}

  void Feed(const char* bytes, std::size_t size) {
    if (failed_ || size == 0) return;
    total_ += size;
    last_ = bytes[size - 1];
    std::string_view rest(bytes, size);
    for (std::size_t end; !failed_ && (end = rest.find('\n')) != std::string_view::npos;
         rest.remove_prefix(end + 1)) {
      if (pending_.empty()) {
        Take(rest.substr(0, end));
      } else {
        pending_.append(rest.data(), end);
        Take(pending_);
        pending_.clear();
      }
    }
    if (!failed_) pending_.append(rest.data(), rest.size());
  }

  bool Finish(LibraryContents* contents, LibraryParseError* error) {
    if (failed_) return Fail(line_, reason_, error);
    if (total_ == 0 || last_ != '\n') return Fail(0, "the file does not end with a whole line", error);
    if (!ended_) return Fail(0, "the end line is missing", error);
    if (next_ <= maxId_) next_ = maxId_ + 1;
    contents->nextId = next_;
    contents->records = std::move(records_);
    return true;
  }

 private:
  bool Fail(std::size_t line, const std::string& reason, LibraryParseError* error) {
    error->line = line;
    error->reason = reason;
    return false;
  }

  bool Reject(const std::string& reason) {
    reason_ = reason;
    return false;
  }

  void Take(std::string_view line) {
    ++line_;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!Line(line)) failed_ = true;
  }

  bool Line(std::string_view line) {
    SplitFields(line, &fields_);
    const Fields& f = fields_;
    if (ended_) return Reject("text after the end line");
    if (line_ == 1) return Header(f);
    const std::string_view tag = f[0];
    if (tag == "next" && f.size() == 2) {
      return ParseNumber(f[1], &next_) && next_ >= 1 ? true : Reject("bad next id");
    }
    if ((tag == "item" || tag == "playlist") && f.size() == 4) return Record(f, tag == "playlist");
    if (tag == "attr" && f.size() == 3) return Attribute(f);
    if (tag == "member" && f.size() == 2) return Member(f);
    if (tag == "end" && f.size() == 2) return End(f);
    return Reject("unknown line");
  }

  bool Header(const Fields& f) {
    if (f.size() != 2 || f[0] != kHeader) return Reject("not a library file");
    std::uint64_t version = 0;
    if (!ParseNumber(f[1], &version)) return Reject("bad format version");
    if (version != static_cast<std::uint64_t>(kLibraryFormatVersion)) {
      return Reject("format version " + std::string(f[1]) + " is not read by this build");
    }
    return true;
  }

  bool Record(const Fields& f, bool playlist) {
    LibraryRecord record;
    record.playlist = playlist;
    std::uint64_t duration = 0;
    if (!ParseNumber(f[1], &record.id) || record.id == 0 || record.id > kMaxItemId) {
      return Reject("bad item id");
    }
    if (kinds_.count(record.id)) return Reject("item id used twice");
    if (!ParseNumber(f[2], &duration) || duration > static_cast<std::uint64_t>(kMaxDurationMs)) {
      return Reject("bad duration");
    }
    record.durationMs = static_cast<std::int64_t>(duration);
    if (!Unescape(f[3], &record.url) || record.url.empty()) return Reject("bad url");
    // The library writes and deletes a playlist's file: it must be one of its own.
    if (playlist && !IsPlaylistFileIn(playlistFolder_, record.url)) {
      return Reject("playlist file outside the playlists folder");
    }
    if (!NewUrl(record.url)) return Reject("url used twice");
    if (record.id > maxId_) maxId_ = record.id;
    kinds_.emplace(record.id, playlist);
    // The record before is whole: it gives back what its growth left over.
    if (!records_.empty()) records_.back().attributes.Compact();
    records_.push_back(std::move(record));
    return true;
  }

  // Records the url of the record about to be added; false if one has it already.
  bool NewUrl(const std::wstring& url) {
    const std::wstring key = os::PathKey(url);
    const std::size_t hash = std::hash<std::wstring>()(key);
    const auto range = urls_.equal_range(hash);
    for (auto it = range.first; it != range.second; ++it) {
      if (os::PathKey(records_[it->second].url) == key) return false;
    }
    urls_.emplace(hash, records_.size());
    return true;
  }

  // What an attribute line's name field stands for.
  struct FieldName {
    std::string field;
    AttributeName id = 0;
    bool transient = false;
    bool mediaType = false;
  };

  // A library has a few names that come again on every item: each is
  // unescaped and numbered once (a store with many more is still read,
  // only without the shortcut).
  const FieldName* NameOf(std::string_view field) {
    for (const FieldName& known : names_) {
      if (known.field == field) return &known;
    }
    std::wstring name;
    if (!Unescape(field, &name) || name.empty()) return nullptr;
    const std::wstring canonical = wmp::CanonicalAttribute(name);
    FieldName found{std::string(field), AttributeNameId(canonical), IsTransientAttribute(canonical),
                    name == attr::kMediaType};
    if (names_.size() >= kKeptNames) {
      spare_ = std::move(found);
      return &spare_;
    }
    names_.push_back(std::move(found));
    return &names_.back();
  }

  bool Attribute(const Fields& f) {
    if (records_.empty()) return Reject("attribute before any item");
    const FieldName* name = NameOf(f[1]);
    if (!name || !Unescape(f[2], &value_)) return Reject("bad attribute");
    // Progress texts are never written; a file that has them keeps none.
    if (name->transient) return true;
    LibraryRecord& record = records_.back();
    if (name->mediaType && record.playlist != (value_ == wmp::kMediaTypePlaylist)) {
      return Reject("media type disagrees with the kind of record");
    }
    if (!record.attributes.Insert(name->id, value_)) return Reject("attribute given twice");
    return true;
  }

  bool Member(const Fields& f) {
    if (records_.empty() || !records_.back().playlist) return Reject("member outside a playlist");
    std::uint64_t id = 0;
    if (!ParseNumber(f[1], &id)) return Reject("bad member id");
    // Members refer to items listed before the playlist, as they are written.
    auto kind = kinds_.find(id);
    if (kind == kinds_.end() || kind->second) return Reject("member is not an item of the library");
    records_.back().members.push_back(id);
    return true;
  }

  bool End(const Fields& f) {
    std::uint64_t count = 0;
    if (!ParseNumber(f[1], &count) || count != records_.size()) {
      return Reject("record count disagrees with the end line");
    }
    ended_ = true;
    const AttributeName mediaType = AttributeNameId(attr::kMediaType);
    for (LibraryRecord& record : records_) {
      if (record.playlist) record.attributes.Set(mediaType, wmp::kMediaTypePlaylist);
      record.attributes.Compact();
    }
    return true;
  }

  static constexpr std::size_t kKeptNames = 64;

  const std::wstring playlistFolder_;
  std::vector<FieldName> names_;
  FieldName spare_;
  std::wstring value_;
  std::string pending_;  // the start of a line whose end has not come yet
  Fields fields_;
  std::uint64_t total_ = 0;
  char last_ = 0;
  bool failed_ = false;
  std::size_t line_ = 0;
  std::string reason_;
  bool ended_ = false;
  std::uint64_t next_ = 1;
  std::uint64_t maxId_ = 0;
  std::vector<LibraryRecord> records_;
  std::unordered_map<ItemId, bool> kinds_;  // every record's id: a playlist or not
  // The hash of each record's os::PathKey(url) → its index in records_.
  std::unordered_multimap<std::size_t, std::size_t> urls_;
};

LibraryReader::LibraryReader(const std::wstring& playlistFolder)
    : parser_(std::make_unique<LibraryParser>(playlistFolder)) {}

LibraryReader::~LibraryReader() = default;

void LibraryReader::Feed(const char* bytes, std::size_t size) { parser_->Feed(bytes, size); }

bool LibraryReader::Finish(LibraryContents* contents, LibraryParseError* error) {
  *contents = LibraryContents();
  return parser_->Finish(contents, error);
}

std::string SerializeLibrary(ItemId nextId, const std::vector<const LibraryRecord*>& records) {
  std::string out = std::string(kHeader) + "\t" + std::to_string(kLibraryFormatVersion) + "\n";
  out += "next\t" + std::to_string(nextId) + "\n";
  for (int pass = 0; pass < 2; ++pass) {
    for (const LibraryRecord* entry : records) {
      const LibraryRecord& record = *entry;
      if (record.playlist != (pass == 1)) continue;
      out += record.playlist ? "playlist\t" : "item\t";
      out += std::to_string(record.id) + "\t";
      out += std::to_string(std::clamp<std::int64_t>(record.durationMs, 0, kMaxDurationMs)) + "\t";
      out += Escape(record.url) + "\n";
      record.attributes.ForEach([&out](AttributeName id, std::wstring_view value) {
        const std::wstring& name = AttributeNameText(id);
        if (IsTransientAttribute(name)) return;
        out += "attr\t" + Escape(name) + "\t" + Escape(std::wstring(value)) + "\n";
      });
      for (ItemId member : record.members) out += "member\t" + std::to_string(member) + "\n";
    }
  }
  out += "end\t" + std::to_string(records.size()) + "\n";
  return out;
}

bool ParseLibrary(const std::string& text, const std::wstring& playlistFolder,
                  LibraryContents* contents, LibraryParseError* error) {
  LibraryReader reader(playlistFolder);
  reader.Feed(text.data(), text.size());
  return reader.Finish(contents, error);
}

}  // namespace mediaengine
