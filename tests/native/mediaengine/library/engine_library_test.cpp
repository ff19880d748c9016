// The library as the tool uses it: queries, snapshots, adding and removing
// files, saved playlists with their Sync marks, identity and events.
#include <gtest/gtest.h>

#include "native/mediaengine/library/engine_library_fixture.h"

namespace library_test {
namespace {

// A media object of the player that is not a library item, such as newMedia gives.
class FileOnlyMedia : public wmp::IMedia {
 public:
  explicit FileOnlyMedia(std::wstring url) : url_(std::move(url)) {}
  wmp::HResult Name(std::wstring*) override { return wmp::kNotImplemented; }
  wmp::HResult SetName(const std::wstring&) override { return wmp::kNotImplemented; }
  wmp::HResult SourceUrl(std::wstring* url) override {
    *url = url_;
    return wmp::kOk;
  }
  wmp::HResult Duration(double*) override { return wmp::kNotImplemented; }
  wmp::HResult DurationString(std::wstring*) override { return wmp::kNotImplemented; }
  wmp::HResult GetItemInfo(const std::wstring&, std::wstring*) override {
    return wmp::kNotImplemented;
  }
  wmp::HResult SetItemInfo(const std::wstring&, const std::wstring&) override {
    return wmp::kNotImplemented;
  }
  wmp::HResult IsIdentical(wmp::IMedia*, bool*) override { return wmp::kNotImplemented; }

 private:
  std::wstring url_;
};

class LibraryQueries : public LibraryTest {
 protected:
  void SetUp() override {
    Open();
    for (int track = 1; track <= 3; ++track) Rip(track);
    Rip(4, L"Other Album", L"2+96+1000+2000");
    Rip(5, L"album");  // differs only in case
  }
};

TEST_F(LibraryQueries, AttributeMatchIsExactAndKeepsLibraryOrder) {
  wmp::PlaylistPtr found;
  ASSERT_EQ(media->GetByAttribute(L"TOC", kToc, &found), wmp::kOk);
  EXPECT_EQ(Names(*found), (std::vector<std::wstring>{L"Track 1", L"Track 2", L"Track 3", L"Track 5"}));

  ASSERT_EQ(media->GetByAttribute(L"TOC", L"5+96+27df+4a10+6c33+8e21+b0f5", &found), wmp::kOk);
  EXPECT_EQ(CountOf(*found), 0) << "case-sensitive";
  ASSERT_EQ(media->GetByAttribute(L"Title", L"Track", &found), wmp::kOk);
  EXPECT_EQ(CountOf(*found), 0) << "no prefix match";
  ASSERT_EQ(media->GetByAttribute(L"WM/TrackNumber", L"4", &found), wmp::kOk);
  EXPECT_EQ(Names(*found), std::vector<std::wstring>{L"Track 4"});
}

TEST_F(LibraryQueries, AlbumAndNameLookups) {
  wmp::PlaylistPtr found;
  ASSERT_EQ(media->GetByAlbum(L"Album", &found), wmp::kOk);
  EXPECT_EQ(Names(*found), (std::vector<std::wstring>{L"Track 1", L"Track 2", L"Track 3"}));
  ASSERT_EQ(media->GetByAlbum(L"album", &found), wmp::kOk);
  EXPECT_EQ(Names(*found), std::vector<std::wstring>{L"Track 5"});
  ASSERT_EQ(media->GetByName(L"Track 4", &found), wmp::kOk);
  ASSERT_EQ(CountOf(*found), 1);
  wmp::MediaPtr item;
  ASSERT_EQ(found->Item(0, &item), wmp::kOk);
  EXPECT_EQ(Text(*item, L"Album"), L"Other Album");
  ASSERT_EQ(media->GetAll(&found), wmp::kOk);
  EXPECT_EQ(CountOf(*found), 5);
}

TEST_F(LibraryQueries, RippedTrackCarriesEveryAttributeTheToolReads) {
  wmp::PlaylistPtr found;
  ASSERT_EQ(media->GetByName(L"Track 2", &found), wmp::kOk);
  wmp::MediaPtr item;
  ASSERT_EQ(found->Item(0, &item), wmp::kOk);
  EXPECT_EQ(Text(*item, L"Artist"), L"Artist");
  EXPECT_EQ(Text(*item, L"Album"), L"Album");
  EXPECT_EQ(Text(*item, L"WM/AlbumArtist"), L"Album Artist");
  EXPECT_EQ(Text(*item, L"WM/TrackNumber"), L"2");
  EXPECT_EQ(Text(*item, L"Bitrate"), L"64000");
  EXPECT_EQ(Text(*item, L"FileSize"), L"1002");
  EXPECT_EQ(Text(*item, L"FileType"), L"wma");
  EXPECT_EQ(Text(*item, L"MediaType"), L"audio");
  EXPECT_EQ(Text(*item, L"SourceURL"), TrackFile(2));
  EXPECT_EQ(Text(*item, L"Duration"), L"202.25");
  EXPECT_EQ(Text(*item, L"Status"), L"") << "missing attribute reads empty";
  std::wstring duration;
  ASSERT_EQ(item->DurationString(&duration), wmp::kOk);
  EXPECT_EQ(duration, L"03:22") << "whole seconds of 202.25";
}

TEST_F(LibraryQueries, AliasesWriteOneAttributeAndComputedOnesAreReadOnly) {
  wmp::PlaylistPtr found;
  ASSERT_EQ(media->GetByName(L"Track 1", &found), wmp::kOk);
  wmp::MediaPtr item;
  ASSERT_EQ(found->Item(0, &item), wmp::kOk);

  ASSERT_EQ(item->SetItemInfo(L"Artist", L"新しいアーティスト"), wmp::kOk);
  EXPECT_EQ(Text(*item, L"Author"), L"新しいアーティスト");
  ASSERT_EQ(item->SetItemInfo(L"WM/AlbumTitle", L"AC-DC- Live"), wmp::kOk);
  EXPECT_EQ(Text(*item, L"Album"), L"AC-DC- Live");
  ASSERT_EQ(item->SetName(L"01 Track 1"), wmp::kOk);
  EXPECT_EQ(Text(*item, L"Title"), L"01 Track 1");

  EXPECT_EQ(item->SetItemInfo(L"SourceURL", L"C:\\elsewhere.wma"), wmp::kAccessDenied);
  EXPECT_EQ(item->SetItemInfo(L"MediaType", L"playlist"), wmp::kAccessDenied);
  EXPECT_EQ(item->SetItemInfo(L"FileSize", L"0"), wmp::kAccessDenied);
  EXPECT_EQ(Text(*item, L"SourceURL"), TrackFile(1));
  EXPECT_EQ(Text(*item, L"FileSize"), L"1001");
  EXPECT_EQ(item->GetItemInfo(L"", nullptr), wmp::kPointer);
}

TEST_F(LibraryQueries, SnapshotEditsNeverTouchTheLibrary) {
  wmp::PlaylistPtr disc;
  ASSERT_EQ(media->GetByAttribute(L"TOC", kToc, &disc), wmp::kOk);
  // As the tool drops unchecked tracks from the disc's library playlist.
  for (long n = CountOf(*disc) - 1; n >= 0; --n) {
    wmp::MediaPtr item;
    ASSERT_EQ(disc->Item(n, &item), wmp::kOk);
    if (Text(*item, L"WM/TrackNumber") == L"2") {
      ASSERT_EQ(disc->RemoveItem(item.get()), wmp::kOk);
    }
  }
  ASSERT_EQ(disc->MoveItem(0, 2), wmp::kOk);
  ASSERT_EQ(disc->SetName(L"edited"), wmp::kOk);
  EXPECT_EQ(Names(*disc), (std::vector<std::wstring>{L"Track 3", L"Track 5", L"Track 1"}));

  wmp::PlaylistPtr again;
  ASSERT_EQ(media->GetByAttribute(L"TOC", kToc, &again), wmp::kOk);
  EXPECT_EQ(Names(*again), (std::vector<std::wstring>{L"Track 1", L"Track 2", L"Track 3", L"Track 5"}));
  ASSERT_EQ(media->GetAll(&again), wmp::kOk);
  EXPECT_EQ(CountOf(*again), 5);
  EXPECT_EQ(disc->MoveItem(0, 3), wmp::kInvalidArg);
}

TEST_F(LibraryQueries, FreshWrappersOfOneItemAreIdentical) {
  wmp::PlaylistPtr byName, all;
  ASSERT_EQ(media->GetByName(L"Track 3", &byName), wmp::kOk);
  ASSERT_EQ(media->GetAll(&all), wmp::kOk);
  wmp::MediaPtr a, b, other, added;
  ASSERT_EQ(byName->Item(0, &a), wmp::kOk);
  ASSERT_EQ(all->Item(2, &b), wmp::kOk);
  ASSERT_EQ(all->Item(0, &other), wmp::kOk);
  ASSERT_EQ(media->Add(TrackFile(3), &added), wmp::kOk);
  EXPECT_NE(a.get(), b.get());
  EXPECT_TRUE(Identical(*a, b.get()));
  EXPECT_TRUE(Identical(*added, a.get()));
  EXPECT_FALSE(Identical(*a, other.get()));
  EXPECT_FALSE(Identical(*a, static_cast<wmp::IMedia*>(nullptr)));

  // Another library whose first item has the same id is still another item.
  fakes::FakeFileSystem otherFiles;
  otherFiles.AddDrive(L'C');
  auto second = OpenLibrary(otherFiles);
  otherFiles.AddFile(TrackFile(1), "x");
  wmp::MediaPtr foreign;
  ASSERT_EQ(second->MediaCollection()->Add(TrackFile(1), &foreign), wmp::kOk);
  EXPECT_FALSE(Identical(*other, foreign.get()));
  EXPECT_EQ(media->Remove(foreign.get(), false), wmp::kOk)
      << "an item of another library is found by its file";
  EXPECT_EQ(CountOf(*all), 5) << "the snapshot still lists it";
  EXPECT_EQ(Text(*other, L"Title"), L"<failed>") << "the item is gone from the library";
}

TEST_F(LibraryTest, AddingOneFileTwiceGivesOneItem) {
  Open();
  const std::wstring url = L"C:\\Music\\a.wma";
  files.AddFile(url, std::string(5000, 'x'));
  mediaengine::AsfInfo info;
  info.tags.title = L"春の歌";
  info.tags.author = L"歌手";
  info.tags.albumTitle = L"季節";
  info.tags.trackNumber = L"7";
  info.durationSeconds = 61.5;
  info.bitrate = 128000;
  info.fileSize = 5000;
  tags[url] = info;

  wmp::MediaPtr first, second;
  ASSERT_EQ(media->Add(url, &first), wmp::kOk);
  ASSERT_EQ(first->SetItemInfo(L"TOC", kToc), wmp::kOk);
  ASSERT_EQ(media->Add(L"c:\\music\\A.WMA", &second), wmp::kOk);
  EXPECT_TRUE(Identical(*first, second.get())) << "paths meet whatever their case";
  EXPECT_EQ(Text(*second, L"TOC"), kToc) << "adding again keeps what the library knows";
  EXPECT_EQ(tagReads, 1);
  wmp::PlaylistPtr all;
  ASSERT_EQ(media->GetAll(&all), wmp::kOk);
  EXPECT_EQ(CountOf(*all), 1);

  // What the tool reads of a file it added to check a rip.
  EXPECT_EQ(Text(*first, L"Title"), L"春の歌");
  EXPECT_EQ(Text(*first, L"Artist"), L"歌手");
  EXPECT_EQ(Text(*first, L"Album"), L"季節");
  EXPECT_EQ(Text(*first, L"WM/TrackNumber"), L"7");
  EXPECT_EQ(Text(*first, L"Bitrate"), L"128000");
  EXPECT_EQ(Text(*first, L"FileType"), L"wma");
}

TEST_F(LibraryTest, AddingFilesTheTagsCannotDescribe) {
  Open();
  files.AddFile(L"C:\\Music\\broken.wma", "not asf");
  files.AddFile(L"C:\\Music\\song.mp3", "123");
  wmp::MediaPtr broken, mp3, missing;
  ASSERT_EQ(media->Add(L"C:\\Music\\broken.wma", &broken), wmp::kOk);
  EXPECT_EQ(Text(*broken, L"Title"), L"broken") << "named after its file";
  EXPECT_EQ(Text(*broken, L"FileSize"), L"7");
  ASSERT_EQ(media->Add(L"C:\\Music\\song.mp3", &mp3), wmp::kOk);
  EXPECT_EQ(Text(*mp3, L"FileType"), L"mp3");
  EXPECT_EQ(tagReads, 1) << "only .wma files go to the ASF reader";

  EXPECT_EQ(media->Add(L"C:\\Music\\gone.wma", &missing), wmp::kFileNotFound);
  EXPECT_EQ(media->Add(L"C:\\Music", &missing), wmp::kInvalidArg);
  wmp::PlaylistPtr all;
  ASSERT_EQ(media->GetAll(&all), wmp::kOk);
  EXPECT_EQ(CountOf(*all), 2);
}

TEST_F(LibraryTest, RemoveWithAndWithoutTheFile) {
  Open();
  wmp::MediaPtr kept = Rip(1), deleted = Rip(2), vanished = Rip(3), locked = Rip(4);
  wmp::PlaylistPtr list;
  ASSERT_EQ(playlists->NewPlaylist(L"Mix", &list), wmp::kOk);
  ASSERT_EQ(list->AppendItem(deleted.get()), wmp::kOk);
  ASSERT_EQ(list->AppendItem(kept.get()), wmp::kOk);

  ASSERT_EQ(media->Remove(kept.get(), false), wmp::kOk);
  EXPECT_TRUE(files.Exists(TrackFile(1)));
  ASSERT_EQ(media->Remove(deleted.get(), true), wmp::kOk);
  EXPECT_FALSE(files.Exists(TrackFile(2)));
  ASSERT_EQ(files.Delete(TrackFile(3)), os::kSuccess);
  EXPECT_EQ(media->Remove(vanished.get(), true), wmp::kOk) << "a missing file is no error";

  // A file that cannot be deleted keeps its item: library and disk agree.
  files.AddFile(TrackFile(4), "data", os::kAttributeReadOnly);
  EXPECT_EQ(media->Remove(locked.get(), true), wmp::kAccessDenied);
  EXPECT_EQ(Text(*locked, L"Title"), L"Track 4");

  wmp::PlaylistPtr all;
  ASSERT_EQ(media->GetAll(&all), wmp::kOk);
  EXPECT_EQ(Names(*all), (std::vector<std::wstring>{L"Track 4", L"Mix"}));
  EXPECT_EQ(CountOf(*list), 0) << "removed items leave the saved playlists too";
  EXPECT_EQ(media->Remove(kept.get(), false), wmp::kInvalidArg) << "already removed";
}

class SavedPlaylists : public LibraryTest {
 protected:
  void SetUp() override {
    Open();
    for (int track = 1; track <= 3; ++track) tracks.push_back(Rip(track));
  }
  std::vector<wmp::MediaPtr> tracks;
};

TEST_F(SavedPlaylists, ArePlaylistItemsWithSyncMarksSharedWithTheirItem) {
  wmp::PlaylistPtr temp;
  ASSERT_EQ(playlists->NewPlaylist(L"Temp00", &temp), wmp::kOk);
  for (int p = 1; p <= 16; ++p) EXPECT_EQ(Text(*temp, wmp::SyncAttribute(p)), L"0");
  EXPECT_EQ(Text(*temp, L"SyncOnly"), L"0");
  EXPECT_EQ(Text(*temp, L"SourceURL"), kPlaylists + L"\\Temp00.wpl");
  EXPECT_TRUE(files.Exists(kPlaylists + L"\\Temp00.wpl"));

  // The tool marks the playlist through its library item.
  wmp::PlaylistPtr items;
  ASSERT_EQ(media->GetByAttribute(L"MediaType", L"playlist", &items), wmp::kOk);
  ASSERT_EQ(CountOf(*items), 1);
  wmp::MediaPtr item;
  ASSERT_EQ(items->Item(0, &item), wmp::kOk);
  EXPECT_EQ(Text(*item, L"Title"), L"Temp00");
  ASSERT_EQ(item->SetItemInfo(L"Sync07", L"1"), wmp::kOk);
  ASSERT_EQ(item->SetItemInfo(L"SyncOnly", L"1"), wmp::kOk);
  EXPECT_EQ(Text(*temp, L"Sync07"), L"1");
  ASSERT_EQ(temp->SetItemInfo(L"Sync03", L"1"), wmp::kOk);
  EXPECT_EQ(Text(*item, L"Sync03"), L"1");

  // The sync engine finds it again and resolves it to its tracks.
  for (const wmp::MediaPtr& track : tracks) ASSERT_EQ(temp->AppendItem(track.get()), wmp::kOk);
  wmp::PlaylistPtr marked;
  ASSERT_EQ(media->GetByAttribute(L"Sync07", L"1", &marked), wmp::kOk);
  ASSERT_EQ(CountOf(*marked), 1);
  ASSERT_EQ(marked->Item(0, &item), wmp::kOk);
  wmp::PlaylistPtr resolved = library->PlaylistOfItem(item.get());
  ASSERT_TRUE(resolved);
  EXPECT_TRUE(Identical(*resolved, temp.get()));
  EXPECT_EQ(Names(*resolved), (std::vector<std::wstring>{L"Track 1", L"Track 2", L"Track 3"}));
  EXPECT_EQ(library->PlaylistOfItem(tracks[0].get()), nullptr);
  const auto viaHelper = library->PlaylistsWhere(wmp::SyncAttribute(7), L"1");
  ASSERT_EQ(viaHelper.size(), 1u);
  EXPECT_TRUE(Identical(*viaHelper[0], temp.get()));
  EXPECT_TRUE(library->PlaylistsWhere(wmp::SyncAttribute(8), L"1").empty());
  wmp::MediaPtr back = library->ItemOfPlaylist(temp.get());
  ASSERT_TRUE(back);
  EXPECT_TRUE(Identical(*back, item.get()));
}

TEST_F(SavedPlaylists, AreFoundByNameAndRemovedWithTheirFileAndItem) {
  wmp::PlaylistPtr best, best01;
  ASSERT_EQ(playlists->NewPlaylist(L"Best", &best), wmp::kOk);
  ASSERT_EQ(playlists->NewPlaylist(L"Best01", &best01), wmp::kOk);
  wmp::PlaylistArrayPtr found;
  ASSERT_EQ(playlists->GetByName(L"Best", &found), wmp::kOk);
  ASSERT_EQ(CountOf(*found), 1);
  wmp::PlaylistPtr again;
  ASSERT_EQ(found->Item(0, &again), wmp::kOk);
  EXPECT_TRUE(Identical(*again, best.get()));
  EXPECT_FALSE(Identical(*again, best01.get()));
  ASSERT_EQ(playlists->GetByName(L"best", &found), wmp::kOk);
  EXPECT_EQ(CountOf(*found), 0);
  ASSERT_EQ(playlists->GetAll(&found), wmp::kOk);
  EXPECT_EQ(CountOf(*found), 2) << "tracks are not playlists";

  const std::wstring file = Text(*best, L"SourceURL");
  ASSERT_EQ(best->AppendItem(tracks[0].get()), wmp::kOk);
  ASSERT_EQ(playlists->Remove(best.get()), wmp::kOk);
  EXPECT_FALSE(files.Exists(file));
  ASSERT_EQ(playlists->GetByName(L"Best", &found), wmp::kOk);
  EXPECT_EQ(CountOf(*found), 0);
  wmp::PlaylistPtr items;
  ASSERT_EQ(media->GetByAttribute(L"MediaType", L"playlist", &items), wmp::kOk);
  EXPECT_EQ(Names(*items), std::vector<std::wstring>{L"Best01"});
  EXPECT_EQ(Text(*tracks[0], L"Title"), L"Track 1") << "its tracks stay in the library";
  EXPECT_EQ(playlists->Remove(best.get()), wmp::kInvalidArg);

  wmp::PlaylistPtr snapshot;
  ASSERT_EQ(media->GetAll(&snapshot), wmp::kOk);
  EXPECT_EQ(playlists->Remove(snapshot.get()), wmp::kInvalidArg) << "a query is no saved playlist";
}

TEST_F(SavedPlaylists, SameNameGetsItsOwnFileAndRenameMovesTheFile) {
  wmp::PlaylistPtr first, second;
  files.AddFile(kPlaylists + L"\\Stray.wpl", "left by someone");
  ASSERT_EQ(playlists->NewPlaylist(L"Stray", &first), wmp::kOk);
  ASSERT_EQ(playlists->NewPlaylist(L"Stray", &second), wmp::kOk);
  EXPECT_EQ(Text(*first, L"SourceURL"), kPlaylists + L"\\Stray (2).wpl");
  EXPECT_EQ(Text(*second, L"SourceURL"), kPlaylists + L"\\Stray (3).wpl");
  EXPECT_EQ(files.Content(kPlaylists + L"\\Stray.wpl"), "left by someone");

  ASSERT_EQ(second->SetName(L"A/B: C?"), wmp::kOk);
  EXPECT_EQ(Text(*second, L"SourceURL"), kPlaylists + L"\\A_B_ C_.wpl");
  EXPECT_TRUE(files.Exists(kPlaylists + L"\\A_B_ C_.wpl"));
  EXPECT_FALSE(files.Exists(kPlaylists + L"\\Stray (3).wpl"));
  std::wstring name;
  ASSERT_EQ(second->Name(&name), wmp::kOk);
  EXPECT_EQ(name, L"A/B: C?");
}

TEST_F(SavedPlaylists, EditsAreCheckedAndKeptInOrder) {
  wmp::PlaylistPtr list;
  ASSERT_EQ(playlists->NewPlaylist(L"Order", &list), wmp::kOk);
  for (const wmp::MediaPtr& track : tracks) ASSERT_EQ(list->AppendItem(track.get()), wmp::kOk);
  ASSERT_EQ(list->MoveItem(2, 0), wmp::kOk);
  EXPECT_EQ(Names(*list), (std::vector<std::wstring>{L"Track 3", L"Track 1", L"Track 2"}));
  ASSERT_EQ(list->RemoveItem(tracks[0].get()), wmp::kOk);
  EXPECT_EQ(Names(*list), (std::vector<std::wstring>{L"Track 3", L"Track 2"}));
  EXPECT_EQ(list->RemoveItem(tracks[0].get()), wmp::kInvalidArg);
  EXPECT_EQ(list->MoveItem(0, 2), wmp::kInvalidArg);
  EXPECT_EQ(list->MoveItem(-1, 0), wmp::kInvalidArg);

  wmp::MediaPtr self = library->ItemOfPlaylist(list.get());
  EXPECT_EQ(list->AppendItem(self.get()), wmp::kInvalidArg) << "no playlist inside a playlist";
  EXPECT_EQ(playlists->NewPlaylist(L"", &list), wmp::kInvalidArg);

  // A file from outside the library joins it on the way into the playlist.
  files.AddFile(L"C:\\Music\\extra.wma", "x");
  FileOnlyMedia outside(L"C:\\Music\\extra.wma");
  ASSERT_EQ(list->AppendItem(&outside), wmp::kOk);
  EXPECT_EQ(Names(*list), (std::vector<std::wstring>{L"Track 3", L"Track 2", L"extra"}));
  FileOnlyMedia nowhere(L"C:\\Music\\nowhere.wma");
  EXPECT_EQ(list->AppendItem(&nowhere), wmp::kFileNotFound);
  EXPECT_EQ(CountOf(*list), 3);
}

class LibraryEventsTest : public LibraryTest {
 protected:
  void SetUp() override {
    Open();
    mediaengine::LibraryEvents hooks;
    hooks.mediaCollectionChange = [this] { log.push_back(L"collection"); };
    hooks.mediaChange = [this](const wmp::MediaPtr& item) {
      std::wstring name;
      item->Name(&name);
      log.push_back(L"media " + name);
    };
    hooks.playlistCollectionChange = [this] { log.push_back(L"playlists"); };
    hooks.playlistChange = [this](const wmp::PlaylistPtr& playlist, long change) {
      std::wstring name;
      playlist->Name(&name);
      log.push_back(L"playlist " + name + L" " + std::to_wstring(change));
    };
    library->SetEvents(hooks);
  }
  std::vector<std::wstring> log;
};

TEST_F(LibraryEventsTest, EachChangeIsAnnouncedOnce) {
  wmp::MediaPtr track = Rip(1);
  wmp::PlaylistPtr list;
  ASSERT_EQ(playlists->NewPlaylist(L"List", &list), wmp::kOk);
  ASSERT_EQ(list->AppendItem(track.get()), wmp::kOk);
  ASSERT_EQ(list->SetName(L"Renamed"), wmp::kOk);
  ASSERT_EQ(track->SetItemInfo(L"Artist", L"X"), wmp::kOk);
  ASSERT_EQ(track->SetItemInfo(L"Artist", L"X"), wmp::kOk);  // no change, no event
  ASSERT_EQ(media->Remove(track.get(), false), wmp::kOk);
  EXPECT_EQ(log, (std::vector<std::wstring>{
                     L"collection",
                     L"playlists", L"collection",
                     L"playlist List 6",
                     L"media Renamed", L"playlist Renamed 8", L"playlists",
                     L"media Track 1",
                     L"playlist Renamed 4", L"collection",
                 }));
}

TEST_F(LibraryEventsTest, BatchWritesAndAnnouncesOnceAtItsEnd) {
  Rip(1);
  log.clear();
  const std::string before = files.Content(kLibraryFile);
  {
    auto batch = library->BeginBatch();
    Rip(2);
    Rip(3);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(files.Content(kLibraryFile), before) << "nothing written inside the batch";
  }
  EXPECT_EQ(log, std::vector<std::wstring>{L"collection"});
  EXPECT_NE(files.Content(kLibraryFile), before);
  Reopen();
  wmp::PlaylistPtr all;
  ASSERT_EQ(media->GetAll(&all), wmp::kOk);
  EXPECT_EQ(CountOf(*all), 3);
}

}  // namespace
}  // namespace library_test
