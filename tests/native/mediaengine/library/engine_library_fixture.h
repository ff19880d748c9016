#pragma once
// A library over the in-memory file system, with a tag reader that answers
// from a table, and small readers that keep the tests short.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fakes/fake_file_system.h"
#include "mediaengine/library/media_library.h"

namespace library_test {

inline const std::wstring kFolder = L"C:\\Users\\user\\AppData\\Roaming\\Marimba\\Library";
inline const std::wstring kLibraryFile = kFolder + L"\\library.txt";
inline const std::wstring kPlaylists = kFolder + L"\\Playlists";
inline const std::wstring kAlbumFolder = L"C:\\Music\\Artist\\Album";
inline const std::wstring kToc = L"5+96+27DF+4A10+6C33+8E21+B0F5";

// Works for media items, playlists and playlist arrays alike.
template <typename Object>
std::wstring Text(Object& object, const std::wstring& attribute) {
  std::wstring value = L"<failed>";
  object.GetItemInfo(attribute, &value);
  return value;
}

template <typename List>
long CountOf(List& list) {
  long count = -1;
  list.Count(&count);
  return count;
}

inline std::vector<std::wstring> Names(wmp::IPlaylist& playlist) {
  std::vector<std::wstring> names;
  for (long i = 0; i < CountOf(playlist); ++i) {
    wmp::MediaPtr item;
    std::wstring name = L"<failed>";
    if (wmp::Succeeded(playlist.Item(i, &item))) item->Name(&name);
    names.push_back(name);
  }
  return names;
}

template <typename Object, typename Other>
bool Identical(Object& a, Other* b) {
  bool identical = false;
  EXPECT_EQ(a.IsIdentical(b, &identical), wmp::kOk);
  return identical;
}

class LibraryTest : public testing::Test {
 protected:
  LibraryTest() { files.AddDrive(L'C'); }

  // A library over `fs`, loaded; the report lands in `report`.
  std::unique_ptr<mediaengine::MediaLibrary> OpenLibrary(os::IFileSystem& fs) {
    auto opened = std::make_unique<mediaengine::MediaLibrary>(
        fs, kFolder, [this](const std::wstring& path, mediaengine::AsfInfo* info) {
          ++tagReads;
          auto it = tags.find(path);
          if (it == tags.end()) return false;
          *info = it->second;
          return true;
        });
    report = opened->Load();
    return opened;
  }

  void Open() {
    library = OpenLibrary(files);
    media = library->MediaCollection();
    playlists = library->PlaylistCollection();
  }

  // Closes the library (writing what is pending) and opens it again from disk.
  void Reopen() {
    media.reset();
    playlists.reset();
    library.reset();
    Open();
  }

  static std::wstring TrackFile(int track) {
    return kAlbumFolder + L"\\" + (track < 10 ? L"0" : L"") + std::to_wstring(track) +
           L" Track.wma";
  }

  // A track of the test disc as the rip enters it; its file exists.
  wmp::MediaPtr Rip(int track, const std::wstring& album = L"Album",
                    const std::wstring& toc = kToc) {
    mediaengine::RippedTrack ripped;
    ripped.url = TrackFile(track);
    ripped.title = L"Track " + std::to_wstring(track);
    ripped.artist = L"Artist";
    ripped.albumTitle = album;
    ripped.albumArtist = L"Album Artist";
    ripped.genre = L"Pop";
    ripped.trackNumber = track;
    ripped.toc = toc;
    ripped.durationSeconds = 200.25 + track;
    ripped.bitrate = 64000;
    ripped.fileSize = 1000u + static_cast<unsigned>(track);
    files.AddFile(ripped.url, std::string(ripped.fileSize, 'a'));
    wmp::MediaPtr item;
    EXPECT_EQ(library->AddRipped(ripped, &item), wmp::kOk);
    return item;
  }

  fakes::FakeFileSystem files;
  std::map<std::wstring, mediaengine::AsfInfo> tags;
  int tagReads = 0;
  mediaengine::LoadReport report;
  std::unique_ptr<mediaengine::MediaLibrary> library;
  wmp::MediaCollectionPtr media;
  wmp::PlaylistCollectionPtr playlists;
};

}  // namespace library_test
