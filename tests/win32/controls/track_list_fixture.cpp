#include "track_list_fixture.h"

#include "ui/track_list_rules.h"

namespace tracklist {

void TrackListTest::SetUp() {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"",
                              WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT |
                                  LVS_SINGLESEL | LVS_NOSORTHEADER | LVS_EDITLABELS,
                              12, 12, 520, 330, parent_.Get(), reinterpret_cast<HMENU>(1016),
                              GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(list, nullptr);
  font_ = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                      DEFAULT_PITCH | FF_DONTCARE, L"MS UI Gothic");
  SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
  ASSERT_TRUE(list_.Attach(list));
  parent_.onNotify = [this](NMHDR* header, LRESULT* result) {
    return list_.OnParentNotify(*header, result);
  };
  list_.SetEditOwner(&owner_);

  // As the main window does it.
  const DWORD extended = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP;
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
  SendMessageW(list, LVM_SETBKCOLOR, 0, ui::win32::CReportCtrl::kBackground);
  SendMessageW(list, LVM_SETTEXTBKCOLOR, 0, ui::win32::CReportCtrl::kBackground);
  SendMessageW(list, LVM_SETTEXTCOLOR, 0, ui::win32::CReportCtrl::kInteractiveText);
  list_.SetCellEditing(true);
  list_.ShowCheckBoxes(true);
  list_.SetInteractive(true);
  list_.SetInteractive(false);
  RECT client;
  GetClientRect(list, &client);
  const int q = client.right / 25;
  ASSERT_EQ(list_.AddColumn(0, L"タイトル", 16 * q, LVCFMT_LEFT), 0);
  ASSERT_EQ(list_.AddColumn(1, L"アーティスト", 6 * q, LVCFMT_LEFT), 1);
  ASSERT_EQ(list_.AddColumn(2, L"長さ", client.right - 23 * q, LVCFMT_RIGHT), 2);

  const wchar_t* titles[kRows] = {L"朝のマリンバ", L"波の音", L"Track 3", L"夕暮れ", L"夜想曲"};
  for (int i = 0; i < kRows; ++i) {
    ASSERT_EQ(list_.AddRow(titles[i]), i);
    list_.SetCell(i, 1, i % 2 ? L"マリンバ合奏団" : L"Ensemble");
    list_.SetCell(i, 2, L"3:0" + std::to_wstring(i));
    list_.SetRowCheck(i, true);
  }
  list_.SetBackColour(-1, -1, ui::win32::CReportCtrl::kBackground, true);
  list_.SetTextColour(-1, -1, ui::win32::CReportCtrl::kIdleText, true);
  list_.SelectAndFocusRow(0);
  list_.SetInteractive(true);
  SetFocus(list);
  harness::Pump(30);
  parent_.Clear();
}

void TrackListTest::TearDown() {
  if (parent_.Get() && List()) DestroyWindow(List());
  if (font_) DeleteObject(font_);
}

POINT TrackListTest::CellPoint(int row, int column) const {
  RECT cell = {};
  cell.top = column;
  cell.left = LVIR_LABEL;
  SendMessageW(List(), LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
  return {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
}

POINT TrackListTest::CheckPoint(int row) const {
  RECT bounds = {};
  bounds.left = LVIR_BOUNDS;
  SendMessageW(List(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds));
  POINT at = {bounds.left + 8, (bounds.top + bounds.bottom) / 2};
  LVHITTESTINFO hit = {};
  hit.pt = at;
  SendMessageW(List(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  EXPECT_TRUE(hit.flags & LVHT_ONITEMSTATEICON) << "the check box of row " << row;
  return at;
}

void TrackListTest::Mouse(UINT message, POINT at) {
  const LPARAM where = MAKELPARAM(at.x, at.y);
  UINT release = WM_LBUTTONUP;
  WPARAM keys = MK_LBUTTON;
  if (message == WM_RBUTTONDOWN || message == WM_RBUTTONDBLCLK) {
    release = WM_RBUTTONUP;
    keys = MK_RBUTTON;
  } else if (message == WM_MBUTTONDOWN || message == WM_MBUTTONDBLCLK) {
    release = WM_MBUTTONUP;
    keys = MK_MBUTTON;
  }
  // The list tracks the mouse until the button comes up: the release waits
  // in the queue, as it would after a real click.
  PostMessageW(List(), release, 0, where);
  SendMessageW(List(), message, keys, where);
  harness::Pump(20);
}

void TrackListTest::DoubleClick(POINT at) {
  Mouse(WM_LBUTTONDOWN, at);
  Mouse(WM_LBUTTONDBLCLK, at);
}

void TrackListTest::Key(UINT virtualKey) {
  harness::PostKey(GetFocus(), virtualKey);
  harness::Pump(20);
}

void TrackListTest::Type(const std::wstring& text) {
  harness::PostChars(GetFocus(), text);
  harness::Pump(20);
}

bool TrackListTest::IsSelected(int row) const {
  return SendMessageW(List(), LVM_GETITEMSTATE, row, LVIS_SELECTED) != 0;
}

bool TrackListTest::IsFocused(int row) const {
  return SendMessageW(List(), LVM_GETITEMSTATE, row, LVIS_FOCUSED) != 0;
}

int TrackListTest::SelectedCount() const {
  return static_cast<int>(SendMessageW(List(), LVM_GETSELECTEDCOUNT, 0, 0));
}

}  // namespace tracklist
