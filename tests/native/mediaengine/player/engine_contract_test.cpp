// What the tool relies on from the engine object model, run against our
// engine (over the in-memory ports, with a disc image in D: and a player in
// F:) and against the fake engine the tool's tests drive: both must meet the
// same expectations, or the tool's tests prove nothing about the engine.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/attributes.h"
#include "engine/model/attribute_names.h"
#include "native/mediaengine/library/engine_library_fixture.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_drives.h"
#include "fakes/fake_engine.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_system.h"
#include "mediaengine/player/player.h"
#include "os/reg_key.h"

namespace {

namespace attr = wmp::attr;
using engine::MediaRef;
using engine::PlaylistRef;
using engine::RipProgressMode;
using engine::SyncDeviceRef;
using fakes::FakeMedia;

const std::wstring kAlbum = L"マリンバの午後";
const std::wstring kArtist = L"木琴合奏団";
const std::vector<std::wstring> kTitles = {L"朝の歌", L"AC/DC: Live?"};
// 75 and 113 sectors of 1/75 s.
const double kSeconds[] = {1.0, 113.0 / 75.0};

// One engine with the disc in its drive and a player connected.
struct Subject {
  std::shared_ptr<void> keep;  // what the engine runs over; goes last
  std::shared_ptr<wmp::IPlayer> player;
  std::function<void()> rip;  // rips the whole disc into the library
  std::wstring deviceName;    // the friendly name of the connected player
};

// ---------------------------------------------------------------- our engine

std::string DiscBin() {
  std::string bin((75 + 113) * 2352, '\0');
  for (std::size_t i = 0; i < bin.size(); i += 2) {
    const auto sample = static_cast<std::int16_t>(8000 * std::sin(0.0627 * static_cast<double>(i)));
    bin[i] = static_cast<char>(sample & 0xFF);
    bin[i + 1] = static_cast<char>((sample >> 8) & 0xFF);
  }
  return bin;
}

struct EngineWorld {
  fakes::FakeFileSystem files;
  fakes::FakeDrives drives;
  fakes::FakeRegistry registry;
  fakes::FakeSystem system;
  fakes::FakeClock clock;
  std::shared_ptr<mediaengine::Player> player;
  ~EngineWorld() {
    if (player) player->Close();
    player.reset();
  }
};

Subject OurEngine() {
  auto world = std::make_shared<EngineWorld>();
  world->files.AddDrive(L'C');
  world->files.AddDrive(L'D');
  world->files.AddDrive(L'F', 256ULL << 20);
  world->files.AddFile(L"D:\\disc.cue",
                       "PERFORMER \"木琴合奏団\"\nTITLE \"マリンバの午後\"\n"
                       "FILE \"disc.bin\" BINARY\n"
                       "  TRACK 01 AUDIO\n    TITLE \"朝の歌\"\n    INDEX 01 00:00:00\n"
                       "  TRACK 02 AUDIO\n    TITLE \"AC/DC: Live?\"\n    INDEX 01 00:01:00\n");
  world->files.AddFile(L"D:\\disc.bin", DiscBin());
  world->files.AddFile(L"F:\\PLAYER.INF",
                       "Maker=Orbit\r\nModel=Cadenza Digital Audio Player\r\nSerial=ORB-0001\r\n");
  world->files.AddFile(L"F:\\SETTINGS.DAT", "settings");
  world->drives.AddDrive(L'C', os::DriveType::Fixed);
  world->drives.AddDrive(L'D', os::DriveType::CdRom, L"MUSIC");
  world->drives.AddDrive(L'F', os::DriveType::Removable, L"CADENZA");
  world->system.SetMusicFolder(L"C:\\Music");
  os::RegKey key = os::RegKey::Create(world->registry, os::Hive::CurrentUser,
                                      L"Software\\Microsoft\\MediaPlayer\\Preferences",
                                      os::KeyAccess::Write);
  key.SetString(L"CDRecordPath", L"C:\\Rips");
  mediaengine::EngineConfig config{world->files, world->drives, world->registry, world->system,
                                   world->clock, L"C:\\Library", 11, nullptr};
  std::shared_ptr<mediaengine::Player> player = world->player = mediaengine::Player::Create(config);
  auto rip = [player] {
    wmp::CdromCollectionPtr drives;
    wmp::CdromPtr drive;
    ASSERT_EQ(player->CdromCollection(&drives), wmp::kOk);
    ASSERT_EQ(drives->Item(0, &drive), wmp::kOk);
    wmp::CdromRipPtr ripper = drive->Rip();
    ASSERT_EQ(ripper->StartRip(), wmp::kOk);
    long state = 1;
    for (int i = 0; i < 2000 && state == 1; ++i) {
      player->DrainEvents();
      ripper->RipState(&state);
      if (state == 1) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    player->DrainEvents();
    ASSERT_EQ(state, static_cast<long>(wmp::RipState::Stopped));
  };
  return {world, player, rip, L"Cadenza Digital Audio Player (F:)"};
}

// ---------------------------------------------------------------- the fake

Subject FakeEngine() {
  auto player = std::make_shared<fakes::FakePlayer>();
  auto disc = fakes::MakeDisc(kAlbum, {{kTitles[0], kArtist, kSeconds[0]},
                                       {kTitles[1], kArtist, kSeconds[1]}});
  player->Drives().AddDrive(L"D:", disc);
  player->Devices().AddDevice(L"ORBIT Audio (F:)", L"ORBIT Digital Audio", L"ORB-0001");
  auto rip = [player, disc] { player->Library().AddRippedDisc(*disc); };
  return {nullptr, player, rip, L"ORBIT Audio (F:)"};
}

// ---------------------------------------------------------------- helpers

template <typename Object>
std::wstring Text(Object& object, const std::wstring& attribute) {
  std::wstring value = L"<failed>";
  EXPECT_EQ(object.GetItemInfo(attribute, &value), wmp::kOk) << attribute;
  return value;
}

// A list's count (-1 when it cannot be read) and its items' names.
using library_test::CountOf;
using library_test::Names;

class EngineContract : public testing::TestWithParam<Subject (*)()> {
 protected:
  void SetUp() override { subject_ = GetParam()(); }

  wmp::PlaylistPtr Disc() {
    wmp::CdromCollectionPtr drives;
    wmp::CdromPtr drive;
    wmp::PlaylistPtr disc;
    EXPECT_EQ(Player().CdromCollection(&drives), wmp::kOk);
    EXPECT_EQ(CountOf(*drives), 1);
    EXPECT_EQ(drives->Item(0, &drive), wmp::kOk);
    std::wstring letter;
    drive->DriveSpecifier(&letter);
    EXPECT_EQ(letter, L"D:");
    EXPECT_EQ(drive->Playlist(&disc), wmp::kOk);
    return disc;
  }
  wmp::MediaPtr Item(wmp::IPlaylist& playlist, long index) {
    wmp::MediaPtr item;
    EXPECT_EQ(playlist.Item(index, &item), wmp::kOk);
    return item;
  }
  wmp::MediaCollectionPtr Library() {
    wmp::MediaCollectionPtr library;
    EXPECT_EQ(Player().MediaCollection(&library), wmp::kOk);
    return library;
  }
  wmp::PlaylistCollectionPtr Playlists() {
    wmp::PlaylistCollectionPtr playlists;
    EXPECT_EQ(Player().PlaylistCollection(&playlists), wmp::kOk);
    return playlists;
  }
  wmp::PlaylistPtr ByAttribute(const std::wstring& name, const std::wstring& value) {
    wmp::PlaylistPtr found;
    EXPECT_EQ(Library()->GetByAttribute(name, value, &found), wmp::kOk);
    return found;
  }
  wmp::PlaylistPtr ByAlbum(const std::wstring& album) {
    wmp::PlaylistPtr found;
    EXPECT_EQ(Library()->GetByAlbum(album, &found), wmp::kOk);
    return found;
  }
  wmp::IPlayer& Player() { return *subject_.player; }

  Subject subject_;
};

// The attributes of the second track, on the disc and once ripped.
struct Expected {
  const wchar_t* attribute;
  std::wstring value;
};
const Expected kTrackTwo[] = {
    {attr::kTitle, kTitles[1]},  {attr::kName, kTitles[1]},       {attr::kAuthor, kArtist},
    {attr::kArtist, kArtist},    {attr::kAlbumArtist, kArtist},   {attr::kAlbumTitle, kAlbum},
    {attr::kAlbum, kAlbum},      {attr::kTrackNumber, L"2"},
    {attr::kMediaType, wmp::kMediaTypeAudio}, {L"NoSuchAttribute", L""},
};

TEST_P(EngineContract, TheDiscIsAPlaylistOfItsTracks) {
  wmp::PlaylistPtr disc = Disc();
  std::wstring name, duration;
  disc->Name(&name);
  EXPECT_EQ(name, kAlbum);
  EXPECT_NE(Text(*disc, attr::kToc), L"");
  EXPECT_EQ(Names(*disc), kTitles);
  wmp::MediaPtr second = Item(*disc, 1);
  for (const Expected& e : kTrackTwo) EXPECT_EQ(Text(*second, e.attribute), e.value) << e.attribute;
  ASSERT_EQ(second->DurationString(&duration), wmp::kOk);
  EXPECT_EQ(duration, L"00:01");
  bool identical = false;
  EXPECT_EQ(Item(*disc, 1)->IsIdentical(second.get(), &identical), wmp::kOk);
  EXPECT_TRUE(identical) << "fresh objects of one track";
  EXPECT_EQ(Item(*disc, 0)->IsIdentical(second.get(), &identical), wmp::kOk);
  EXPECT_FALSE(identical);
}

TEST_P(EngineContract, EditsOfADiscTrackMeetUnderEverySpelling) {
  wmp::MediaPtr first = Item(*Disc(), 0);
  ASSERT_EQ(first->SetItemInfo(attr::kArtist, L"Band"), wmp::kOk);
  ASSERT_EQ(first->SetName(L"Renamed"), wmp::kOk);
  wmp::MediaPtr again = Item(*Disc(), 0);
  EXPECT_EQ(Text(*again, attr::kAuthor), L"Band");
  EXPECT_EQ(Text(*again, attr::kTitle), L"Renamed");
  EXPECT_EQ(Text(*Item(*Disc(), 1), attr::kAuthor), kArtist) << "the other track keeps its own";
}

TEST_P(EngineContract, RippedTracksAreFoundByAlbumAndByAttribute) {
  subject_.rip();
  wmp::PlaylistPtr album = ByAlbum(kAlbum);
  EXPECT_EQ(Names(*album), kTitles);
  wmp::MediaPtr second = Item(*album, 1);
  for (const Expected& e : kTrackTwo) EXPECT_EQ(Text(*second, e.attribute), e.value) << e.attribute;
  EXPECT_EQ(Text(*second, attr::kFileType), L"wma");
  EXPECT_EQ(Text(*second, attr::kToc), Text(*Disc(), attr::kToc));
  EXPECT_EQ(CountOf(*ByAttribute(attr::kToc, Text(*Disc(), attr::kToc))), 2);
  EXPECT_EQ(Names(*ByAttribute(attr::kTrackNumber, L"2")), std::vector<std::wstring>{kTitles[1]});
  EXPECT_EQ(CountOf(*ByAlbum(L"Another album")), 0);

  // An answer is a snapshot of items that are the library's own.
  ASSERT_EQ(album->RemoveItem(Item(*album, 0).get()), wmp::kOk);
  EXPECT_EQ(CountOf(*album), 1);
  EXPECT_EQ(CountOf(*ByAlbum(kAlbum)), 2) << "editing the answer leaves the library alone";
  ASSERT_EQ(second->SetItemInfo(attr::kAlbum, L"Renamed"), wmp::kOk);
  EXPECT_EQ(Names(*ByAlbum(L"Renamed")), std::vector<std::wstring>{kTitles[1]});
  EXPECT_EQ(Text(*second, attr::kAlbumTitle), L"Renamed");
}

TEST_P(EngineContract, SavedPlaylistsAreLibraryItemsWithSyncMarks) {
  wmp::PlaylistPtr created;
  ASSERT_EQ(Playlists()->NewPlaylist(L"Temp00", &created), wmp::kOk);
  wmp::PlaylistPtr marked = ByAttribute(attr::kMediaType, wmp::kMediaTypePlaylist);
  ASSERT_EQ(Names(*marked), std::vector<std::wstring>{L"Temp00"});
  wmp::MediaPtr item = Item(*marked, 0);
  EXPECT_EQ(item->SetItemInfo(wmp::SyncAttribute(3), L"1"), wmp::kOk);
  EXPECT_EQ(Text(*created, wmp::SyncAttribute(3)), L"1");

  wmp::PlaylistArrayPtr named;
  ASSERT_EQ(Playlists()->GetByName(L"Temp00", &named), wmp::kOk);
  ASSERT_EQ(CountOf(*named), 1);
  wmp::PlaylistPtr again;
  ASSERT_EQ(named->Item(0, &again), wmp::kOk);
  bool identical = false;
  EXPECT_EQ(again->IsIdentical(created.get(), &identical), wmp::kOk);
  EXPECT_TRUE(identical);
  EXPECT_EQ(Text(*again, wmp::SyncAttribute(3)), L"1");
  EXPECT_EQ(Playlists()->Remove(again.get()), wmp::kOk);
  EXPECT_EQ(CountOf(*ByAttribute(attr::kMediaType, wmp::kMediaTypePlaylist)), 0);
}

TEST_P(EngineContract, TheConnectedPlayerIsListed) {
  wmp::SyncServicesPtr services;
  ASSERT_EQ(Player().SyncServices(&services), wmp::kOk);
  long count = 0;
  ASSERT_EQ(services->DeviceCount(&count), wmp::kOk);
  ASSERT_EQ(count, 1);
  wmp::SyncDevicePtr device;
  ASSERT_EQ(services->GetDevice(0, &device), wmp::kOk);
  std::wstring name;
  EXPECT_EQ(device->FriendlyName(&name), wmp::kOk);
  EXPECT_EQ(name, subject_.deviceName);
  EXPECT_EQ(Text(*device, attr::kSerialNumber), L"ORB-0001");
  long partnership = -1;
  EXPECT_EQ(device->PartnershipIndex(&partnership), wmp::kOk);
  EXPECT_EQ(partnership, 0) << "no partnership yet";
  EXPECT_EQ(services->GetDevice(1, &device), wmp::kInvalidArg);
}

INSTANTIATE_TEST_SUITE_P(Subjects, EngineContract, testing::Values(&OurEngine, &FakeEngine),
                         [](const testing::TestParamInfo<Subject (*)()>& param) {
                           return param.index == 0 ? "OurEngine" : "FakeEngine";
                         });

// ---------------------------------------------------------------- the fake alone

// What the fake adds to the contract: its own view of the library.
TEST(FakeEngineTest, LibraryQueriesAreSnapshots) {
  fakes::FakeMediaCollection library;
  auto disc = fakes::MakeDisc(3);
  library.AddRippedDisc(*disc);

  wmp::PlaylistPtr byAlbum;
  ASSERT_EQ(library.GetByAlbum(L"Album", &byAlbum), wmp::kOk);
  const PlaylistRef found(byAlbum);
  MediaRef first;
  ASSERT_EQ(found.GetItem(0, &first), wmp::kOk);
  EXPECT_EQ(found.RemoveItem(first.Get()), wmp::kOk);
  EXPECT_EQ(library.Size(), 3u) << "editing the answer leaves the library alone";

  library.AddFile(L"C:\\Music\\x.wma");
  wmp::PlaylistPtr all;
  ASSERT_EQ(library.GetAll(&all), wmp::kOk);
  EXPECT_EQ(PlaylistRef(all).GetCount(), 4);
  EXPECT_EQ(found.GetCount(), 2) << "an earlier answer does not grow";
  EXPECT_EQ(first.SetAttribute(L"Album", L"Renamed"), wmp::kOk);
  EXPECT_EQ(library.Items()[0]->Attribute(L"WM/AlbumTitle"), L"Renamed");
}

TEST(FakeEngineTest, RippedItemsCarryTheDiscTags) {
  fakes::FakeMediaCollection library;
  auto disc = fakes::MakeDisc(L"Live", {{L"One", L"Band", 100}, {L"Two", L"Band", 200}});
  auto items = library.AddRippedDisc(*disc, {L"D:\\Rip", 64000, L"wma", -1});
  ASSERT_EQ(items.size(), 2u);
  const MediaRef second(items[1]);
  EXPECT_EQ(second.GetSourceUrl(), L"D:\\Rip\\Band\\Live\\02 Two.wma");
  EXPECT_EQ(second.GetTrackNumber(), 2);
  EXPECT_EQ(second.GetBitrateKbps(), 64);
  EXPECT_EQ(second.GetFileSize(), 200 * 64000 / 8);
  std::wstring toc;
  EXPECT_EQ(second.GetAttribute(L"TOC", &toc), wmp::kOk);
  EXPECT_EQ(toc, disc->Attribute(L"TOC"));

  wmp::PlaylistPtr byToc;
  ASSERT_EQ(library.GetByAttribute(L"TOC", toc, &byToc), wmp::kOk);
  EXPECT_EQ(PlaylistRef(byToc).GetCount(), 2);
  EXPECT_NE(fakes::MakeDisc(2)->Attribute(L"TOC"), fakes::MakeDisc(3)->Attribute(L"TOC"));
}

TEST(FakeEngineTest, RemoveDeletesTheFileOnlyWhenAsked) {
  fakes::FakeFileSystem files;
  files.AddDrive(L'C');
  files.AddFile(L"C:\\Music\\a.wma", "a");
  files.AddFile(L"C:\\Music\\b.wma", "b");
  fakes::FakeMediaCollection library(&files);
  auto a = library.AddFile(L"C:\\Music\\a.wma");
  auto b = library.AddFile(L"C:\\Music\\b.wma");

  EXPECT_EQ(library.Remove(a->Fresh().get(), false), wmp::kOk);
  EXPECT_NE(files.GetAttributes(L"C:\\Music\\a.wma"), os::kInvalidAttributes);
  EXPECT_EQ(library.Remove(b->Fresh().get(), true), wmp::kOk);
  EXPECT_EQ(files.GetAttributes(L"C:\\Music\\b.wma"), os::kInvalidAttributes);
  EXPECT_EQ(library.Size(), 0u);
  ASSERT_EQ(library.Removals().size(), 2u);
  EXPECT_FALSE(library.Removals()[0].deleteFile);
  EXPECT_TRUE(library.Removals()[1].deleteFile);
  EXPECT_EQ(library.Remove(a.get(), true), wmp::kInvalidArg) << "no longer in the library";
}

TEST(FakeEngineTest, SavedPlaylistsAreLibraryItems) {
  fakes::FakePlayer player;
  wmp::PlaylistPtr created;
  ASSERT_EQ(player.Playlists().NewPlaylist(L"Temp00", &created), wmp::kOk);
  wmp::PlaylistPtr marked;
  ASSERT_EQ(player.Library().GetByAttribute(L"MediaType", L"playlist", &marked), wmp::kOk);
  MediaRef item;
  ASSERT_EQ(PlaylistRef(marked).GetItem(0, &item), wmp::kOk);
  EXPECT_EQ(item.GetSourceUrl(), L"C:\\Music\\Playlists\\Temp00.wpl");
  EXPECT_EQ(item.SetAttribute(L"Sync03", L"1"), wmp::kOk);
  EXPECT_EQ(player.Playlists().FindByName(L"Temp00")->Attribute(L"Sync03"), L"1");
  EXPECT_EQ(player.Playlists().Remove(created.get()), wmp::kOk);
  EXPECT_EQ(player.Library().Size(), 0u);
  EXPECT_EQ(player.Playlists().Removed(), std::vector<std::wstring>{L"Temp00"});
}

class RecordingSink : public wmp::PlayerEventsBase {
 public:
  void CdromMediaChange(long index) override { events.push_back(L"cd " + std::to_wstring(index)); }
  void MediaChange(wmp::IMedia* item) override {
    std::wstring name;
    item->Name(&name);
    events.push_back(L"media " + name);
  }
  std::vector<std::wstring> events;
};

TEST(FakeEngineTest, EventsReachAdvisedSinksUntilUnadviseOrClose) {
  fakes::FakePlayer player;
  auto sink = std::make_shared<RecordingSink>();
  std::uint32_t cookie = 0;
  ASSERT_EQ(player.Advise(sink, &cookie), wmp::kOk);

  auto song = FakeMedia::Create(L"Song");
  player.RaiseMediaChange(song.get());
  player.RaiseCdromMediaChange(1);
  EXPECT_EQ(sink->events, (std::vector<std::wstring>{L"media Song", L"cd 1"}));

  EXPECT_EQ(player.Unadvise(cookie), wmp::kOk);
  EXPECT_EQ(player.Unadvise(cookie), fakes::kNoConnection);
  player.RaiseCdromMediaChange(2);
  EXPECT_EQ(sink->events.size(), 2u);

  ASSERT_EQ(player.Advise(sink, &cookie), wmp::kOk);
  EXPECT_EQ(player.Close(), wmp::kOk);
  player.RaiseCdromMediaChange(3);
  EXPECT_EQ(sink->events.size(), 2u) << "a closed engine raises nothing";
}

// Reads what a handler of the tool would read while the event lasts.
class RipAndPartnershipSink : public wmp::PlayerEventsBase {
 public:
  explicit RipAndPartnershipSink(fakes::FakePlaylistPtr disc) : disc_(std::move(disc)) {}
  void MediaChange(wmp::IMedia* item) override {
    const MediaRef media(MediaRef::Borrow(item));
    name = media.GetName();
    track = media.GetTrackNumber();
    percent = media.GetRipProgress(RipProgressMode::Status);
    MediaRef discItem;
    PlaylistRef(disc_->Fresh()).GetItem(track - 1, &discItem);
    isDiscItem = discItem.IsIdentical(item);
  }
  void CreatePartnershipComplete(wmp::ISyncDevice* device, wmp::HResult result) override {
    partnership = SyncDeviceRef(SyncDeviceRef::Borrow(device)).GetPartnershipIndex();
    completeResult = result;
  }
  std::wstring name;
  std::int32_t track = 0;
  std::int32_t percent = 0;
  bool isDiscItem = false;
  long partnership = 0;
  wmp::HResult completeResult = wmp::kFail;

 private:
  fakes::FakePlaylistPtr disc_;
};

TEST(FakeEngineTest, EngineStepsRaiseTheirEvents) {
  fakes::FakePlayer player;
  auto disc = fakes::MakeDisc(3);
  player.Drives().AddDrive(L"D:", disc);
  auto sink = std::make_shared<RipAndPartnershipSink>(disc);
  std::uint32_t cookie = 0;
  ASSERT_EQ(player.Advise(sink, &cookie), wmp::kOk);

  player.ReportRipProgress(*disc, 1, 45);
  EXPECT_EQ(sink->name, L"Track 02");
  EXPECT_EQ(sink->track, 2);
  EXPECT_EQ(sink->percent, 45);
  EXPECT_TRUE(sink->isDiscItem);

  auto device = player.Devices().AddDevice(L"ORBIT Audio", L"ORBIT Digital Audio", L"SN1");
  player.CompletePartnership(*device, 4);
  EXPECT_EQ(sink->partnership, 4);
  EXPECT_EQ(sink->completeResult, wmp::kOk);
  EXPECT_EQ(SyncDeviceRef(player.Devices().At(0)).GetStatus(),
            static_cast<long>(wmp::DeviceStatus::PartnershipExists));
}

TEST(FakeEngineTest, WritesAreRecordedUnderTheOneSpelling) {
  auto media = FakeMedia::Create(L"Song");
  ASSERT_EQ(media->SetItemInfo(L"Artist", L"Band"), wmp::kOk);
  ASSERT_EQ(media->SetItemInfo(L"Album", L"Live"), wmp::kOk);
  EXPECT_EQ(media->Attribute(L"Author"), L"Band");
  EXPECT_EQ(media->Attribute(L"WM/AlbumTitle"), L"Live");
  EXPECT_EQ(media->Attribute(L"Title"), L"Song");
  EXPECT_EQ(media->Writes().size(), 2u);
  EXPECT_EQ(media->Writes()[0].first, L"Author");
}

}  // namespace
