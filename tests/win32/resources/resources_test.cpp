// The resources linked into Marimba.exe: the string table read with
// LoadStringW must give the texts the core reads from the script, and the
// dialog templates, menu, icon, bitmaps and manifest must be what the
// windows expect.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "resources/rc_string_table.h"
#include "resources/resource.h"
#include "resources/version.h"
#include "resources/win32/module_string_table.h"
#include "support/test_window.h"
#include "ui/win32/gdi.h"

namespace {

std::wstring Env(const wchar_t* name) {
  wchar_t buffer[1024];
  const DWORD length = GetEnvironmentVariableW(name, buffer, 1024);
  return length > 0 && length < 1024 ? std::wstring(buffer, length) : std::wstring();
}

// Marimba.exe, loaded as a data file for the whole suite.
class MarimbaExe : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const std::wstring dir = Env(L"MARIMBA_BINARY_DIR");
    if (!dir.empty()) {
      module_ = LoadLibraryExW((dir + L"\\Marimba.exe").c_str(), nullptr,
                               LOAD_LIBRARY_AS_DATAFILE);
    }
  }
  static void TearDownTestSuite() {
    if (module_ != nullptr) FreeLibrary(module_);
    module_ = nullptr;
  }
  void SetUp() override {
    ASSERT_NE(module_, nullptr) << "Marimba.exe not found through MARIMBA_BINARY_DIR";
  }

  static std::set<unsigned> ResourceIds(LPCWSTR type) {
    std::set<unsigned> ids;
    EnumResourceNamesW(
        module_, type,
        [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) -> BOOL {
          if (IS_INTRESOURCE(name)) {
            reinterpret_cast<std::set<unsigned>*>(param)->insert(
                static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name)));
          }
          return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&ids));
    return ids;
  }

  static const void* Resource(unsigned id, LPCWSTR type, DWORD* size = nullptr) {
    HRSRC found = FindResourceW(module_, MAKEINTRESOURCEW(id), type);
    if (found == nullptr) return nullptr;
    if (size != nullptr) *size = SizeofResource(module_, found);
    HGLOBAL loaded = LoadResource(module_, found);
    return loaded == nullptr ? nullptr : LockResource(loaded);
  }

  static HMODULE module_;
};
HMODULE MarimbaExe::module_ = nullptr;

// ---------------------------------------------------------------------------
// Strings

class Strings : public MarimbaExe {};

TEST_F(Strings, ModuleGivesTheTextsOfTheScript) {
  const res::RcStringTable script(Env(L"MARIMBA_SOURCE_DIR") + L"\\src\\resources");
  ASSERT_TRUE(script.Loaded()) << script.Error();
  ASSERT_FALSE(script.Ids().empty());
  const res::win32::ModuleStringTable linked(module_);
  for (unsigned id : script.Ids()) {
    EXPECT_EQ(linked.Load(id), script.Load(id)) << "string " << id;
  }

  // And no string in the module that the script does not have: each
  // RT_STRING block holds ids (block - 1) * 16 to (block - 1) * 16 + 15.
  std::vector<unsigned> in_module;
  for (unsigned block : ResourceIds(RT_STRING)) {
    for (unsigned id = (block - 1) * 16; id < block * 16; ++id) {
      if (!linked.Load(id).empty()) in_module.push_back(id);
    }
  }
  EXPECT_EQ(in_module, script.Ids());
}

TEST_F(Strings, TextsAreExact) {
  // Written out here too, so that a fault the parser and windres share
  // cannot hide.
  const res::win32::ModuleStringTable linked(module_);
  EXPECT_EQ(linked.Load(IDS_APP_TITLE), L"\u30EB\u30DF\u30CA\u30FC\u30C8");  // ルミナート
  EXPECT_EQ(linked.Load(IDS_CAPTION_WARNING), L"\u8B66\u544A");              // 警告
  EXPECT_EQ(linked.Load(IDS_STATUS_INSERT_CD),
            L"\n\u3000\u97F3\u697D\uFF23\uFF24\u3092\uFF23\uFF24\u30C9\u30E9\u30A4\u30D6"
            L"\u306B\n\u3000\u633F\u5165\u3057\u3066\u304F\u3060\u3055\u3044\u3002");
  EXPECT_EQ(linked.Load(IDS_MSG_RIP_STALLED),
            L"音楽ＣＤデータの取り込みに失敗しました。\n再度、音楽ＣＤを入れ直してください。");
  EXPECT_EQ(linked.Load(IDS_RATE_64),
            L"\u3000６４ Ｋｂｐｓ（データサイズが小さいため、録音できる曲数が増えます）");
  EXPECT_EQ(linked.Load(IDS_MSG_PLAYER_SPACE_SHORT),
            L"音楽データを転送（同期）するために、デジタルオーディオプレーヤー側に十分な空きエリア"
            L"がありません。継続しますか？（プレーヤー側のエリアが一杯になるまで曲を転送します。）");
  EXPECT_EQ(linked.Load(IDS_ABOUT_MENU), L"ルミナートのバージョン情報(&A)...");
  EXPECT_EQ(linked.Load(103), L"");
}

// ---------------------------------------------------------------------------
// Dialog templates (DLGTEMPLATEEX, as windres writes DIALOGEX)

struct DialogItem {
  DWORD style = 0;
  DWORD ex_style = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  int id = 0;
  std::wstring klass;
  std::wstring text;
  int text_ordinal = -1;  // a resource number instead of a text (pictures)
};

struct DialogTemplate {
  DWORD style = 0;
  DWORD ex_style = 0;
  short cx = 0, cy = 0;
  std::wstring caption;
  WORD point_size = 0;
  std::wstring font;
  std::vector<DialogItem> items;
};

class TemplateReader {
 public:
  TemplateReader(const void* data, DWORD size)
      : p_(static_cast<const BYTE*>(data)), end_(p_ + size), begin_(p_) {}

  bool Read(DialogTemplate* t) {
    WORD version = 0, signature = 0, count = 0;
    DWORD help = 0;
    short x = 0, y = 0;
    if (!Get(&version) || !Get(&signature) || version != 1 || signature != 0xFFFF) return false;
    if (!Get(&help) || !Get(&t->ex_style) || !Get(&t->style) || !Get(&count)) return false;
    if (!Get(&x) || !Get(&y) || !Get(&t->cx) || !Get(&t->cy)) return false;
    std::wstring menu, klass;
    int ordinal = -1;
    if (!Text(&menu, &ordinal) || !Text(&klass, &ordinal) || !Text(&t->caption, &ordinal)) {
      return false;
    }
    if (t->style & (DS_SETFONT | DS_SHELLFONT)) {
      WORD weight = 0;
      BYTE italic = 0, charset = 0;
      if (!Get(&t->point_size) || !Get(&weight) || !Get(&italic) || !Get(&charset) ||
          !Text(&t->font, &ordinal)) {
        return false;
      }
    }
    for (WORD i = 0; i < count; ++i) {
      Align();
      DialogItem item;
      DWORD id = 0;
      WORD extra = 0;
      if (!Get(&help) || !Get(&item.ex_style) || !Get(&item.style) || !Get(&item.x) ||
          !Get(&item.y) || !Get(&item.cx) || !Get(&item.cy) || !Get(&id)) {
        return false;
      }
      item.id = static_cast<int>(id);
      int class_ordinal = -1;
      if (!Text(&item.klass, &class_ordinal) || !Text(&item.text, &item.text_ordinal) ||
          !Get(&extra)) {
        return false;
      }
      static const wchar_t* const kPredefined[] = {L"Button",  L"Edit",      L"Static",
                                                   L"ListBox", L"ScrollBar", L"ComboBox"};
      if (class_ordinal >= 0x80 && class_ordinal <= 0x85) {
        item.klass = kPredefined[class_ordinal - 0x80];
      }
      p_ += extra;
      t->items.push_back(item);
    }
    return p_ <= end_;
  }

 private:
  template <typename T>
  bool Get(T* value) {
    if (end_ - p_ < static_cast<std::ptrdiff_t>(sizeof(T))) return false;
    std::memcpy(value, p_, sizeof(T));
    p_ += sizeof(T);
    return true;
  }
  // A string, or 0xFFFF and a number.
  bool Text(std::wstring* text, int* ordinal) {
    WORD unit = 0;
    if (!Get(&unit)) return false;
    if (unit == 0xFFFF) {
      WORD number = 0;
      if (!Get(&number)) return false;
      *ordinal = number;
      return true;
    }
    while (unit != 0) {
      text->push_back(static_cast<wchar_t>(unit));
      if (!Get(&unit)) return false;
    }
    return true;
  }
  void Align() { p_ = begin_ + ((p_ - begin_ + 3) & ~3); }

  const BYTE* p_;
  const BYTE* end_;
  const BYTE* begin_;
};

struct ExpectedItem {
  int id;
  const wchar_t* klass;
  short x, y, cx, cy;
  const wchar_t* text;  // nullptr: replaced at run time, not checked
  DWORD style_mask;
  DWORD style;
};

struct ExpectedDialog {
  unsigned id;
  short cx, cy;
  DWORD style_mask;
  DWORD style;
  DWORD ex_style_mask;
  DWORD ex_style;
  std::vector<ExpectedItem> items;
};

constexpr DWORD kButtonType = 0x0F;  // BS_TYPEMASK
constexpr DWORD kOwnerDrawn = BS_OWNERDRAW | BS_CENTER | BS_VCENTER;
constexpr DWORD kFramedPopup = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

const std::vector<ExpectedDialog>& ExpectedDialogs() {
  static const std::vector<ExpectedDialog> dialogs = {
      {IDD_MAIN, 457, 344, 0xFFFFFFFF, 0x90080040, 0xFFFFFFFF, WS_EX_APPWINDOW,
       {
           {1044, L"Static", 0, 0, 457, 344, L"", SS_TYPEMASK | SS_REALSIZECONTROL | SS_NOTIFY,
            SS_BITMAP | SS_REALSIZECONTROL},
           {1041, L"Button", 17, 44, 38, 16, L"アルバム", kButtonType | BS_CENTER | BS_VCENTER,
            kOwnerDrawn},
           {1004, L"Static", 63, 44, 138, 16, L"Album", SS_TYPEMASK, SS_LEFT},
           {1006, L"ComboBox", 214, 46, 84, 67, L"", 0x3, CBS_DROPDOWNLIST},
           {1016, L"SysListView32", 21, 69, 275, 193, L"",
            LVS_TYPEMASK | LVS_SINGLESEL | LVS_NOSORTHEADER,
            LVS_REPORT | LVS_SINGLESEL | LVS_NOSORTHEADER},
           {1005, L"Static", 245, 274, 41, 8, L"-- MB", SS_TYPEMASK, SS_RIGHT},
           {1007, L"ComboBox", 356, 39, 84, 58, L"", 0x3, CBS_DROPDOWNLIST},
           {1010, L"Static", 401, 69, 38, 8, L"Media Capacity", SS_TYPEMASK, SS_LEFT},
           {1011, L"Static", 401, 86, 38, 8, L"Empty Capacity", SS_TYPEMASK, SS_LEFT},
           {1012, L"Button", 371, 108, 59, 26, L"Explorer", kButtonType | BS_CENTER | BS_VCENTER,
            kOwnerDrawn},
           {1018, L"Static", 318, 162, 129, 134, L"Status", SS_TYPEMASK, SS_LEFT},
           {1014, L"Button", 196, 308, 74, 28, L"転送（同期）",
            kButtonType | BS_CENTER | BS_VCENTER, kOwnerDrawn},
           {1013, L"Button", 284, 308, 74, 28, L"設定", kButtonType | BS_CENTER | BS_VCENTER,
            kOwnerDrawn},
           {2, L"Button", 374, 308, 74, 28, L"閉じる", kButtonType | BS_CENTER | BS_VCENTER,
            kOwnerDrawn},
       }},
      {IDD_STATUS, 187, 83, kFramedPopup, WS_POPUP | WS_CAPTION | DS_MODALFRAME, 0, 0,
       {
           {2, L"Button", 130, 61, 50, 14, L"キャンセル", kButtonType, BS_PUSHBUTTON},
           {1021, L"Static", 7, 9, 173, 12, L"static", SS_TYPEMASK, SS_LEFT},
           {1022, L"msctls_progress32", 7, 31, 173, 19, nullptr, WS_BORDER, WS_BORDER},
       }},
      {IDD_SETTINGS, 303, 149, kFramedPopup, kFramedPopup, 0, 0,
       {
           {1024, L"Button", 11, 7, 282, 113, nullptr, kButtonType, BS_GROUPBOX},
           {1032, L"Static", 23, 24, 25, 8, L"形式：", SS_TYPEMASK, SS_LEFT},
           {1025, L"Static", 51, 24, 186, 8, nullptr, SS_TYPEMASK, SS_LEFT},
           {1033, L"Static", 23, 43, 24, 8, L"保護：", SS_TYPEMASK, SS_LEFT},
           {1026, L"Static", 51, 43, 186, 8, nullptr, SS_TYPEMASK, SS_LEFT},
           {1027, L"Static", 23, 62, 25, 8, nullptr, SS_TYPEMASK, SS_LEFT},
           {1028, L"Button", 51, 62, 238, 10, nullptr, kButtonType | WS_GROUP,
            BS_AUTORADIOBUTTON | WS_GROUP},
           {1029, L"Button", 51, 77, 238, 10, nullptr, kButtonType | WS_GROUP,
            BS_AUTORADIOBUTTON},
           {1037, L"Button", 23, 97, 253, 10, nullptr, kButtonType, BS_AUTOCHECKBOX},
           {1, L"Button", 184, 128, 50, 14, L"OK", kButtonType, BS_DEFPUSHBUTTON},
           {2, L"Button", 243, 128, 50, 14, L"キャンセル", kButtonType, BS_PUSHBUTTON},
       }},
      {IDD_WAIT, 150, 22, WS_POPUP | WS_CAPTION, WS_POPUP, 0, 0,
       {
           {1030, L"Static", 7, 7, 131, 8, L"起動中です。しばらくお待ちください...", SS_TYPEMASK,
            SS_CENTER},
       }},
      {IDD_AUTO_TRANSFER, 155, 66, WS_POPUP | WS_CAPTION | WS_SYSMENU,
       WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_TOPMOST, WS_EX_TOPMOST,
       {
           {2, L"Button", 52, 45, 50, 14, L"キャンセル", kButtonType, BS_PUSHBUTTON},
           {1038, L"Static", 7, 7, 141, 34, L"スタティック", SS_TYPEMASK, SS_LEFT},
       }},
      {IDD_ALBUM, 235, 47, kFramedPopup, kFramedPopup, 0, 0,
       {
           {1043, L"Static", 7, 7, 36, 12, nullptr, SS_TYPEMASK | SS_CENTERIMAGE,
            SS_LEFT | SS_CENTERIMAGE},
           {1042, L"Edit", 43, 7, 185, 12, nullptr, ES_MULTILINE | ES_AUTOHSCROLL | WS_BORDER,
            ES_AUTOHSCROLL | WS_BORDER},
           {1, L"Button", 63, 26, 50, 14, L"OK", kButtonType, BS_DEFPUSHBUTTON},
           {2, L"Button", 121, 26, 50, 14, L"キャンセル", kButtonType, BS_PUSHBUTTON},
       }},
      {IDD_DONE_NOTICE, 183, 43, WS_POPUP | WS_CAPTION | WS_SYSMENU,
       WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_TOPMOST, WS_EX_TOPMOST,
       {
           {2, L"Button", 67, 22, 50, 14, L"OK", kButtonType, BS_PUSHBUTTON},
           {1038, L"Static", 7, 7, 169, 13, L"スタティック", SS_TYPEMASK, SS_LEFT},
       }},
  };
  return dialogs;
}

class Dialogs : public MarimbaExe {
 protected:
  static bool Load(unsigned id, DialogTemplate* t) {
    DWORD size = 0;
    const void* data = Resource(id, RT_DIALOG, &size);
    return data != nullptr && TemplateReader(data, size).Read(t);
  }
};

TEST_F(Dialogs, EveryTemplateIsThere) {
  EXPECT_EQ(ResourceIds(RT_DIALOG),
            (std::set<unsigned>{IDD_ABOUT, IDD_MAIN, IDD_STATUS, IDD_SETTINGS, IDD_WAIT,
                                IDD_AUTO_TRANSFER, IDD_ALBUM, IDD_DONE_NOTICE}));
  for (unsigned id : ResourceIds(RT_DIALOG)) {
    DialogTemplate t;
    ASSERT_TRUE(Load(id, &t)) << "dialog " << id;
    EXPECT_TRUE(t.style & DS_SETFONT) << "dialog " << id;
    EXPECT_EQ(t.point_size, 9) << "dialog " << id;
    EXPECT_EQ(t.font, L"MS UI Gothic") << "dialog " << id;
    for (const DialogItem& item : t.items) {
      EXPECT_EQ(item.style & (WS_CHILD | WS_VISIBLE), DWORD(WS_CHILD | WS_VISIBLE))
          << "dialog " << id << " control " << item.id;
    }
  }
}

// The version is written once, in version.h: the version record, the About
// box and the manifest of the built program all carry that one.
TEST_F(Dialogs, EveryVersionIsTheHeaders) {
  const std::string text = MARIMBA_VERSION_TEXT;
  const std::wstring wide(text.begin(), text.end());

  DWORD size = 0;
  const BYTE* record = static_cast<const BYTE*>(Resource(VS_VERSION_INFO, RT_VERSION, &size));
  ASSERT_NE(record, nullptr);
  // The fixed part follows the 6-byte header and the L"VS_VERSION_INFO" key,
  // padded to four bytes: at offset 40.
  ASSERT_GE(size, 40u + sizeof(VS_FIXEDFILEINFO));
  VS_FIXEDFILEINFO fixed;
  std::memcpy(&fixed, record + 40, sizeof fixed);
  ASSERT_EQ(fixed.dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed.dwFileVersionMS, DWORD(MARIMBA_VERSION_MAJOR << 16 | MARIMBA_VERSION_MINOR));
  EXPECT_EQ(fixed.dwFileVersionLS, DWORD(MARIMBA_VERSION_PATCH << 16));
  EXPECT_EQ(fixed.dwProductVersionMS, fixed.dwFileVersionMS);
  EXPECT_EQ(fixed.dwProductVersionLS, fixed.dwFileVersionLS);
  // A string's value follows its key after one or two NULs (padding).
  const std::wstring strings(reinterpret_cast<const wchar_t*>(record), size / sizeof(wchar_t));
  auto value = [&](const std::wstring& key) {
    std::size_t at = strings.find(key + L'\0');
    if (at == std::wstring::npos) return std::wstring();
    at = strings.find_first_not_of(L'\0', at + key.size());
    return at == std::wstring::npos ? std::wstring() : strings.substr(at, strings.find(L'\0', at) - at);
  };
  EXPECT_EQ(value(L"FileVersion"), wide);
  EXPECT_EQ(value(L"ProductVersion"), wide);

  DialogTemplate about;
  ASSERT_TRUE(Load(IDD_ABOUT, &about));
  EXPECT_TRUE(std::any_of(about.items.begin(), about.items.end(), [&](const DialogItem& item) {
    return item.text == L"ルミナート  バージョン " + wide;
  }));

  const char* manifest = static_cast<const char*>(Resource(1, RT_MANIFEST, &size));
  ASSERT_NE(manifest, nullptr);
  EXPECT_NE(std::string(manifest, size).find("name=\"Orbit.Marimba\" version=\"" + text + ".0\""),
            std::string::npos);
}

TEST_F(Dialogs, LayoutAndStylesMatchTheWindows) {
  for (const ExpectedDialog& want : ExpectedDialogs()) {
    SCOPED_TRACE("dialog " + std::to_string(want.id));
    DialogTemplate t;
    ASSERT_TRUE(Load(want.id, &t));
    EXPECT_EQ(t.cx, want.cx);
    EXPECT_EQ(t.cy, want.cy);
    EXPECT_EQ(t.style & want.style_mask, want.style) << std::hex << t.style;
    EXPECT_EQ(t.ex_style & want.ex_style_mask, want.ex_style) << std::hex << t.ex_style;

    std::map<int, const DialogItem*> by_id;
    for (const DialogItem& item : t.items) by_id[item.id] = &item;
    EXPECT_EQ(by_id.size(), want.items.size());
    for (const ExpectedItem& w : want.items) {
      SCOPED_TRACE("control " + std::to_string(w.id));
      const auto found = by_id.find(w.id);
      ASSERT_NE(found, by_id.end());
      const DialogItem& item = *found->second;
      EXPECT_EQ(_wcsicmp(item.klass.c_str(), w.klass), 0) << "class";
      EXPECT_EQ(item.x, w.x);
      EXPECT_EQ(item.y, w.y);
      EXPECT_EQ(item.cx, w.cx);
      EXPECT_EQ(item.cy, w.cy);
      if (w.text != nullptr) {
        EXPECT_EQ(item.text, w.text);
      }
      EXPECT_EQ(item.style & w.style_mask, w.style) << std::hex << item.style;
    }
  }
}

TEST_F(Dialogs, MainWindowPictureLiesUnderTheOtherControls) {
  DialogTemplate t;
  ASSERT_TRUE(Load(IDD_MAIN, &t));
  ASSERT_FALSE(t.items.empty());
  // First in the template is top of the z-order, which is painted first:
  // everything else then draws over the picture.
  EXPECT_EQ(t.items.front().id, IDC_SKIN);
  EXPECT_EQ(t.items.front().text_ordinal, IDB_SKIN);
  EXPECT_TRUE(t.caption.empty());
}

// The templates really make their windows: class names resolve and the skin
// picture is found and stretched over the whole main window.
TEST_F(Dialogs, CreateTheirControls) {
  INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
  ASSERT_TRUE(InitCommonControlsEx(&classes));
  for (unsigned id : ResourceIds(RT_DIALOG)) {
    SCOPED_TRACE("dialog " + std::to_string(id));
    DWORD size = 0;
    const void* data = Resource(id, RT_DIALOG, &size);
    ASSERT_NE(data, nullptr);
    // A copy without WS_VISIBLE (style is at offset 12 of DLGTEMPLATEEX).
    std::vector<BYTE> copy(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + size);
    DWORD style = 0;
    std::memcpy(&style, copy.data() + 12, sizeof style);
    style &= ~WS_VISIBLE;
    std::memcpy(copy.data() + 12, &style, sizeof style);
    const wine_test::OwnedWindow owned(CreateDialogIndirectParamW(
        module_, reinterpret_cast<LPCDLGTEMPLATEW>(copy.data()), nullptr,
        [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0));
    const HWND dialog = owned.Get();
    ASSERT_NE(dialog, nullptr);

    DialogTemplate t;
    ASSERT_TRUE(TemplateReader(data, size).Read(&t));
    for (const DialogItem& item : t.items) {
      if (item.id == IDC_STATIC) continue;
      EXPECT_NE(GetDlgItem(dialog, item.id), nullptr) << "control " << item.id;
    }
    if (id == IDD_MAIN) {
      HWND skin = GetDlgItem(dialog, IDC_SKIN);
      EXPECT_NE(SendMessageW(skin, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
      RECT client = {}, picture = {};
      GetClientRect(dialog, &client);
      GetWindowRect(skin, &picture);
      EXPECT_EQ(picture.right - picture.left, client.right);
      EXPECT_EQ(picture.bottom - picture.top, client.bottom);
      EXPECT_EQ(GetWindow(dialog, GW_CHILD), skin) << "picture on top of the z-order";
    }
  }
}

// ---------------------------------------------------------------------------
// Menu, icon, bitmaps, manifest

class Pictures : public MarimbaExe {};

TEST_F(Pictures, TrackMenuHasItsFourItems) {
  HMENU menu = LoadMenuW(module_, MAKEINTRESOURCEW(IDM_TRACK_MENU));
  ASSERT_NE(menu, nullptr);
  HMENU sub = GetSubMenu(menu, 0);
  ASSERT_NE(sub, nullptr);
  ASSERT_EQ(GetMenuItemCount(sub), 4);
  const struct {
    UINT id;
    const wchar_t* text;
  } items[] = {{ID_TRACK_EDIT, L"編集(&E)"},
               {ID_TRACK_TOGGLE_CHECK, L"選択/解除(&S)"},
               {0, nullptr},
               {ID_TRACK_MENU_CANCEL, L"キャンセル(&C)"}};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    if (items[i].text == nullptr) {
      EXPECT_TRUE(GetMenuState(sub, i, MF_BYPOSITION) & MF_SEPARATOR);
      continue;
    }
    EXPECT_EQ(GetMenuItemID(sub, i), items[i].id);
    wchar_t text[64] = {};
    GetMenuStringW(sub, i, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, items[i].text);
  }
  DestroyMenu(menu);
}

TEST_F(Pictures, IconHasSmallAndLargeImages) {
#pragma pack(push, 2)
  struct GroupEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bit_count;
    DWORD bytes;
    WORD id;
  };
#pragma pack(pop)
  DWORD size = 0;
  const BYTE* group = static_cast<const BYTE*>(Resource(IDI_MAIN, RT_GROUP_ICON, &size));
  ASSERT_NE(group, nullptr);
  WORD count = 0;
  std::memcpy(&count, group + 4, sizeof count);
  ASSERT_EQ(size, 6u + count * sizeof(GroupEntry));
  std::set<int> sizes;
  for (WORD i = 0; i < count; ++i) {
    GroupEntry entry;
    std::memcpy(&entry, group + 6 + i * sizeof entry, sizeof entry);
    sizes.insert(entry.width);
    EXPECT_EQ(entry.width, entry.height);
    EXPECT_GE(entry.bit_count, 24);
  }
  EXPECT_EQ(sizes, (std::set<int>{16, 32}));
  for (int pixels : {16, 32}) {
    HICON icon = static_cast<HICON>(
        LoadImageW(module_, MAKEINTRESOURCEW(IDI_MAIN), IMAGE_ICON, pixels, pixels, 0));
    EXPECT_NE(icon, nullptr) << pixels;
    if (icon != nullptr) DestroyIcon(icon);
  }
}

// Pixels of a bitmap resource, top row first, as 0x00RRGGBB.
std::vector<std::vector<DWORD>> Pixels(HMODULE module, unsigned id, BITMAP* info) {
  std::vector<std::vector<DWORD>> rows;
  const ui::win32::Bitmap bitmap(static_cast<HBITMAP>(
      LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (!bitmap) return rows;
  DIBSECTION dib = {};
  if (GetObjectW(bitmap.Get(), sizeof dib, &dib) == sizeof dib) {
    *info = dib.dsBm;
    const BYTE* bits = static_cast<const BYTE*>(dib.dsBm.bmBits);
    const bool bottom_up = dib.dsBmih.biHeight > 0;
    for (int y = 0; y < dib.dsBm.bmHeight && dib.dsBm.bmBitsPixel == 24; ++y) {
      const BYTE* row =
          bits + dib.dsBm.bmWidthBytes * (bottom_up ? dib.dsBm.bmHeight - 1 - y : y);
      std::vector<DWORD> line;
      for (int x = 0; x < dib.dsBm.bmWidth; ++x) {
        const BYTE* px = row + 3 * x;
        line.push_back(RGB(px[2], px[1], px[0]));  // bytes are B, G, R
      }
      rows.push_back(line);
    }
  }
  return rows;
}

TEST_F(Pictures, BitmapsHaveTheirSizes) {
  const struct {
    unsigned id;
    int width, height;
  } bitmaps[] = {{IDB_HEADER_LEFT, 2, 17},
                 {IDB_HEADER_SEPARATOR, 2, 17},
                 {IDB_HEADER_FILL, 1, 17},
                 {IDB_SKIN, 800, 516}};
  for (const auto& b : bitmaps) {
    SCOPED_TRACE("bitmap " + std::to_string(b.id));
    BITMAP info = {};
    const auto rows = Pixels(module_, b.id, &info);
    EXPECT_EQ(info.bmWidth, b.width);
    EXPECT_EQ(info.bmHeight, b.height);
    EXPECT_EQ(info.bmBitsPixel, 24);
  }
}

constexpr DWORD Grey(int g) { return RGB(g, g, g); }

TEST_F(Pictures, HeaderStripsAreTheGreyRamp) {
  for (unsigned id : {IDB_HEADER_LEFT, IDB_HEADER_SEPARATOR, IDB_HEADER_FILL}) {
    SCOPED_TRACE("bitmap " + std::to_string(id));
    BITMAP info = {};
    const auto rows = Pixels(module_, id, &info);
    ASSERT_EQ(rows.size(), 17u);
    // The ramp runs in the left column from white at the top to 155 at the
    // bottom, never getting lighter on the way down.
    EXPECT_EQ(rows.front()[0], Grey(255));
    EXPECT_EQ(rows.back()[0], Grey(155));
    for (std::size_t y = 1; y < rows.size(); ++y) {
      const int above = GetRValue(rows[y - 1][0]);
      const int here = GetRValue(rows[y][0]);
      EXPECT_LE(here, above) << "row " << y;
      EXPECT_EQ(rows[y][0], Grey(here)) << "row " << y;
    }
    for (std::size_t y = 0; y < rows.size(); ++y) {
      if (id == IDB_HEADER_LEFT) {
        EXPECT_EQ(rows[y][1], rows[y][0]) << "row " << y;
      } else if (id == IDB_HEADER_SEPARATOR) {
        EXPECT_EQ(rows[y][1], Grey(90)) << "row " << y;
      }
    }
  }
}

// The labels of the main window are transparent with black or red text, so
// the skin under them must be light and plain. The picture is stretched over
// the window: a dialog unit is 800/457 pixels across and 1.5 pixels down.
TEST_F(Pictures, SkinIsLightAndPlainUnderTheLabels) {
  BITMAP info = {};
  const auto rows = Pixels(module_, IDB_SKIN, &info);
  ASSERT_EQ(rows.size(), 516u);
  const struct {
    int id, x, y, cx, cy;
  } labels[] = {{1004, 63, 44, 138, 16},  {1005, 245, 274, 41, 8},  {1010, 401, 69, 38, 8},
                {1011, 401, 86, 38, 8},   {1018, 318, 162, 129, 134}};
  for (const auto& l : labels) {
    SCOPED_TRACE("label " + std::to_string(l.id));
    int darkest = 255, lightest = 0;
    for (int y = l.y * 3 / 2; y < (l.y + l.cy) * 3 / 2; ++y) {
      for (int x = l.x * 800 / 457; x < (l.x + l.cx) * 800 / 457; ++x) {
        const DWORD c = rows[y][x];
        const int luma = (GetRValue(c) * 3 + GetGValue(c) * 6 + GetBValue(c)) / 10;
        darkest = std::min(darkest, luma);
        lightest = std::max(lightest, luma);
      }
    }
    EXPECT_GE(darkest, 200);
    EXPECT_LE(lightest - darkest, 24);
  }
}

TEST_F(Pictures, ManifestAsksForCommonControls6) {
  DWORD size = 0;
  const char* text = static_cast<const char*>(Resource(1, RT_MANIFEST, &size));
  ASSERT_NE(text, nullptr);
  const std::string manifest(text, size);
  EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\""), std::string::npos);
  EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
  EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);

  // This test program links the same resources, so its own activation
  // context must redirect comctl32 to the version 6 assembly.
  ACTCTX_SECTION_KEYED_DATA data = {};
  data.cbSize = sizeof data;
  EXPECT_TRUE(FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                       L"comctl32.dll", &data));
}

}  // namespace
