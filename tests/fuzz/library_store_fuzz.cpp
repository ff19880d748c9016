// The library store: a file that reads is saved and reads back as the same
// library, and working with its playlists writes and deletes nothing but
// the library's own files.
#include <map>
#include <memory>

#include "fakes/fake_file_system.h"
#include "fuzz/fuzz_check.h"
#include "mediaengine/library/library_file.h"
#include "mediaengine/library/media_library.h"
#include "mediaengine/library/wpl_file.h"
#include "mediaengine/library/xml_text.h"
#include "os/text_encoding.h"

namespace {

using mediaengine::LibraryContents;
using mediaengine::LibraryRecord;

const std::wstring kFolder = L"C:\\Library";
const std::wstring kPlaylists = kFolder + L"\\Playlists";
const std::wstring kStore = kFolder + L"\\library.txt";
const std::wstring kVictim = L"C:\\victim.txt";
const std::wstring kNeighbour = kPlaylists + L"\\notes.txt";

bool Same(const LibraryRecord& a, const LibraryRecord& b) {
  return a.id == b.id && a.playlist == b.playlist && a.url == b.url &&
         a.durationMs == b.durationMs && a.attributes == b.attributes && a.members == b.members;
}

// The library as the store keeps it: by id.
std::map<mediaengine::ItemId, const LibraryRecord*> ById(const LibraryContents& contents) {
  std::map<mediaengine::ItemId, const LibraryRecord*> records;
  for (const LibraryRecord& record : contents.records) records[record.id] = &record;
  return records;
}

bool SameLibrary(const LibraryContents& a, const LibraryContents& b) {
  const auto left = ById(a), right = ById(b);
  if (a.nextId != b.nextId || left.size() != right.size()) return false;
  for (auto l = left.begin(), r = right.begin(); l != left.end(); ++l, ++r) {
    if (!Same(*l->second, *r->second)) return false;
  }
  return true;
}

LibraryContents Parsed(const std::string& text) {
  LibraryContents contents;
  mediaengine::LibraryParseError error;
  FUZZ_CHECK(mediaengine::ParseLibrary(text, kPlaylists, &contents, &error));
  return contents;
}

std::string Serialized(const LibraryContents& contents) {
  std::vector<const LibraryRecord*> records;
  for (const auto& [id, record] : ById(contents)) records.push_back(record);
  return mediaengine::SerializeLibrary(contents.nextId, records);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = fuzz::Bytes(data, size);
  LibraryContents contents;
  mediaengine::LibraryParseError error;
  if (!mediaengine::ParseLibrary(text, kPlaylists, &contents, &error)) {
    FUZZ_CHECK(!error.reason.empty());
    return 0;
  }
  for (const LibraryRecord& record : contents.records) {
    FUZZ_CHECK(record.id >= 1 && record.id <= mediaengine::kMaxItemId && record.id < contents.nextId);
    FUZZ_CHECK(record.durationMs >= 0 && record.durationMs <= mediaengine::kMaxDurationMs);
    FUZZ_CHECK(!record.playlist || mediaengine::IsPlaylistFileIn(kPlaylists, record.url));
  }
  const std::string saved = Serialized(contents);
  FUZZ_CHECK(os::IsValidUtf8(saved));
  FUZZ_CHECK(SameLibrary(Parsed(saved), contents));
  FUZZ_CHECK(Serialized(Parsed(saved)) == saved);

  // The same file under the engine: loaded, its playlists changed and
  // removed, saved, and loaded again.
  fakes::FakeFileSystem files;
  files.AddDrive(L'C');
  files.AddFile(kStore, text);
  files.AddFile(kVictim, "victim");
  files.AddFile(kNeighbour, "notes");
  {
    mediaengine::MediaLibrary library(files, kFolder, nullptr);
    FUZZ_CHECK(library.Load().outcome == mediaengine::LoadOutcome::kLoaded);
    auto media = library.MediaCollection();
    auto playlists = library.PlaylistCollection();
    wmp::PlaylistPtr all;
    wmp::MediaPtr first;
    FUZZ_CHECK(media->GetAll(&all) == wmp::kOk);
    long count = 0;
    all->Count(&count);
    if (count > 0) all->Item(0, &first);
    wmp::PlaylistArrayPtr lists;
    FUZZ_CHECK(playlists->GetAll(&lists) == wmp::kOk);
    long listCount = 0;
    lists->Count(&listCount);
    for (long i = 0; i < listCount && i < 8; ++i) {
      wmp::PlaylistPtr list;
      FUZZ_CHECK(lists->Item(i, &list) == wmp::kOk);
      std::wstring url;
      list->GetItemInfo(L"SourceURL", &url);
      // The first item may itself be a playlist, which no playlist takes.
      if (first && list->AppendItem(first.get()) == wmp::kOk) {
        const std::string wpl = files.Content(url);
        std::vector<mediaengine::XmlElement> elements;
        FUZZ_CHECK(os::IsValidUtf8(wpl));
        FUZZ_CHECK(mediaengine::ReadXmlDocument(os::WideFromUtf8(wpl), &elements));
      }
      if (data[0] & 1) list->SetName(L"renamed " + std::to_wstring(i));
      if (data[0] & 2) playlists->Remove(list.get());
    }
    FUZZ_CHECK(library.Save() == wmp::kOk);
  }
  FUZZ_CHECK(files.Content(kVictim) == "victim");
  FUZZ_CHECK(files.Content(kNeighbour) == "notes");
  mediaengine::MediaLibrary again(files, kFolder, nullptr);
  FUZZ_CHECK(again.Load().outcome == mediaengine::LoadOutcome::kLoaded);
  return 0;
}
