// How the track list looks: cell colours by custom draw in both looks, the
// skinned header painted from its bitmaps, and a screenshot.
#include "track_list_fixture.h"

#include "ui/win32/gdi.h"

namespace tracklist {
namespace {

// The list's client area as the screen shows it.
harness::Capture CaptureClient(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  harness::Pump(50);
  const harness::Capture whole = harness::CaptureWindow(window);
  RECT frame, client;
  GetWindowRect(window, &frame);
  GetClientRect(window, &client);
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  harness::Capture inside;
  inside.width = client.right;
  inside.height = client.bottom;
  for (int y = 0; y < client.bottom; ++y) {
    for (int x = 0; x < client.right; ++x) {
      inside.pixels.push_back(whole.At(origin.x - frame.left + x, origin.y - frame.top + y));
    }
  }
  return inside;
}

RECT CellRect(HWND list, int row, int column) {
  RECT cell = {};
  cell.top = column;
  cell.left = LVIR_LABEL;
  SendMessageW(list, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
  return cell;
}

TEST_F(TrackListTest, CellsAreDrawnInTheColoursOfTheLook) {
  list_.SelectAndFocusRow(-1);  // no highlight over the rows looked at
  SetFocus(parent_.Get());
  struct Case {
    bool interactive;
    COLORREF text;
  };
  const Case cases[] = {{true, RGB(255, 255, 255)}, {false, RGB(110, 112, 98)}};
  for (const Case& c : cases) {
    list_.SetInteractive(c.interactive);
    const harness::Capture capture = CaptureClient(List());
    harness::SaveScreenshot(capture, c.interactive ? "track-list-interactive" : "track-list-idle");
    for (int row : {1, 3}) {
      for (int column : {0, 1, 2}) {
        const RECT cell = CellRect(List(), row, column);
        EXPECT_GT(capture.Count(cell, [&](COLORREF p) { return p == c.text; }), 3)
            << "text of " << row << "," << column;
        EXPECT_GT(capture.Count(cell, [](COLORREF p) { return p == RGB(62, 62, 62); }),
                  (cell.right - cell.left) * (cell.bottom - cell.top) / 3)
            << "background of " << row << "," << column;
        EXPECT_EQ(list_.CellTextColour(row, column), c.text);
      }
    }
  }
}

TEST_F(TrackListTest, OneCellCanBeColouredAndTheColourOfCellZeroChangesNothing) {
  const COLORREF red = RGB(235, 0, 18);
  list_.SetTextColour(2, 1, red, true);
  EXPECT_EQ(list_.CellTextColour(2, 1), red);
  EXPECT_EQ(list_.CellTextColour(2, 0), RGB(255, 255, 255));
  list_.SetTextColour(-1, -1, RGB(255, 255, 255), true);
  EXPECT_EQ(list_.CellTextColour(2, 1), red) << "cell (0, 0) already had that colour";
  list_.SetBackColour(-1, 2, ui::CReportCtrl::kDefaultColour, true);
  EXPECT_EQ(list_.CellBackColour(4, 2), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(list_.CellBackColour(4, 1), RGB(62, 62, 62));
  const int row = list_.AddRow(L"新しい行");
  EXPECT_EQ(list_.CellTextColour(row, 0), GetSysColor(COLOR_WINDOWTEXT)) << "new rows: system colours";
  const harness::Capture capture = CaptureClient(List());
  const RECT cell = CellRect(List(), 2, 1);
  EXPECT_GT(capture.Count(cell, [&](COLORREF p) { return p == red; }), 3);
}

TEST_F(TrackListTest, HeaderIsPaintedFromTheSkinBitmaps) {
  HWND header = reinterpret_cast<HWND>(SendMessageW(List(), LVM_GETHEADER, 0, 0));
  ASSERT_NE(header, nullptr);
  RECT client;
  GetClientRect(header, &client);
  const ui::win32::WindowDc screen(header);
  const ui::win32::MemoryDc memory(screen.Get());
  const ui::win32::Bitmap bitmap(CreateCompatibleBitmap(screen.Get(), client.right, client.bottom));
  {
    const ui::win32::SelectScope selected(memory.Get(), bitmap.Get());
    ASSERT_EQ(list_.Header().Window(), header);
    list_.Header().Paint(memory.Get());
  }
  const harness::Capture capture =
      harness::CaptureBitmap(memory.Get(), bitmap.Get(), client.right, client.bottom);

  // The ramp: white at the top, darker further down, separators dark.
  EXPECT_EQ(capture.At(0, 0), RGB(255, 255, 255)) << "bitmap 140 at the first item's left edge";
  EXPECT_EQ(capture.At(client.right - 1, 0), RGB(255, 255, 255)) << "bitmap 142 tiled to the end";
  EXPECT_LT(GetRValue(capture.At(10, 15)), GetRValue(capture.At(10, 1)));
  for (int i = 0; i < 2; ++i) {
    RECT item;
    SendMessageW(header, HDM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item));
    for (int y = 0; y < 16; ++y) {
      EXPECT_EQ(capture.At(item.right - 1, y), RGB(90, 90, 90)) << "separator of item " << i;
    }
  }
  if (client.bottom > 16) {
    EXPECT_EQ(capture.At(30, 16), RGB(192, 192, 192)) << "below the strips";
  }
  // Black title text somewhere in the first item.
  RECT first;
  SendMessageW(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  EXPECT_GT(capture.Count(first, [](COLORREF p) { return GetRValue(p) < 60; }), 10);
}

TEST_F(TrackListTest, ScreenshotWhileEditing) {
  ASSERT_TRUE(list_.BeginCellEdit(1, 0));
  Type(L"波の音（編集中）");
  harness::Pump(50);
  harness::SaveScreenshot(harness::CaptureWindow(parent_.Get()), "track-list-editing");
  EXPECT_TRUE(IsWindowVisible(list_.Editor()));
}

}  // namespace
}  // namespace tracklist
