// The event sink as the main window sees it: each engine event arrives as
// one message with the numbers and parameters the main window decodes, none
// for the events it does not carry and nothing while no window is set; and
// the search for the player application's window.
#include "engine/event_dispatch.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "fakes/fake_engine.h"
#include "fakes/fake_top_windows.h"

namespace {

using engine::CWMPEventDispatch;

// One message as the main window received it; the parameters are decoded
// during the send, because strings and the {old, new} array live only then.
struct Received {
  unsigned message = 0;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
  std::wstring wText, lText, oldValue, newValue;
};

enum class Kind { None, Number, String, Object };

struct Layout {
  Kind w = Kind::None, l = Kind::None;
  bool pair = false;
};

// What each message carries, as the main window reads it.
Layout LayoutOf(unsigned message) {
  switch (message) {
    case 0x823: case 0x810: case 0x812: return {Kind::String, Kind::String};
    case 0x811: return {Kind::String, Kind::None, true};
    case 0x805: case 0x807: case 0x81F: case 0x820: case 0x808: return {Kind::String};
    case 0x815: return {Kind::String, Kind::Number};
    default: return {};
  }
}

class RecordingWindow : public engine::IMessageTarget {
 public:
  std::intptr_t Send(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override {
    Received r{message, wParam, lParam, {}, {}, {}, {}};
    const Layout layout = LayoutOf(message);
    if (layout.w == Kind::String) r.wText = *engine::MessageString(wParam);
    if (layout.l == Kind::String) r.lText = *engine::MessageString(lParam);
    if (layout.pair) {
      const std::wstring* const* values = engine::MessageStringPair(lParam);
      r.oldValue = *values[0];
      r.newValue = *values[1];
    }
    received.push_back(r);
    return 0;
  }
  std::vector<Received> received;
};

// Objects whose addresses the messages must carry.
fakes::FakeMedia media(std::make_shared<fakes::MediaState>());
fakes::FakeMedia otherMedia(std::make_shared<fakes::MediaState>());
fakes::FakePlaylist playlist(std::make_shared<fakes::PlaylistState>());
fakes::FakeSyncDevice device(std::make_shared<fakes::SyncDeviceState>());

template <class T>
std::uintptr_t W(T* object) {
  return reinterpret_cast<std::uintptr_t>(object);
}
template <class T>
std::intptr_t L(T* object) {
  return reinterpret_cast<std::intptr_t>(object);
}
constexpr std::uintptr_t kAllOnes = ~std::uintptr_t{0};
// A negative number in wParam: sign-extended.
std::uintptr_t Neg(long value) { return static_cast<std::uintptr_t>(static_cast<std::intptr_t>(value)); }

struct Row {
  const char* event;
  std::function<void(wmp::IPlayerEvents&)> raise;
  bool sends;
  unsigned message;
  std::uintptr_t wParam;
  std::intptr_t lParam;
  std::wstring wText, lText, oldValue, newValue;
};

// The whole event table. Numbers are written out here, not taken from the
// header, so a wrong constant there shows up as a failing row.
std::vector<Row> EventTable() {
  using E = wmp::IPlayerEvents;
  return {
      {"OpenStateChange", [](E& e) { e.OpenStateChange(13); }, true, 0x81A, 13, 0},
      {"StatusChange", [](E& e) { e.StatusChange(); }, true, 0x824, 0, 0},
      {"PlayStateChange", [](E& e) { e.PlayStateChange(3); }, true, 0x821, 3, 0},
      {"AudioLanguageChange", [](E& e) { e.AudioLanguageChange(1041); }, true, 0x800, 1041, 0},
      {"EndOfStream", [](E& e) { e.EndOfStream(5); }, false},
      {"PositionChange", [](E& e) { e.PositionChange(7.25, 8.75); }, true, 0x822, 7, 8},
      {"MarkerHit", [](E& e) { e.MarkerHit(-4); }, true, 0x80E, Neg(-4), 0},
      {"DurationUnitChange", [](E& e) { e.DurationUnitChange(2); }, false},
      {"ScriptCommand", [](E& e) { e.ScriptCommand(L"URL", L"http://x/"); }, true, 0x823, 0, 0,
       L"URL", L"http://x/"},
      {"Disconnect", [](E& e) { e.Disconnect(1); }, false},
      {"Buffering(true)", [](E& e) { e.Buffering(true); }, true, 0x801, kAllOnes, 0},
      {"Buffering(false)", [](E& e) { e.Buffering(false); }, true, 0x801, 0, 0},
      {"NewStream", [](E& e) { e.NewStream(); }, false},
      {"Error", [](E& e) { e.Error(); }, true, 0x80A, 0, 0},
      {"Warning", [](E& e) { e.Warning(1, 2, L"w"); }, false},
      {"CdromMediaChange", [](E& e) { e.CdromMediaChange(2); }, true, 0x802, 2, 0},
      {"PlaylistChange", [](E& e) { e.PlaylistChange(&playlist, 8); }, true, 0x81D,
       W(&playlist), 8},
      {"MediaChange", [](E& e) { e.MediaChange(&media); }, true, 0x80F, W(&media), 0},
      {"MediaChange(null)", [](E& e) { e.MediaChange(nullptr); }, true, 0x80F, 0, 0},
      {"CurrentMediaItemAvailable", [](E& e) { e.CurrentMediaItemAvailable(L"曲"); }, true,
       0x805, 0, 0, L"曲"},
      {"CurrentPlaylistChange", [](E& e) { e.CurrentPlaylistChange(6); }, true, 0x806, 6, 0},
      {"CurrentPlaylistItemAvailable", [](E& e) { e.CurrentPlaylistItemAvailable(L"p"); },
       true, 0x807, 0, 0, L"p"},
      {"CurrentItemChange", [](E& e) { e.CurrentItemChange(&otherMedia); }, true, 0x804,
       W(&otherMedia), 0},
      {"MediaCollectionChange", [](E& e) { e.MediaCollectionChange(); }, true, 0x813, 0, 0},
      {"MediaCollectionAttributeStringAdded",
       [](E& e) { e.MediaCollectionAttributeStringAdded(L"Genre", L"Jazz"); }, true, 0x810, 0,
       0, L"Genre", L"Jazz"},
      {"MediaCollectionAttributeStringRemoved",
       [](E& e) { e.MediaCollectionAttributeStringRemoved(L"Genre", L"Pop"); }, true, 0x812,
       0, 0, L"Genre", L"Pop"},
      {"PlaylistCollectionChange", [](E& e) { e.PlaylistCollectionChange(); }, true, 0x81E,
       0, 0},
      {"PlaylistCollectionPlaylistAdded",
       [](E& e) { e.PlaylistCollectionPlaylistAdded(L"new"); }, true, 0x81F, 0, 0, L"new"},
      {"PlaylistCollectionPlaylistRemoved",
       [](E& e) { e.PlaylistCollectionPlaylistRemoved(L"old"); }, true, 0x820, 0, 0, L"old"},
      {"PlaylistCollectionPlaylistSetAsDeleted",
       [](E& e) { e.PlaylistCollectionPlaylistSetAsDeleted(L"x", true); }, false},
      {"ModeChange(true)", [](E& e) { e.ModeChange(L"shuffle", true); }, true, 0x815, 0, -1,
       L"shuffle"},
      {"ModeChange(false)", [](E& e) { e.ModeChange(L"loop", false); }, true, 0x815, 0, 0,
       L"loop"},
      {"MediaCollectionAttributeStringChanged",
       [](E& e) { e.MediaCollectionAttributeStringChanged(L"Album", L"前", L"後"); }, true,
       0x811, 0, 0, L"Album", L"", L"前", L"後"},
      {"MediaError", [](E& e) { e.MediaError(&media); }, true, 0x814, W(&media), 0},
      {"DomainChange", [](E& e) { e.DomainChange(L"example.com"); }, true, 0x808, 0, 0,
       L"example.com"},
      {"OpenPlaylistSwitch", [](E& e) { e.OpenPlaylistSwitch(&otherMedia); }, true, 0x819,
       W(&otherMedia), 0},
      {"SwitchedToPlayerApplication", [](E& e) { e.SwitchedToPlayerApplication(); }, true,
       0x826, 0, 0},
      {"SwitchedToControl", [](E& e) { e.SwitchedToControl(); }, true, 0x825, 0, 0},
      {"PlayerDockedStateChange", [](E& e) { e.PlayerDockedStateChange(); }, true, 0x81B, 0, 0},
      {"PlayerReconnect", [](E& e) { e.PlayerReconnect(); }, true, 0x81C, 0, 0},
      {"Click", [](E& e) { e.Click(1, 0, 10, 20); }, false},
      {"DoubleClick", [](E& e) { e.DoubleClick(1, 0, 10, 20); }, false},
      {"KeyDown", [](E& e) { e.KeyDown(65, 0); }, false},
      {"KeyPress", [](E& e) { e.KeyPress(65); }, false},
      {"KeyUp", [](E& e) { e.KeyUp(65, 0); }, false},
      {"MouseDown", [](E& e) { e.MouseDown(1, 0, 1, 1); }, false},
      {"MouseMove", [](E& e) { e.MouseMove(0, 0, 1, 1); }, false},
      {"MouseUp", [](E& e) { e.MouseUp(1, 0, 1, 1); }, false},
      {"DeviceConnect", [](E& e) { e.DeviceConnect(&device); }, true, 0x84D, W(&device), 0},
      {"DeviceDisconnect", [](E& e) { e.DeviceDisconnect(&device); }, true, 0x84E, W(&device),
       0},
      {"DeviceStatusChange", [](E& e) { e.DeviceStatusChange(&device, 2); }, true, 0x84F,
       W(&device), 2},
      {"DeviceSyncStateChange", [](E& e) { e.DeviceSyncStateChange(&device, 1); }, true,
       0x851, W(&device), 1},
      {"DeviceSyncError", [](E& e) { e.DeviceSyncError(&device, &media); }, true, 0x850,
       W(&device), L(&media)},
      {"CreatePartnershipComplete",
       [](E& e) { e.CreatePartnershipComplete(&device, static_cast<wmp::HResult>(0x80070070)); },
       true, 0x84C, W(&device), -2147024784},
  };
}

TEST(EventDispatch, SendsEachEventAsItsMessageWithItsParameters) {
  RecordingWindow window;
  CWMPEventDispatch sink;
  sink.SetMainWindow(&window);
  for (const Row& row : EventTable()) {
    SCOPED_TRACE(row.event);
    window.received.clear();
    row.raise(sink);
    if (!row.sends) {
      EXPECT_TRUE(window.received.empty());
      continue;
    }
    ASSERT_EQ(window.received.size(), 1u);
    const Received& got = window.received[0];
    EXPECT_EQ(got.message, row.message);
    const Layout layout = LayoutOf(row.message);
    if (layout.w != Kind::String) {
      EXPECT_EQ(got.wParam, row.wParam);
    }
    if (layout.l != Kind::String && !layout.pair) {
      EXPECT_EQ(got.lParam, row.lParam);
    }
    EXPECT_EQ(got.wText, row.wText);
    EXPECT_EQ(got.lText, row.lText);
    EXPECT_EQ(got.oldValue, row.oldValue);
    EXPECT_EQ(got.newValue, row.newValue);
  }
}

TEST(EventDispatch, UsesOnlyTheNumbersOfTheTable) {
  std::set<unsigned> unused = {0x803, 0x809, 0x80B, 0x80C, 0x80D, 0x816, 0x817, 0x818};
  for (unsigned n = 0x827; n <= 0x84B; ++n) unused.insert(n);
  RecordingWindow window;
  CWMPEventDispatch sink;
  sink.SetMainWindow(&window);
  for (const Row& row : EventTable()) row.raise(sink);
  std::set<unsigned> used;
  for (const Received& r : window.received) {
    EXPECT_GE(r.message, engine::kMsgFirstPlayerEvent);
    EXPECT_LE(r.message, engine::kMsgLastPlayerEvent);
    EXPECT_EQ(unused.count(r.message), 0u) << std::hex << r.message;
    used.insert(r.message);
  }
  // 0x800..0x851 is 82 numbers; every one the table does not leave out is sent.
  EXPECT_EQ(used.size() + unused.size(), 0x52u);
}

// Strings are the sender's own objects, not copies: a handler reads them in
// place during the call.
TEST(EventDispatch, PassesStringsAsTheAddressOfTheSendersText) {
  RecordingWindow window;
  CWMPEventDispatch sink;
  sink.SetMainWindow(&window);
  const std::wstring type = L"TEXT", param = L"hello";
  sink.ScriptCommand(type, param);
  ASSERT_EQ(window.received.size(), 1u);
  EXPECT_EQ(engine::MessageString(window.received[0].wParam), &type);
  EXPECT_EQ(engine::MessageString(window.received[0].lParam), &param);
}

TEST(EventDispatch, TruncatesPositionsTowardZero) {
  struct Case {
    double oldPosition, newPosition;
    long wParam, lParam;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {
      {12.9, -0.5, 12, 0},       {-1.7, 3.999, -1, 3},
      {0.0, -0.0, 0, 0},         {-12.9, 2147483646.9, -12, 2147483646},
      {1e12, -1e12, 2147483647, -2147483647 - 1},
      {nan, 5.5, 0, 5},
  };
  RecordingWindow window;
  CWMPEventDispatch sink;
  sink.SetMainWindow(&window);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.oldPosition << ", " << c.newPosition);
    window.received.clear();
    sink.PositionChange(c.oldPosition, c.newPosition);
    ASSERT_EQ(window.received.size(), 1u);
    EXPECT_EQ(window.received[0].wParam, Neg(c.wParam));
    EXPECT_EQ(engine::MessageNumber(window.received[0].wParam), c.wParam);
    EXPECT_EQ(window.received[0].lParam, c.lParam);
  }
}

TEST(EventDispatch, DropsEventsWhileNoMainWindowIsSet) {
  RecordingWindow window;
  CWMPEventDispatch sink;
  EXPECT_EQ(sink.MainWindow(), nullptr);
  const auto raiseAll = [&sink] {
    for (const Row& row : EventTable()) row.raise(sink);
  };
  raiseAll();
  EXPECT_TRUE(window.received.empty());

  sink.SetMainWindow(&window);
  sink.CdromMediaChange(1);
  EXPECT_EQ(window.received.size(), 1u);

  sink.SetMainWindow(nullptr);
  raiseAll();
  EXPECT_EQ(window.received.size(), 1u) << "nothing after the window let go";
}

// --- FindPlayerApplicationWindow ------------------------------------------

class CountingTopWindows : public fakes::FakeTopWindows {
 public:
  std::wstring Title(os::WindowRef window) override {
    ++titlesRead;
    return FakeTopWindows::Title(window);
  }
  int titlesRead = 0;
};

TEST(FindPlayerApplicationWindow, MatchesTheWholeTitleExactly) {
  struct Case {
    const char* name;
    std::vector<std::wstring> titles;
    os::WindowRef expected;
  };
  const Case cases[] = {
      {"no windows", {}, os::kNoWindow},
      {"only others", {L"Explorer", L"ルミナート"}, os::kNoWindow},
      {"exact", {L"Explorer", L"Windows Media Player"}, 2},
      {"case differs", {L"windows media player", L"WINDOWS MEDIA PLAYER"}, os::kNoWindow},
      {"longer title", {L"Windows Media Player - song.wma", L"Now Windows Media Player"},
       os::kNoWindow},
      {"trailing space", {L"Windows Media Player "}, os::kNoWindow},
      {"shorter title", {L"Windows Media"}, os::kNoWindow},
      {"first of two", {L"a", L"Windows Media Player", L"Windows Media Player"}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fakes::FakeTopWindows windows;
    for (const std::wstring& title : c.titles) windows.Add(title);
    EXPECT_EQ(engine::FindPlayerApplicationWindow(windows), c.expected);
  }
}

TEST(FindPlayerApplicationWindow, FindsHiddenWindowsAndStopsAtTheFirstMatch) {
  CountingTopWindows windows;
  windows.Add(L"Desktop");
  const os::WindowRef hidden = windows.Add(L"Windows Media Player", /*visible=*/false);
  windows.Add(L"Windows Media Player");
  windows.Add(L"Other");
  EXPECT_EQ(engine::FindPlayerApplicationWindow(windows), hidden);
  EXPECT_EQ(windows.titlesRead, 2);
  EXPECT_FALSE(windows.At(hidden).closeRequested) << "finding is not closing";
}

}  // namespace
