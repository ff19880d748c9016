#include "mediaengine/library/library_core.h"

#include <algorithm>
#include <cmath>

#include "mediaengine/library/library_file.h"
#include "mediaengine/library/library_io.h"
#include "mediaengine/library/library_objects.h"
#include "mediaengine/library/wpl_file.h"
#include "os/paths.h"
#include "os/text_encoding.h"

namespace mediaengine {
namespace {

const wchar_t kLibraryFileName[] = L"library.txt";
const wchar_t kPlaylistFolderName[] = L"Playlists";
const wchar_t kSetAsidePrefix[] = L"library.damaged-";
constexpr int kMaxSetAside = 1000;
constexpr int kPartnerships = 16;

bool IsAudioExtension(const std::wstring& extension) {
  static const wchar_t* const kAudio[] = {L"wma", L"mp3", L"wav", L"asf", L"m4a", L"aac"};
  return std::any_of(std::begin(kAudio), std::end(kAudio),
                     [&](const wchar_t* known) { return extension == known; });
}

std::int64_t MillisecondsOf(double seconds) {
  // Also refuses NaN, which fails every comparison.
  if (!(seconds > 0) || seconds > 1e9) return 0;
  return static_cast<std::int64_t>(std::llround(seconds * 1000.0));
}


}  // namespace

LibraryCore::LibraryCore(os::IFileSystem& files, std::wstring folder, TagReader readTags)
    : files_(files),
      folder_(std::move(folder)),
      libraryFile_(os::JoinPath(folder_, kLibraryFileName)),
      playlistFolder_(os::JoinPath(folder_, kPlaylistFolderName)),
      readTags_(std::move(readTags)) {}

LibraryCore::~LibraryCore() { StopThreads(); }

void LibraryCore::StopThreads() {
  // A load still running ends first: its thread works on this core; then
  // the writer, whose last changes are left for whoever writes next.
  if (loader_.joinable()) loader_.join();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopWriter_ = true;
  }
  writeWanted_.notify_all();
  if (writer_.joinable()) writer_.join();
}

void LibraryCore::WriteBehind(std::chrono::milliseconds delay) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (writeBehind_ || closed_) return;
  writeBehind_ = true;
  writeDelay_ = delay;
  writer_ = std::thread([this] { WriterLoop(); });
}

void LibraryCore::WriterLoop() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    writeWanted_.wait(lock, [this] { return writeRequested_ || stopWriter_; });
    // A moment for the changes that follow to join this write; once stopped,
    // Close writes what is left.
    if (writeWanted_.wait_for(lock, writeDelay_, [this] { return stopWriter_; })) return;
    writeRequested_ = false;
    lock.unlock();
    WritePending();
    Deliver();
    lock.lock();
  }
}

void LibraryCore::LoadInBackground(std::function<void(const LoadReport&)> done) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    loading_ = true;
  }
  loader_ = std::thread([this, done = std::move(done)] {
    const LoadReport report = Load();
    // Before the waiting calls go on: whoever waited for the load finds
    // what `done` queued.
    if (done) done(report);
    std::lock_guard<std::mutex> lock(mutex_);
    loading_ = false;
    loadEnded_.notify_all();
  });
}

LoadReport LibraryCore::WaitForLoad() const {
  auto lock = Ready();
  return report_;
}

std::unique_lock<std::mutex> LibraryCore::Ready() const {
  std::unique_lock<std::mutex> lock(mutex_);
  loadEnded_.wait(lock, [this] { return !loading_; });
  return lock;
}

LoadReport LibraryCore::Load() {
  LoadReport report;
  // A failure here shows up as a failed save, reported there.
  CreateFolderTree(files_, folder_);
  CreateFolderTree(files_, playlistFolder_);

  LibraryContents contents;
  bool saving = true;
  LibraryParseError parseError;
  bool damaged = false;
  {
    // Parsed as it is read: the file's text is never held whole.
    LibraryReader reader(playlistFolder_);
    const os::ErrorCode readError = ReadFileInPieces(
        files_, libraryFile_, [&reader](const char* bytes, std::size_t size) { reader.Feed(bytes, size); });
    if (readError == os::kErrorFileNotFound || readError == os::kErrorPathNotFound) {
      report.outcome = LoadOutcome::kNew;
    } else if (readError) {
      // What was read of it is dropped: never a part taken for the whole.
      report.outcome = LoadOutcome::kNotSaving;
      report.error = HResultOfError(readError);
      saving = false;
    } else if (reader.Finish(&contents, &parseError)) {
      report.outcome = LoadOutcome::kLoaded;
      report.items = contents.records.size();
    } else {
      damaged = true;
    }
  }
  if (damaged) {
    report.detail = parseError.line ? "line " + std::to_string(parseError.line) + ": " : "";
    report.detail += parseError.reason;
    os::ErrorCode moveError = os::kErrorAlreadyExists;
    for (int n = 1; n <= kMaxSetAside && moveError; ++n) {
      const std::wstring aside = os::JoinPath(folder_, kSetAsidePrefix + std::to_wstring(n));
      moveError = files_.Move(libraryFile_, aside, false);
      if (!moveError) report.setAsidePath = aside;
      if (moveError != os::kErrorAlreadyExists && moveError != os::kErrorFileExists) break;
    }
    if (moveError) {
      report.outcome = LoadOutcome::kNotSaving;
      report.error = HResultOfError(moveError);
      saving = false;
    } else {
      report.outcome = LoadOutcome::kDamagedSetAside;
    }
  }

  // Stores list playlists after the items; the library's order is by id.
  std::stable_sort(contents.records.begin(), contents.records.end(),
                   [](const LibraryRecord& a, const LibraryRecord& b) { return a.id < b.id; });
  std::lock_guard<std::mutex> lock(mutex_);
  records_ = std::move(contents.records);
  byUrl_.clear();
  byUrl_.reserve(records_.size());
  for (const LibraryRecord& record : records_) IndexUrl(record.url, record.id);
  nextId_ = contents.nextId;
  loaded_ = true;
  saving_ = saving;
  lastSave_ = report.error;
  dirty_ = false;
  dirtyPlaylists_.clear();
  staleFiles_.clear();
  pending_.clear();
  report_ = report;
  return report;
}

wmp::HResult LibraryCore::Save() {
  {
    auto lock = Ready();
    if (closed_) return wmp::kFail;
    if (!loaded_) return wmp::kNotReady;
    dirty_ = true;
  }
  WritePending();
  Deliver();
  return LastSaveResult();
}

wmp::HResult LibraryCore::LastSaveResult() const {
  auto lock = Ready();
  return lastSave_;
}

void LibraryCore::SetEvents(LibraryEvents events) {
  std::lock_guard<std::mutex> lock(mutex_);
  events_ = std::move(events);
}

void LibraryCore::Close() {
  StopThreads();  // what the writer had not written yet is written below
  {
    // The hooks may point into an engine that is going away.
    std::lock_guard<std::mutex> lock(mutex_);
    if (closed_) return;
    events_ = LibraryEvents();
    pending_.clear();
  }
  WritePending();
  std::lock_guard<std::mutex> lock(mutex_);
  closed_ = true;
}

void LibraryCore::BeginBatch() {
  std::lock_guard<std::mutex> lock(mutex_);
  ++batchDepth_;
}

void LibraryCore::EndBatch() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (batchDepth_ > 0) --batchDepth_;
  }
  Commit();
}

// ---- reads ----

wmp::HResult LibraryCore::Attribute(ItemId id, const std::wstring& name,
                                    std::wstring* value) const {
  if (!value) return wmp::kPointer;
  if (name.empty()) return wmp::kInvalidArg;
  auto lock = Ready();
  const LibraryRecord* record = Find(id);
  if (!record) return wmp::kFail;
  *value = AttributeOf(*record, wmp::CanonicalAttribute(name));
  return wmp::kOk;
}

wmp::HResult LibraryCore::Url(ItemId id, std::wstring* url) const {
  if (!url) return wmp::kPointer;
  auto lock = Ready();
  const LibraryRecord* record = Find(id);
  if (!record) return wmp::kFail;
  *url = record->url;
  return wmp::kOk;
}

wmp::HResult LibraryCore::DurationMs(ItemId id, std::int64_t* durationMs) const {
  if (!durationMs) return wmp::kPointer;
  auto lock = Ready();
  const LibraryRecord* record = Find(id);
  if (!record) return wmp::kFail;
  *durationMs = record->durationMs;
  return wmp::kOk;
}

bool LibraryCore::Contains(ItemId id) const {
  auto lock = Ready();
  return Find(id) != nullptr;
}

bool LibraryCore::IsPlaylist(ItemId id) const {
  auto lock = Ready();
  const LibraryRecord* record = Find(id);
  return record && record->playlist;
}

bool LibraryCore::FindUrl(const std::wstring& url, ItemId* id) const {
  auto lock = Ready();
  return LookUpUrl(url, id);
}

wmp::HResult LibraryCore::Members(ItemId playlist, std::vector<ItemId>* members) const {
  auto lock = Ready();
  const LibraryRecord* record = Find(playlist);
  if (!record || !record->playlist) return wmp::kFail;
  *members = record->members;
  return wmp::kOk;
}

std::vector<ItemId> LibraryCore::Query(const std::wstring& name, const std::wstring& value,
                                       bool playlistsOnly) const {
  const std::wstring& canonical = wmp::CanonicalAttribute(name);
  const bool computed = canonical == attr::kSourceUrl || canonical == attr::kDuration;
  std::vector<ItemId> ids;
  auto lock = Ready();
  // Looked up with the lock held: a record that has the name has it numbered by now.
  AttributeName stored = 0;
  const bool known = KnownAttributeName(canonical, &stored);
  for (const LibraryRecord& record : records_) {
    if (playlistsOnly && !record.playlist) continue;
    if (computed) {
      if (AttributeOf(record, canonical) == value) ids.push_back(record.id);
      continue;
    }
    std::wstring_view found;
    if (!known || !record.attributes.Find(stored, &found)) found = std::wstring_view();
    if (found == value) ids.push_back(record.id);
  }
  return ids;
}

std::vector<ItemId> LibraryCore::All(bool playlistsOnly) const {
  std::vector<ItemId> ids;
  auto lock = Ready();
  for (const LibraryRecord& record : records_) {
    if (!playlistsOnly || record.playlist) ids.push_back(record.id);
  }
  return ids;
}

// ---- changes ----

wmp::HResult LibraryCore::SetAttribute(ItemId id, const std::wstring& name,
                                       const std::wstring& value) {
  if (name.empty()) return wmp::kInvalidArg;
  const std::wstring& canonical = wmp::CanonicalAttribute(name);
  if (IsReadOnlyAttribute(canonical)) return wmp::kAccessDenied;
  {
    auto lock = Ready();
    if (closed_) return wmp::kFail;
    LibraryRecord* record = Find(id);
    if (!record) return wmp::kFail;
    if (AttributeOf(*record, canonical) == value) return wmp::kOk;
    PutAttribute(*record, canonical, value);
    if (!IsTransientAttribute(canonical)) dirty_ = true;
    Announce(EventKind::kMedia, id);
    if (record->playlist && canonical == attr::kTitle) {
      // The WPL file follows the name, as the player keeps it.
      const std::wstring url = FreePlaylistUrl(value, id);
      if (os::PathKey(url) != os::PathKey(record->url)) {
        staleFiles_.push_back(record->url);
        UnindexUrl(record->url, id);
        record->url = url;
        IndexUrl(url, id);
      }
      PlaylistChanged(id, kPlaylistChangeRename);
      Announce(EventKind::kPlaylists);
    }
  }
  Commit();
  return wmp::kOk;
}

wmp::HResult LibraryCore::AddFile(const std::wstring& url, ItemId* id) {
  if (!id) return wmp::kPointer;
  if (url.empty()) return wmp::kInvalidArg;
  if (FindUrl(url, id)) return wmp::kOk;

  const std::uint32_t fileAttributes = files_.GetAttributes(url);
  if (fileAttributes == os::kInvalidAttributes) return HResultOfError(os::kErrorFileNotFound);
  if (fileAttributes & os::kAttributeDirectory) return wmp::kInvalidArg;

  // The file is read without the lock: readers go on meanwhile.
  LibraryRecord record;
  record.url = url;
  const std::wstring extension = os::AsciiLower(os::PathExtension(url));
  LibraryRecord& a = record;
  PutAttribute(a, attr::kFileType, extension);
  SetAttributeValue(a, attr::kMediaType, IsAudioExtension(extension) ? wmp::kMediaTypeAudio : L"other");
  AsfInfo info;
  if (extension == L"wma" && readTags_ && readTags_(url, &info)) {
    PutAttribute(a, attr::kTitle, info.tags.title);
    PutAttribute(a, attr::kAuthor, info.tags.author);
    PutAttribute(a, attr::kAlbumTitle, info.tags.albumTitle);
    PutAttribute(a, attr::kAlbumArtist, info.tags.albumArtist);
    PutAttribute(a, attr::kGenre, info.tags.genre);
    PutAttribute(a, attr::kYear, info.tags.year);
    PutAttribute(a, attr::kTrackNumber, info.tags.trackNumber);
    if (info.bitrate > 0) SetAttributeValue(a, attr::kBitrate, std::to_wstring(info.bitrate));
    SetAttributeValue(a, attr::kFileSize, std::to_wstring(info.fileSize));
    record.durationMs = MillisecondsOf(info.durationSeconds);
  } else {
    std::unique_ptr<os::IFileStream> stream;
    if (files_.Open(url, os::OpenMode::Read, &stream) == os::kSuccess) {
      SetAttributeValue(a, attr::kFileSize, std::to_wstring(stream->Size()));
    }
  }
  if (!HasAttribute(a, attr::kTitle)) PutAttribute(a, attr::kTitle, os::PathStem(url));
  a.attributes.Compact();

  {
    auto lock = Ready();
    if (closed_) return wmp::kFail;
    if (LookUpUrl(url, id)) return wmp::kOk;  // another thread may have been quicker
    if (!TakeId(&record.id)) return wmp::kFail;
    *id = Insert(std::move(record)).id;
    dirty_ = true;
    Announce(EventKind::kCollection);
  }
  Commit();
  return wmp::kOk;
}

wmp::HResult LibraryCore::AddRipped(const RippedTrack& track, ItemId* id) {
  if (!id) return wmp::kPointer;
  if (track.url.empty()) return wmp::kInvalidArg;
  {
    auto lock = Ready();
    if (closed_) return wmp::kFail;
    LibraryRecord* record = nullptr;
    ItemId existing = 0;
    const bool found = LookUpUrl(track.url, &existing);
    if (found) {
      // The same file ripped again: the item keeps its id and takes the new facts.
      record = Find(existing);
      if (record->playlist) return wmp::kInvalidArg;
    } else {
      LibraryRecord fresh;
      if (!TakeId(&fresh.id)) return wmp::kFail;
      fresh.url = track.url;
      record = &Insert(std::move(fresh));
    }
    LibraryRecord& a = *record;
    PutAttribute(a, attr::kTitle, track.title);
    PutAttribute(a, attr::kAuthor, track.artist);
    PutAttribute(a, attr::kAlbumTitle, track.albumTitle);
    PutAttribute(a, attr::kAlbumArtist, track.albumArtist);
    PutAttribute(a, attr::kGenre, track.genre);
    PutAttribute(a, attr::kTrackNumber, track.trackNumber > 0 ? std::to_wstring(track.trackNumber) : L"");
    PutAttribute(a, attr::kToc, track.toc);
    PutAttribute(a, attr::kBitrate, track.bitrate > 0 ? std::to_wstring(track.bitrate) : L"");
    SetAttributeValue(a, attr::kFileSize, std::to_wstring(track.fileSize));
    PutAttribute(a, attr::kFileType, os::AsciiLower(os::PathExtension(track.url)));
    SetAttributeValue(a, attr::kMediaType, wmp::kMediaTypeAudio);
    for (const auto& [name, value] : track.extra) {
      const std::wstring& canonical = wmp::CanonicalAttribute(name);
      if (name.empty() || canonical == attr::kSourceUrl || canonical == attr::kMediaType ||
          canonical == attr::kDuration) {
        continue;
      }
      PutAttribute(a, canonical, value);
    }
    a.attributes.Compact();
    record->durationMs = MillisecondsOf(track.durationSeconds);
    *id = record->id;
    dirty_ = true;
    if (found) {
      Announce(EventKind::kMedia, record->id);
    } else {
      Announce(EventKind::kCollection);
    }
  }
  Commit();
  return wmp::kOk;
}

wmp::HResult LibraryCore::Remove(ItemId id, bool deleteFile) {
  std::wstring url;
  bool playlist = false;
  {
    auto lock = Ready();
    if (closed_) return wmp::kFail;
    const LibraryRecord* record = Find(id);
    if (!record) return wmp::kInvalidArg;
    url = record->url;
    playlist = record->playlist;
  }
  if (deleteFile && !playlist) {
    // A file that is already gone is what the caller wanted; any other
    // failure keeps the item so that library and disk stay in step.
    const os::ErrorCode error = files_.Delete(url);
    if (error && error != os::kErrorFileNotFound && error != os::kErrorPathNotFound) {
      return HResultOfError(error);
    }
  }
  {
    auto lock = Ready();
    LibraryRecord* record = Find(id);
    if (!record) return wmp::kOk;  // another thread removed it meanwhile
    if (record->playlist) {
      staleFiles_.push_back(record->url);
      dirtyPlaylists_.erase(id);
      Announce(EventKind::kPlaylists);
    }
    UnindexUrl(record->url, id);
    records_.erase(records_.begin() + (record - records_.data()));
    for (LibraryRecord& other : records_) {
      auto& members = other.members;
      const auto end = std::remove(members.begin(), members.end(), id);
      if (end == members.end()) continue;
      members.erase(end, members.end());
      PlaylistChanged(other.id, kPlaylistChangeDelete);
    }
    dirty_ = true;
    Announce(EventKind::kCollection);
  }
  Commit();
  return wmp::kOk;
}

wmp::HResult LibraryCore::NewPlaylist(const std::wstring& name, ItemId* id) {
  if (!id) return wmp::kPointer;
  if (name.empty()) return wmp::kInvalidArg;
  {
    auto lock = Ready();
    if (closed_) return wmp::kFail;
    LibraryRecord record;
    if (!TakeId(&record.id)) return wmp::kFail;
    record.playlist = true;
    record.url = FreePlaylistUrl(name, 0);
    SetAttributeValue(record, attr::kTitle, name);
    SetAttributeValue(record, attr::kMediaType, wmp::kMediaTypePlaylist);
    SetAttributeValue(record, attr::kFileType, L"wpl");
    for (int p = 1; p <= kPartnerships; ++p) SetAttributeValue(record, wmp::SyncAttribute(p), L"0");
    SetAttributeValue(record, attr::kSyncOnly, L"0");
    *id = Insert(std::move(record)).id;
    dirtyPlaylists_.insert(*id);
    dirty_ = true;
    Announce(EventKind::kPlaylists);
    Announce(EventKind::kCollection);
  }
  Commit();
  return wmp::kOk;
}

wmp::HResult LibraryCore::AppendMember(ItemId playlist, ItemId item) {
  {
    auto lock = Ready();
    if (closed_) return wmp::kFail;
    LibraryRecord* list = Find(playlist);
    const LibraryRecord* member = Find(item);
    // Playlists hold tracks; a playlist inside a playlist would make the
    // sync engine resolve nested lists.
    if (!list || !list->playlist || !member || member->playlist) return wmp::kInvalidArg;
    list->members.push_back(item);
    PlaylistChanged(playlist, kPlaylistChangeAppend);
  }
  Commit();
  return wmp::kOk;
}

wmp::HResult LibraryCore::RemoveMember(ItemId playlist, ItemId item) {
  {
    auto lock = Ready();
    if (closed_) return wmp::kFail;
    LibraryRecord* list = Find(playlist);
    if (!list || !list->playlist) return wmp::kInvalidArg;
    auto it = std::find(list->members.begin(), list->members.end(), item);
    if (it == list->members.end()) return wmp::kInvalidArg;
    list->members.erase(it);
    PlaylistChanged(playlist, kPlaylistChangeDelete);
  }
  Commit();
  return wmp::kOk;
}

wmp::HResult LibraryCore::MoveMember(ItemId playlist, long from, long to) {
  {
    auto lock = Ready();
    if (closed_) return wmp::kFail;
    LibraryRecord* list = Find(playlist);
    if (!list || !list->playlist) return wmp::kInvalidArg;
    const long count = static_cast<long>(list->members.size());
    if (from < 0 || from >= count || to < 0 || to >= count) return wmp::kInvalidArg;
    if (from == to) return wmp::kOk;
    const ItemId moved = list->members[static_cast<std::size_t>(from)];
    list->members.erase(list->members.begin() + from);
    list->members.insert(list->members.begin() + to, moved);
    PlaylistChanged(playlist, kPlaylistChangeMove);
  }
  Commit();
  return wmp::kOk;
}

// ---- with the lock held ----

namespace {

// Where the record of `id` is, or would go: the records are ordered by id.
template <typename Records>
auto LowerBoundById(Records& records, ItemId id) {
  return std::lower_bound(records.begin(), records.end(), id,
                          [](const LibraryRecord& record, ItemId key) { return record.id < key; });
}

template <typename Records>
auto FindById(Records& records, ItemId id) -> decltype(records.data()) {
  auto it = LowerBoundById(records, id);
  return it == records.end() || it->id != id ? nullptr : &*it;
}

std::size_t UrlHash(const std::wstring& url) { return std::hash<std::wstring>()(os::PathKey(url)); }

}  // namespace

LibraryRecord* LibraryCore::Find(ItemId id) { return FindById(records_, id); }

const LibraryRecord* LibraryCore::Find(ItemId id) const { return FindById(records_, id); }

bool LibraryCore::LookUpUrl(const std::wstring& url, ItemId* id) const {
  const std::wstring key = os::PathKey(url);
  const auto range = byUrl_.equal_range(std::hash<std::wstring>()(key));
  for (auto it = range.first; it != range.second; ++it) {
    const LibraryRecord* record = Find(it->second);
    if (record && os::PathKey(record->url) == key) {
      *id = it->second;
      return true;
    }
  }
  return false;
}

void LibraryCore::IndexUrl(const std::wstring& url, ItemId id) { byUrl_.emplace(UrlHash(url), id); }

void LibraryCore::UnindexUrl(const std::wstring& url, ItemId id) {
  const auto range = byUrl_.equal_range(UrlHash(url));
  for (auto it = range.first; it != range.second; ++it) {
    if (it->second == id) {
      byUrl_.erase(it);
      return;
    }
  }
}

void LibraryCore::Announce(EventKind kind, ItemId id, long value) {
  const PendingEvent event{kind, id, value};
  if (std::find(pending_.begin(), pending_.end(), event) == pending_.end()) {
    pending_.push_back(event);
  }
}

void LibraryCore::PlaylistChanged(ItemId playlist, long change) {
  dirtyPlaylists_.insert(playlist);
  dirty_ = true;
  Announce(EventKind::kPlaylist, playlist, change);
}

std::wstring LibraryCore::FreePlaylistUrl(const std::wstring& name, ItemId self) {
  const std::wstring stem = PlaylistFileStem(name);
  // Terminates: only finitely many records and files can be in the way.
  for (int n = 1;; ++n) {
    const std::wstring suffix = n == 1 ? L"" : L" (" + std::to_wstring(n) + L")";
    const std::wstring candidate = os::JoinPath(playlistFolder_, stem + suffix + L".wpl");
    ItemId owner = 0;
    if (LookUpUrl(candidate, &owner)) {
      if (owner == self) return candidate;
      continue;
    }
    if (!files_.Exists(candidate)) return candidate;
  }
}

bool LibraryCore::TakeId(ItemId* id) {
  if (nextId_ < 1 || nextId_ > kMaxItemId) return false;
  *id = nextId_++;
  return true;
}

LibraryRecord& LibraryCore::Insert(LibraryRecord record) {
  // New ids are the highest: the usual place is the end.
  auto place = records_.end();
  if (!records_.empty() && records_.back().id >= record.id) {
    place = LowerBoundById(records_, record.id);
  }
  IndexUrl(record.url, record.id);
  return *records_.insert(place, std::move(record));
}

// ---- writing and announcing ----

void LibraryCore::Commit() {
  bool behind = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (batchDepth_ > 0) return;
    behind = writeBehind_ && !stopWriter_;
    if (behind) writeRequested_ = true;
  }
  if (behind) {
    writeWanted_.notify_all();
  } else {
    WritePending();
  }
  Deliver();
}

void LibraryCore::WritePending() {
  std::lock_guard<std::mutex> writing(writeMutex_);
  bool writeLibrary = false;
  std::string libraryText;
  std::vector<ItemId> playlistIds;
  std::vector<std::pair<std::wstring, std::string>> playlistTexts;
  std::vector<std::wstring> stale;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    // Before the load nothing may be written: the file on disk is the truth.
    if (!loaded_ || !saving_ || closed_) return;
    if (dirty_) {
      std::vector<const LibraryRecord*> records;
      records.reserve(records_.size());
      for (const LibraryRecord& record : records_) records.push_back(&record);
      libraryText = SerializeLibrary(nextId_, records);
      writeLibrary = true;
      dirty_ = false;
    }
    for (ItemId id : dirtyPlaylists_) {
      const LibraryRecord* record = Find(id);
      // Only files of our own folder are ever written (the store is checked
      // when read; this keeps it so whatever happens in between).
      if (!record || !record->playlist || !IsPlaylistFileIn(playlistFolder_, record->url)) continue;
      std::vector<std::wstring> sources;
      for (ItemId member : record->members) {
        if (const LibraryRecord* item = Find(member)) sources.push_back(item->url);
      }
      playlistIds.push_back(id);
      playlistTexts.emplace_back(record->url, BuildWpl(AttributeOf(*record, attr::kTitle), sources));
    }
    dirtyPlaylists_.clear();
    for (const std::wstring& path : staleFiles_) {
      // A name given up and taken again (or a change of case) is the same file.
      ItemId owner = 0;
      if (!LookUpUrl(path, &owner) && IsPlaylistFileIn(playlistFolder_, path)) {
        stale.push_back(path);
      }
    }
    staleFiles_.clear();
  }
  if (!writeLibrary && playlistTexts.empty() && stale.empty()) return;

  os::ErrorCode failure = os::kSuccess;
  if (writeLibrary) failure = WriteFileAtomically(files_, libraryFile_, libraryText);
  std::vector<ItemId> unwritten;
  if (!playlistTexts.empty()) CreateFolderTree(files_, playlistFolder_);
  for (std::size_t i = 0; i < playlistTexts.size(); ++i) {
    const os::ErrorCode error =
        WriteFileAtomically(files_, playlistTexts[i].first, playlistTexts[i].second);
    if (!error) continue;
    if (!failure) failure = error;
    unwritten.push_back(playlistIds[i]);
  }
  for (const std::wstring& path : stale) files_.Delete(path);

  std::lock_guard<std::mutex> lock(mutex_);
  // What could not be written is written again with the next change.
  if (failure && writeLibrary) dirty_ = true;
  dirtyPlaylists_.insert(unwritten.begin(), unwritten.end());
  lastSave_ = HResultOfError(failure);
  if (failure) Announce(EventKind::kSaveFailed, 0, static_cast<long>(lastSave_));
}

void LibraryCore::Deliver() {
  std::vector<PendingEvent> events;
  LibraryEvents hooks;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (pending_.empty()) return;
    events.swap(pending_);
    hooks = events_;
  }
  const std::shared_ptr<LibraryCore> self = shared_from_this();
  for (const PendingEvent& event : events) {
    switch (event.kind) {
      case EventKind::kCollection:
        if (hooks.mediaCollectionChange) hooks.mediaCollectionChange();
        break;
      case EventKind::kMedia:
        if (hooks.mediaChange) hooks.mediaChange(MakeLibraryMedia(self, event.id));
        break;
      case EventKind::kPlaylists:
        if (hooks.playlistCollectionChange) hooks.playlistCollectionChange();
        break;
      case EventKind::kPlaylist:
        if (hooks.playlistChange) hooks.playlistChange(MakeSavedPlaylist(self, event.id), event.value);
        break;
      case EventKind::kSaveFailed:
        if (hooks.saveFailed) hooks.saveFailed(static_cast<wmp::HResult>(event.value));
        break;
    }
  }
}

}  // namespace mediaengine
