// The control's events reaching the main window as its messages: through
// the IWMPEvents2 connection point or the dispatch one, decoded while they
// are valid; those the control raises from inside one of the tool's calls
// arrive only once the message loop runs again, in the order raised, and
// never inside another handler.
#include <windows.h>
// A 16-bit leftover macro of winbase.h that would hide SyncDeviceRef::GetFreeSpace.
#undef GetFreeSpace

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/attributes.h"
#include "engine/win32/com_player.h"
#include "fake_control.h"
#include "recorder.h"

namespace {

using engine::win32::ComPlayer;
using engine::win32::ComPtr;
using Seen = std::vector<std::wstring>;

class ComEventsTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    fake::g_live = 0;
    // The parameter: whether the control offers IWMPEvents2 (else only
    // the dispatch interface _WMPOCXEvents).
    control_ = fake::Make<fake::Player>(GetParam());
    fake::Player& control = *control_.Get();
    ComPtr<fake::Cdrom> drive = fake::Make<fake::Cdrom>(control, L"D:");
    drive->disc = fake::Make<fake::Playlist>(L"Marimba Demo");
    for (int t = 1; t <= 2; ++t) {
      ComPtr<fake::Media> track = fake::Make<fake::Media>(L"Track " + std::to_wstring(t), L"");
      track->info[L"WM/TrackNumber"] = std::to_wstring(t);
      drive->disc->Add(track.Get());
    }
    control.cdroms->drives.push_back(std::move(drive));
    control.devices.push_back(fake::Make<fake::SyncDevice>(control, L"Orbit"));

    player_ = std::make_shared<ComPlayer>(ComPtr<IWMPPlayer4>::Share(control_.Get()));
    ASSERT_EQ(player_->Advise(recorder_.Sink(), &cookie_), wmp::kOk);
    ASSERT_EQ(control.SinkCount(), 1u);
  }

  void TearDown() override {
    player_.reset();
    EXPECT_EQ(Control().SinkCount(), 0u) << "the player unadvises what is left";
    control_.Reset();
    EXPECT_EQ(fake::g_live, 0) << "every reference on the control's objects is let go";
  }

  fake::Player& Control() { return *control_.Get(); }
  fake::SyncDevice& Device() { return *Control().devices.front().Get(); }

  engine::SyncDeviceRef TakeDevice() {
    engine::SyncServicesRef services;
    EXPECT_TRUE(services.TakeFromPlayer(player_.get()));
    engine::SyncDeviceRef device;
    EXPECT_EQ(services.GetDevice(0, &device), wmp::kOk);
    return device;
  }

  test::Recorder recorder_;
  ComPtr<fake::Player> control_;
  std::shared_ptr<ComPlayer> player_;
  std::uint32_t cookie_ = 0;
};

TEST_P(ComEventsTest, AnEventTheControlRaisesOnItsOwnArrivesAtOnce) {
  Control().RaiseCdromMediaChange(0);
  EXPECT_EQ(recorder_.seen, Seen({L"CdromMediaChange 0"}));
  Control().RaiseMediaChange(Control().cdroms->drives[0]->disc->items[1].Get());
  EXPECT_EQ(recorder_.seen, Seen({L"CdromMediaChange 0", L"MediaChange Track 2 "}));
}

TEST_P(ComEventsTest, RipProgressRaisedInsideStartRipArrivesAfterItInOurWording) {
  engine::CdromCollectionRef drives;
  ASSERT_TRUE(drives.TakeFromPlayer(player_.get()));
  engine::CdromRipRef rip;
  ASSERT_EQ(drives.GetRipInterface(0, &rip), wmp::kOk);
  ASSERT_EQ(rip.StartRip(), wmp::kOk);
  EXPECT_TRUE(recorder_.seen.empty()) << "nothing runs inside the call that started the rip";
  test::Pump(50);
  EXPECT_EQ(recorder_.seen, Seen({L"MediaChange Track 1 Ripping (0%)"}));
}

TEST_P(ComEventsTest, PartnershipAndSyncEventsRaisedInsideTheirCallsKeepTheirOrder) {
  engine::SyncDeviceRef device = TakeDevice();
  ASSERT_TRUE(device.CreatePartnership());
  ASSERT_TRUE(device.Start());
  // The control raises one on its own while those two wait: it stays behind them.
  Control().RaiseCdromMediaChange(0);
  EXPECT_TRUE(recorder_.seen.empty());
  test::Pump(50);
  EXPECT_EQ(recorder_.seen, Seen({L"CreatePartnershipComplete Orbit 0x00000000",
                                  L"DeviceSyncStateChange Orbit 1", L"CdromMediaChange 0"}));
  EXPECT_EQ(recorder_.deepest, 1);

  ASSERT_TRUE(device.StopSync());
  test::Pump(50);
  EXPECT_EQ(recorder_.seen.back(), L"DeviceSyncStateChange Orbit 2");
}

TEST_P(ComEventsTest, AHandlerThatCallsTheControlSeesTheNextEventOnlyAfterItReturns) {
  engine::SyncDeviceRef device = TakeDevice();
  // Like the main window: the partnership result starts the synchronisation.
  recorder_.onMessage = [&](UINT message, WPARAM, LPARAM) {
    if (message == engine::kMsgCreatePartnershipComplete) {
      EXPECT_TRUE(device.Start());
      EXPECT_EQ(recorder_.seen.size(), 1u) << "the sync state waits for this handler";
    }
  };
  ASSERT_TRUE(device.CreatePartnership());
  test::Pump(50);
  EXPECT_EQ(recorder_.seen, Seen({L"CreatePartnershipComplete Orbit 0x00000000",
                                  L"DeviceSyncStateChange Orbit 1"}));
  EXPECT_EQ(recorder_.deepest, 1) << "no handler ran inside another";
}

TEST_P(ComEventsTest, HeldEventsWaitWhileTheControlRunsAMessageLoopInsideACall) {
  engine::SyncDeviceRef device = TakeDevice();
  Control().pumpInsideCalls = true;
  ASSERT_TRUE(device.CreatePartnership());
  EXPECT_TRUE(recorder_.seen.empty()) << "the control's own message loop delivered nothing";
  test::Pump(200);
  EXPECT_EQ(recorder_.seen, Seen({L"CreatePartnershipComplete Orbit 0x00000000"}));
}

TEST_P(ComEventsTest, SyncErrorCarriesTheDeviceAndTheItem) {
  fake::Media* item = Control().cdroms->drives[0]->disc->items[0].Get();
  item->info[L"Status"] = L"Ripped to library";
  Control().RaiseDeviceSyncError(&Device(), item);
  EXPECT_EQ(recorder_.seen, Seen({L"DeviceSyncError Orbit Track 1 "}));
}

TEST_P(ComEventsTest, NothingArrivesOnceUnadvisedNotEvenWhatWasWaiting) {
  engine::SyncDeviceRef device = TakeDevice();
  ASSERT_TRUE(device.CreatePartnership());
  ASSERT_EQ(player_->Unadvise(cookie_), wmp::kOk);
  EXPECT_EQ(Control().SinkCount(), 0u);
  Control().RaiseCdromMediaChange(0);
  test::Pump(50);
  EXPECT_TRUE(recorder_.seen.empty());
  EXPECT_TRUE(wmp::Failed(player_->Unadvise(cookie_)));
}

TEST_P(ComEventsTest, NothingArrivesOnceThePlayerIsClosed) {
  engine::SyncDeviceRef device = TakeDevice();
  ASSERT_TRUE(device.CreatePartnership());
  ASSERT_EQ(player_->Close(), wmp::kOk);
  Control().RaiseCdromMediaChange(0);
  test::Pump(50);
  EXPECT_TRUE(recorder_.seen.empty());
  EXPECT_EQ(player_->Unadvise(cookie_), wmp::kOk);
}

INSTANTIATE_TEST_SUITE_P(ConnectionPoints, ComEventsTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& point) {
                           return std::string(point.param ? "IWMPEvents2" : "WMPOCXEvents");
                         });

}  // namespace
