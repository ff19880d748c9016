#include "engine/attributes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "engine/model/placeholders.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_engine.h"
#include "fakes/fake_file_system.h"

namespace {

using engine::CdromCollectionRef;
using engine::CdromRef;
using engine::CdromRipRef;
using engine::MediaRef;
using engine::PlaylistRef;
using engine::RipProgressMode;
using engine::RipProgressReader;
using engine::SyncDeviceRef;
using engine::SyncServicesRef;
using fakes::FakeMedia;
using fakes::MediaOp;

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();

// ---------------------------------------------------------------- media item

struct NumberCase {
  const char* what;
  const wchar_t* attribute;
  const wchar_t* text;  // null: the attribute is missing
  std::int32_t (MediaRef::*read)() const;
  std::int32_t expected;
};

TEST(MediaRefTest, NumbersFromAttributeTexts) {
  const NumberCase cases[] = {
      {"128 kbit/s", L"Bitrate", L"128000", &MediaRef::GetBitrateKbps, 128},
      {"truncated below 1 kbit/s", L"Bitrate", L"999", &MediaRef::GetBitrateKbps, 0},
      {"64 kbit/s truncated", L"Bitrate", L"64999", &MediaRef::GetBitrateKbps, 64},
      {"zero rate", L"Bitrate", L"0", &MediaRef::GetBitrateKbps, -1},
      {"empty rate", L"Bitrate", L"", &MediaRef::GetBitrateKbps, -1},
      {"negative rate", L"Bitrate", L"-128000", &MediaRef::GetBitrateKbps, -1},
      {"rate beyond 64 bits", L"Bitrate", L"99999999999999999999999", &MediaRef::GetBitrateKbps,
       kInt32Max},
      {"empty file", L"FileSize", L"0", &MediaRef::GetFileSize, 0},
      {"size", L"FileSize", L"3145728", &MediaRef::GetFileSize, 3145728},
      {"missing size", L"FileSize", nullptr, &MediaRef::GetFileSize, -1},
      {"empty size", L"FileSize", L"", &MediaRef::GetFileSize, -1},
      {"negative size", L"FileSize", L"-1", &MediaRef::GetFileSize, -1},
      {"size without digits", L"FileSize", L"big", &MediaRef::GetFileSize, -1},
      {"size above 32 bits", L"FileSize", L"5000000000", &MediaRef::GetFileSize, kInt32Max},
      {"track", L"WM/TrackNumber", L"7", &MediaRef::GetTrackNumber, 7},
      {"track of a set", L"WM/TrackNumber", L"3/12", &MediaRef::GetTrackNumber, 3},
      {"track with blanks", L"WM/TrackNumber", L" 5", &MediaRef::GetTrackNumber, 5},
      {"track zero", L"WM/TrackNumber", L"0", &MediaRef::GetTrackNumber, -1},
      {"no track", L"WM/TrackNumber", nullptr, &MediaRef::GetTrackNumber, -1},
  };
  for (const NumberCase& c : cases) {
    SCOPED_TRACE(c.what);
    auto media = FakeMedia::Create(L"Song");
    if (c.text) media->Set(c.attribute, c.text);
    const MediaRef item(media);
    EXPECT_EQ((item.*c.read)(), c.expected);
  }
}

TEST(MediaRefTest, AFailedReadIsNotAvailable) {
  auto media = FakeMedia::Create(L"Song");
  media->Set(L"Bitrate", L"128000").Set(L"FileSize", L"100").Set(L"WM/TrackNumber", L"2");
  media->Set(L"FileType", L"wma").SetUrl(L"C:\\Music\\a.wma").SetSeconds(65);
  media->Script().Fail(MediaOp::GetItemInfo, wmp::kFail, fakes::kAlways);
  media->Script().Fail(MediaOp::Name, wmp::kFail, fakes::kAlways);
  media->Script().Fail(MediaOp::SourceUrl, wmp::kFail, fakes::kAlways);
  media->Script().Fail(MediaOp::DurationString, wmp::kFail, fakes::kAlways);
  const MediaRef item(media);

  EXPECT_EQ(item.GetBitrateKbps(), -1);
  EXPECT_EQ(item.GetFileSize(), -1) << "a failed read must not pass for an empty file";
  EXPECT_EQ(item.GetTrackNumber(), -1);
  EXPECT_EQ(item.GetFileType(), L"");
  EXPECT_EQ(item.GetName(), L"");
  EXPECT_EQ(item.GetSourceUrl(), L"");
  EXPECT_EQ(item.GetDurationText(), L"");
}

TEST(MediaRefTest, TextsAndRename) {
  auto media = FakeMedia::Create(L"Song", L"C:\\Music\\A\\B\\01 Song.wma");
  media->Set(L"FileType", L"wma").SetSeconds(245);
  const MediaRef item(media);
  EXPECT_EQ(item.GetName(), L"Song");
  EXPECT_EQ(item.GetSourceUrl(), L"C:\\Music\\A\\B\\01 Song.wma");
  EXPECT_EQ(item.GetFileType(), L"wma");
  EXPECT_EQ(item.GetDurationText(), L"04:05");

  EXPECT_TRUE(item.SetName(L"01 Song"));
  EXPECT_EQ(media->Title(), L"01 Song");
  media->Script().Fail(MediaOp::SetName);
  EXPECT_FALSE(item.SetName(L"Other"));
  EXPECT_EQ(media->Title(), L"01 Song");
}

TEST(MediaRefTest, IsIdenticalAsksTheEngine) {
  auto media = FakeMedia::Create(L"Song");
  const MediaRef item(media->Fresh());
  // Two objects of one item are distinct objects: only the engine can tell.
  EXPECT_TRUE(item.IsIdentical(media->Fresh().get()));
  EXPECT_FALSE(item.IsIdentical(FakeMedia::Create(L"Song").get()));
  EXPECT_FALSE(item.IsIdentical(nullptr));

  media->Script().Fail(MediaOp::IsIdentical);
  EXPECT_FALSE(item.IsIdentical(media.get())) << "a failed comparison is no match";
}

TEST(MediaRefTest, AttributeReadsAndWrites) {
  auto media = FakeMedia::Create(L"Song");
  const MediaRef item(media);
  std::wstring value = L"stale";
  EXPECT_EQ(item.GetAttribute(L"", &value), wmp::kFail);
  EXPECT_EQ(value, L"");
  EXPECT_EQ(media->Script().Calls(MediaOp::GetItemInfo), 0) << "an empty name is never asked";

  EXPECT_EQ(item.SetAttribute(L"Artist", L"Band"), wmp::kOk);
  EXPECT_EQ(item.GetAttribute(L"Artist", &value), wmp::kOk);
  EXPECT_EQ(value, L"Band");

  media->FailRead(L"Artist", wmp::kAccessDenied);
  value = L"stale";
  EXPECT_EQ(item.GetAttribute(L"Artist", &value), wmp::kAccessDenied);
  EXPECT_EQ(value, L"");
}

// ---------------------------------------------------------------- rip progress

struct ProgressCase {
  const wchar_t* status;
  std::int32_t expected;
};

TEST(RipProgressReaderTest, StatusText) {
  const ProgressCase cases[] = {
      {L"Ripping (7%)", 7},
      {L"Ripping (45%)", 45},
      {L"Ripping (100%)", 100},
      {L"Ripping(7%)", 7},
      {L"Ripping ( 12 %)", 12},
      // The second search starts at the first token's length: inside "Ripping".
      {L" Ripping (7%)", 0},
      {L"Ripping", 0},
      {L"Ripping (%)", 0},
      {L"Ripping (abc%)", 0},
      {L"(((", 0},
      {L"", -2},
  };
  for (const ProgressCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << "status of " << c.status);
    auto media = FakeMedia::Create(L"Song");
    media->Set(L"Status", c.status).Set(L"RipProgress", L"99");
    EXPECT_EQ(RipProgressReader(media.get(), RipProgressMode::Status), c.expected);
    EXPECT_EQ(MediaRef(media).GetRipProgress(RipProgressMode::Status), c.expected);
  }
}

TEST(RipProgressReaderTest, RipProgressNumber) {
  const ProgressCase cases[] = {{L"45", 45}, {L"0", 0}, {L"", -2}, {L"x", 0}, {L"100", 100}};
  for (const ProgressCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << "progress of " << c.status);
    auto media = FakeMedia::Create(L"Song");
    media->Set(L"RipProgress", c.status).Set(L"Status", L"Ripping (7%)");
    EXPECT_EQ(RipProgressReader(media.get(), RipProgressMode::RipProgress), c.expected);
  }
}

TEST(RipProgressReaderTest, UnreadableInBothModes) {
  for (RipProgressMode mode : {RipProgressMode::Status, RipProgressMode::RipProgress}) {
    auto media = FakeMedia::Create(L"Song");
    media->Set(L"Status", L"Ripping (7%)").Set(L"RipProgress", L"7");
    media->FailRead(mode == RipProgressMode::Status ? L"Status" : L"RipProgress");
    EXPECT_EQ(RipProgressReader(media.get(), mode), -1);
    EXPECT_EQ(RipProgressReader(media.get(), mode), 7) << "the failure was scripted once";
    EXPECT_EQ(RipProgressReader(nullptr, mode), -1);
  }
}

// ---------------------------------------------------------------- null references

TEST(NullReferenceTest, EveryWrapperAnswersItsNotAvailableValue) {
  auto other = FakeMedia::Create(L"Song");
  const MediaRef media;
  EXPECT_FALSE(media);
  EXPECT_EQ(media.GetTrackNumber(), -1);
  EXPECT_EQ(media.GetFileSize(), -1);
  EXPECT_EQ(media.GetBitrateKbps(), -1);
  EXPECT_EQ(media.GetFileType(), L"");
  EXPECT_EQ(media.GetDurationText(), L"");
  EXPECT_EQ(media.GetName(), L"");
  EXPECT_FALSE(media.SetName(L"x"));
  EXPECT_EQ(media.GetSourceUrl(), L"");
  EXPECT_FALSE(media.IsIdentical(other.get()));
  EXPECT_EQ(media.GetRipProgress(RipProgressMode::Status), -1);
  std::wstring text;
  EXPECT_EQ(media.GetAttribute(L"Title", &text), wmp::kFail);
  EXPECT_EQ(media.SetAttribute(L"Title", L"x"), wmp::kFail);
  double seconds = 1;
  EXPECT_EQ(media.GetDuration(&seconds), wmp::kFail);

  const PlaylistRef playlist;
  MediaRef item(other);
  EXPECT_EQ(playlist.GetCount(), 0);
  EXPECT_EQ(playlist.GetItem(0, &item), wmp::kFail);
  EXPECT_FALSE(item) << "the out reference is released";
  EXPECT_EQ(playlist.AppendItem(other.get()), wmp::kFail);
  EXPECT_EQ(playlist.RemoveItem(other.get()), wmp::kFail);
  EXPECT_EQ(playlist.GetAttribute(L"TOC", &text), wmp::kFail);
  EXPECT_EQ(playlist.GetName(), L"");
  EXPECT_FALSE(playlist.SetName(L"x"));
  EXPECT_FALSE(playlist.IsIdentical(fakes::MakeDisc(1).get()));
  // Nothing reached the other item either.
  EXPECT_EQ(other->Script().Calls(MediaOp::IsIdentical), 0);

  const CdromRef drive;
  PlaylistRef disc;
  CdromRipRef rip;
  EXPECT_EQ(drive.GetDriveSpecifier(), L"");
  EXPECT_EQ(drive.GetPlaylist(&disc), wmp::kFail);
  EXPECT_EQ(drive.Eject(), wmp::kFail);
  EXPECT_EQ(drive.GetRip(&rip), wmp::kFail);
  EXPECT_EQ(rip.StartRip(), wmp::kFail);
  EXPECT_EQ(rip.StopRip(), wmp::kFail);
  EXPECT_EQ(rip.GetRipState(), -1);
  EXPECT_EQ(rip.GetRipProgress(), -1);

  const CdromCollectionRef drives;
  EXPECT_EQ(drives.GetCount(), 0);
  EXPECT_EQ(drives.GetDriveIndex(L"E:"), -1);
  EXPECT_EQ(drives.GetRipInterface(0, &rip), wmp::kFail);

  fakes::FakeClock clock;
  auto device = fakes::FakeSyncDevice::Create(L"ORBIT Audio", L"ORBIT Audio");
  const SyncDeviceRef none;
  long percent = 5;
  EXPECT_FALSE(none.IsSameDevice(device.get()));
  EXPECT_FALSE(none.IsConnected());
  EXPECT_EQ(none.GetPartnershipIndex(), -1);
  EXPECT_FALSE(none.CreatePartnership());
  EXPECT_FALSE(none.Start());
  EXPECT_FALSE(none.GetProgress(&percent));
  EXPECT_EQ(percent, 0);
  EXPECT_EQ(none.GetStatus(), 0);
  EXPECT_EQ(none.GetSyncState(), 0);
  EXPECT_FALSE(none.DeletePartnership(clock));
  EXPECT_FALSE(none.StopSync());
  EXPECT_EQ(none.GetFriendlyName(), L"");
  EXPECT_EQ(none.GetDeviceName(), L"");
  EXPECT_EQ(none.GetDeviceId(), L"");
  EXPECT_EQ(none.GetSerialNumber(), L"");
  EXPECT_EQ(none.GetFreeSpace(), 0);
  EXPECT_EQ(none.GetTotalSpace(), 0);
  EXPECT_TRUE(clock.Waits().empty());
  EXPECT_EQ(device->Calls(fakes::SyncDeviceOp::IsIdentical), 0);

  const SyncServicesRef services;
  SyncDeviceRef found;
  EXPECT_EQ(services.GetDeviceCount(), 0);
  EXPECT_EQ(services.GetDevice(0, &found), wmp::kFail);
}

// ---------------------------------------------------------------- playlist

TEST(PlaylistRefTest, ItemFollowsTheEngineAndRefusesNegativeIndexes) {
  auto disc = fakes::MakeDisc(3);
  const PlaylistRef playlist(disc->Fresh());
  MediaRef item;

  EXPECT_EQ(playlist.GetItem(-1, &item), wmp::kFail);
  EXPECT_EQ(disc->Script().Calls(fakes::PlaylistOp::Item), 0) << "a negative index is never asked";

  ASSERT_EQ(playlist.GetItem(2, &item), wmp::kOk);
  EXPECT_TRUE(item.IsIdentical(disc->At(2).get()));
  EXPECT_EQ(item.GetTrackNumber(), 3);

  EXPECT_EQ(playlist.GetItem(3, &item), wmp::kInvalidArg) << "the engine's own result";
  EXPECT_FALSE(item) << "a failed fetch leaves no stale item";

  // An engine that succeeds without an item.
  disc->Script().Fail(fakes::PlaylistOp::Item, wmp::kOk);
  EXPECT_EQ(playlist.GetItem(0, &item), wmp::kFail);
  EXPECT_FALSE(item);
}

TEST(PlaylistRefTest, CountNameAndAttributes) {
  auto disc = fakes::MakeDisc(L"Live", {{L"One", L"Band", 60}, {L"Two", L"Band", 61}},
                              L"2+96+1248+2400");
  const PlaylistRef playlist(disc);
  EXPECT_EQ(playlist.GetCount(), 2);
  EXPECT_EQ(playlist.GetName(), L"Live");
  std::wstring toc;
  EXPECT_EQ(playlist.GetAttribute(L"TOC", &toc), wmp::kOk);
  EXPECT_EQ(toc, L"2+96+1248+2400");
  EXPECT_EQ(playlist.GetAttribute(L"", &toc), wmp::kFail);
  EXPECT_EQ(toc, L"");
  EXPECT_EQ(disc->Script().Calls(fakes::PlaylistOp::GetItemInfo), 1);

  EXPECT_TRUE(playlist.SetName(L"Live 2"));
  EXPECT_EQ(disc->Title(), L"Live 2");

  disc->Script().Fail(fakes::PlaylistOp::Count);
  disc->Script().Fail(fakes::PlaylistOp::Name);
  disc->Script().Fail(fakes::PlaylistOp::GetItemInfo, wmp::kAccessDenied);
  EXPECT_EQ(playlist.GetCount(), 0);
  EXPECT_EQ(playlist.GetName(), L"");
  EXPECT_EQ(playlist.GetAttribute(L"TOC", &toc), wmp::kAccessDenied);
}

TEST(PlaylistRefTest, AppendAndRemoveReturnTheEngineResult) {
  auto library = fakes::FakePlaylist::Create(L"Temp00");
  auto song = FakeMedia::Create(L"Song");
  const PlaylistRef playlist(library);
  EXPECT_EQ(playlist.AppendItem(song->Fresh().get()), wmp::kOk);
  ASSERT_EQ(library->Size(), 1u);
  EXPECT_TRUE(library->At(0)->SameItemAs(*song));

  library->Script().Fail(fakes::PlaylistOp::RemoveItem, wmp::kFail, 1);
  EXPECT_EQ(playlist.RemoveItem(song.get()), wmp::kFail);
  EXPECT_EQ(library->Size(), 1u);
  EXPECT_EQ(playlist.RemoveItem(song.get()), wmp::kOk) << "the failure was scripted once";
  EXPECT_EQ(library->Size(), 0u);
  EXPECT_EQ(playlist.RemoveItem(song.get()), wmp::kInvalidArg);
}

TEST(PlaylistRefTest, IsIdenticalAcrossFreshObjects) {
  auto disc = fakes::MakeDisc(2);
  const PlaylistRef first(disc->Fresh());
  const PlaylistRef second(disc->Fresh());
  EXPECT_NE(first.Get(), second.Get());
  EXPECT_TRUE(first.IsIdentical(second));
  EXPECT_FALSE(first.IsIdentical(fakes::MakeDisc(2).get()));
}

// Records what its owner holds at the moment it is destroyed.
class ReleaseProbe : public fakes::FakePlaylist {
 public:
  ReleaseProbe(std::shared_ptr<fakes::PlaylistState> state, const PlaylistRef* owner,
               const void** heldAtRelease)
      : FakePlaylist(std::move(state)), owner_(owner), heldAtRelease_(heldAtRelease) {}
  ~ReleaseProbe() override { *heldAtRelease_ = owner_->Get(); }

 private:
  const PlaylistRef* owner_;
  const void** heldAtRelease_;
};

TEST(PlaylistRefTest, ReplacingReleasesTheOldReferenceFirst) {
  auto disc = fakes::MakeDisc(1);
  PlaylistRef playlist;
  const void* held = disc.get();
  playlist.Reset(std::make_shared<ReleaseProbe>(disc->State(), &playlist, &held));
  playlist.Reset(disc->Fresh());
  EXPECT_EQ(held, nullptr) << "the new reference was stored before the old one went";
  EXPECT_EQ(playlist.GetCount(), 1);

  held = disc.get();
  playlist.Reset(std::make_shared<ReleaseProbe>(disc->State(), &playlist, &held));
  playlist = PlaylistRef(disc->Fresh());
  EXPECT_EQ(held, nullptr);
  EXPECT_EQ(playlist.GetCount(), 1);
}

// ---------------------------------------------------------------- CD drives

TEST(CdromCollectionRefTest, TakenFromThePlayerOnlyWhenPresent) {
  fakes::FakePlayer player;
  player.Drives().AddDrive(L"E:");
  CdromCollectionRef drives;
  EXPECT_TRUE(drives.TakeFromPlayer(&player));
  EXPECT_EQ(drives.GetCount(), 1);

  player.Script().Fail(fakes::PlayerOp::CdromCollection);
  EXPECT_FALSE(drives.TakeFromPlayer(&player));
  EXPECT_FALSE(drives) << "the old collection is released even when no new one comes";

  player.DropCdromCollection();
  EXPECT_FALSE(drives.TakeFromPlayer(&player));
  EXPECT_FALSE(drives.TakeFromPlayer(nullptr));
}

TEST(CdromCollectionRefTest, DriveIndexByExactSpecifier) {
  fakes::FakePlayer player;
  auto d = player.Drives().AddDrive(L"D:");
  player.Drives().AddDrive(L"E:");
  player.Drives().AddDrive(L"F:");
  CdromCollectionRef drives;
  ASSERT_TRUE(drives.TakeFromPlayer(&player));

  struct Case {
    const wchar_t* drive;
    std::int32_t expected;
  };
  const Case cases[] = {{L"D:", 0}, {L"E:", 1}, {L"F:", 2}, {L"G:", -1},
                        {L"e:", -1}, {L"E", -1}, {L"E:\\", -1}, {L"", -1}};
  for (const Case& c : cases) {
    EXPECT_EQ(drives.GetDriveIndex(c.drive), c.expected) << "drive " << c.drive;
  }

  // A drive that cannot tell its letter is passed over, not matched.
  d->Script().Fail(fakes::CdromOp::DriveSpecifier, wmp::kFail, fakes::kAlways);
  EXPECT_EQ(drives.GetDriveIndex(L"D:"), -1);
  EXPECT_EQ(drives.GetDriveIndex(L"F:"), 2);
  player.Drives().Script().Fail(fakes::CdromCollectionOp::Count);
  EXPECT_EQ(drives.GetDriveIndex(L"F:"), -1);
}

TEST(CdromCollectionRefTest, RipInterfaceOfADrive) {
  fakes::FakePlayer player;
  auto ripping = player.Drives().AddDrive(L"D:", fakes::MakeDisc(2));
  auto plain = player.Drives().AddDrive(L"E:");
  plain->SetRipFace(nullptr);
  CdromCollectionRef drives;
  ASSERT_TRUE(drives.TakeFromPlayer(&player));

  CdromRipRef rip;
  ASSERT_EQ(drives.GetRipInterface(0, &rip), wmp::kOk);
  EXPECT_EQ(rip.StartRip(), wmp::kOk);
  EXPECT_EQ(ripping->RipFace()->Starts(), 1);
  EXPECT_EQ(rip.GetRipState(), static_cast<long>(wmp::RipState::Ripping));
  ripping->RipFace()->SetProgress(40);
  EXPECT_EQ(rip.GetRipProgress(), 40);

  EXPECT_EQ(drives.GetRipInterface(1, &rip), wmp::kFail);
  EXPECT_FALSE(rip);
  EXPECT_EQ(drives.GetRipInterface(-1, &rip), wmp::kFail);
  EXPECT_EQ(drives.GetRipInterface(2, &rip), wmp::kInvalidArg);
}

TEST(CdromRefTest, PlaylistAndEject) {
  fakes::FakePlayer player;
  auto cdrom = player.Drives().AddDrive(L"D:", fakes::MakeDisc(L"Live", {{L"One", L"Band", 60}}));
  CdromCollectionRef drives;
  ASSERT_TRUE(drives.TakeFromPlayer(&player));
  CdromRef drive;
  ASSERT_EQ(drives.GetItem(0, &drive), wmp::kOk);
  EXPECT_EQ(drive.GetDriveSpecifier(), L"D:");

  PlaylistRef disc;
  ASSERT_EQ(drive.GetPlaylist(&disc), wmp::kOk);
  EXPECT_EQ(disc.GetName(), L"Live");
  EXPECT_EQ(drive.Eject(), wmp::kOk);
  EXPECT_EQ(cdrom->Ejects(), 1);
  ASSERT_EQ(drive.GetPlaylist(&disc), wmp::kOk);
  EXPECT_EQ(disc.GetName(), wmp::kNoDiscPlaylistName);
  EXPECT_EQ(disc.GetCount(), 0);

  cdrom->Script().Fail(fakes::CdromOp::Playlist, wmp::kOk);
  EXPECT_EQ(drive.GetPlaylist(&disc), wmp::kFail) << "success without a playlist";
  EXPECT_FALSE(disc);
}

// ---------------------------------------------------------------- sync devices

TEST(SyncDeviceRefTest, SpacesAreWhole64BitCounts) {
  struct Case {
    const char* what;
    const wchar_t* text;  // null: missing
    std::int64_t expected;
  };
  const Case cases[] = {
      {"above 4 GB", L"64000000000", 64'000'000'000},
      {"just above 32 bits", L"4294967296", 4'294'967'296},
      {"empty device", L"0", 0},
      {"missing", nullptr, 0},
      {"not a number", L"unknown", 0},
      {"negative", L"-4096", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto device = fakes::FakeSyncDevice::Create(L"ORBIT Audio", L"ORBIT Audio", L"SN1");
    if (c.text) device->SetInfo(L"TotalSpace", c.text).SetInfo(L"FreeSpace", c.text);
    const SyncDeviceRef ref(device);
    EXPECT_EQ(ref.GetTotalSpace(), c.expected);
    EXPECT_EQ(ref.GetFreeSpace(), c.expected);
  }

  auto device = fakes::FakeSyncDevice::Create(L"ORBIT Audio", L"ORBIT Audio", L"SN1");
  device->SetSpace(5'000'000'000, 8'000'000'000);
  device->Script().Fail(fakes::SyncDeviceOp::GetItemInfo);
  const SyncDeviceRef ref(device);
  EXPECT_EQ(ref.GetFreeSpace(), 0) << "a failed read";
  EXPECT_EQ(ref.GetTotalSpace(), 8'000'000'000);
  EXPECT_EQ(ref.GetSerialNumber(), L"SN1");
}

TEST(SyncDeviceRefTest, PropertiesAndTheirFailures) {
  auto device = fakes::FakeSyncDevice::Create(L"ORBIT Audio - Internal Storage",
                                              L"ORBIT Digital Audio", L"SN7");
  device->SetDeviceId(L"{id}").SetPartnership(3).SetProgress(40);
  const SyncDeviceRef ref(device->Fresh());
  EXPECT_EQ(ref.GetFriendlyName(), L"ORBIT Audio - Internal Storage");
  EXPECT_EQ(ref.GetDeviceName(), L"ORBIT Digital Audio");
  EXPECT_EQ(ref.GetDeviceId(), L"{id}");
  EXPECT_TRUE(ref.IsConnected());
  EXPECT_EQ(ref.GetPartnershipIndex(), 3);
  EXPECT_EQ(ref.GetStatus(), static_cast<long>(wmp::DeviceStatus::PartnershipExists));
  long percent = 0;
  EXPECT_TRUE(ref.GetProgress(&percent));
  EXPECT_EQ(percent, 40);
  EXPECT_TRUE(ref.IsSameDevice(device->Fresh().get()));
  EXPECT_FALSE(ref.IsSameDevice(fakes::FakeSyncDevice::Create(L"x", L"y").get()));

  using Op = fakes::SyncDeviceOp;
  for (Op op : {Op::Connected, Op::PartnershipIndex, Op::Status, Op::SyncState, Op::Progress,
                Op::FriendlyName, Op::CreatePartnership, Op::Start}) {
    device->Script().Fail(op);
  }
  EXPECT_FALSE(ref.IsConnected());
  EXPECT_EQ(ref.GetPartnershipIndex(), -1);
  EXPECT_EQ(ref.GetStatus(), 0);
  EXPECT_EQ(ref.GetSyncState(), 0);
  EXPECT_FALSE(ref.GetProgress(&percent));
  EXPECT_EQ(percent, 0);
  EXPECT_EQ(ref.GetFriendlyName(), L"");
  EXPECT_FALSE(ref.CreatePartnership());
  EXPECT_FALSE(ref.Start());
}

TEST(SyncDeviceRefTest, DeletePartnershipRetriesTenTimes) {
  struct Case {
    const char* what;
    int failures;
    bool deleted;
    int calls;
  };
  const Case cases[] = {
      {"first call", 0, true, 1},
      {"third retry", 3, true, 4},
      {"last retry", 10, true, 11},
      {"never", 11, false, 11},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fakes::FakeClock clock;
    auto device = fakes::FakeSyncDevice::Create(L"ORBIT Audio", L"ORBIT Audio");
    device->SetPartnership(2);
    if (c.failures > 0) {
      device->Script().Fail(fakes::SyncDeviceOp::DeletePartnership, wmp::kFail, c.failures);
    }
    EXPECT_EQ(SyncDeviceRef(device).DeletePartnership(clock), c.deleted);
    EXPECT_EQ(device->Calls(fakes::SyncDeviceOp::DeletePartnership), c.calls);
    const std::vector<std::uint32_t> waits(static_cast<std::size_t>(c.calls - 1), 100);
    EXPECT_EQ(clock.Waits(), waits);
    EXPECT_EQ(device->State().partnershipIndex, c.deleted ? 0 : 2);
  }
}

TEST(SyncDeviceRefTest, DeclinedPartnershipNeedsNoDeletion) {
  fakes::FakeClock clock;
  auto device = fakes::FakeSyncDevice::Create(L"ORBIT Audio", L"ORBIT Audio");
  device->SetStatus(wmp::DeviceStatus::PartnershipDeclined);
  EXPECT_TRUE(SyncDeviceRef(device).DeletePartnership(clock));
  EXPECT_EQ(device->Calls(fakes::SyncDeviceOp::DeletePartnership), 0);
}

TEST(SyncDeviceRefTest, StopSyncOnlyStopsARunningSync) {
  auto device = fakes::FakeSyncDevice::Create(L"ORBIT Audio", L"ORBIT Audio");
  const SyncDeviceRef ref(device);
  device->SetSyncState(wmp::SyncState::Stopped);
  EXPECT_TRUE(ref.StopSync());
  EXPECT_EQ(device->Calls(fakes::SyncDeviceOp::Stop), 0);

  device->SetSyncState(wmp::SyncState::Synchronizing);
  EXPECT_TRUE(ref.StopSync());
  EXPECT_EQ(device->Calls(fakes::SyncDeviceOp::Stop), 1);

  device->SetSyncState(wmp::SyncState::Synchronizing);
  device->Script().Fail(fakes::SyncDeviceOp::Stop);
  EXPECT_FALSE(ref.StopSync());

  // A state that cannot be read is not "stopped".
  device->Script().Fail(fakes::SyncDeviceOp::SyncState);
  EXPECT_TRUE(ref.StopSync());
  EXPECT_EQ(device->Calls(fakes::SyncDeviceOp::Stop), 3);
}

TEST(SyncServicesRefTest, DevicesByPosition) {
  fakes::FakePlayer player;
  auto first = player.Devices().AddDevice(L"ORBIT Audio - Internal Storage", L"ORBIT Audio");
  player.Devices().AddDevice(L"ORBIT Audio - External Storage", L"ORBIT Audio");
  SyncServicesRef services;
  ASSERT_TRUE(services.TakeFromPlayer(&player));
  EXPECT_EQ(services.GetDeviceCount(), 2);

  SyncDeviceRef device;
  ASSERT_EQ(services.GetDevice(0, &device), wmp::kOk);
  EXPECT_TRUE(device.IsSameDevice(first.get()));
  EXPECT_EQ(services.GetDevice(-1, &device), wmp::kFail);
  EXPECT_FALSE(device);
  EXPECT_EQ(services.GetDevice(2, &device), wmp::kInvalidArg);

  auto& script = player.Devices().Script();
  script.Fail(fakes::SyncServicesOp::GetDevice, wmp::kOk);
  EXPECT_EQ(services.GetDevice(1, &device), wmp::kFail) << "success without a device";
  script.Fail(fakes::SyncServicesOp::DeviceCount);
  EXPECT_EQ(services.GetDeviceCount(), 0);
  EXPECT_EQ(script.Calls(fakes::SyncServicesOp::GetDevice), 3) << "index -1 is never asked";

  player.DropSyncServices();
  EXPECT_FALSE(services.TakeFromPlayer(&player));
  EXPECT_FALSE(services);
}

}  // namespace
