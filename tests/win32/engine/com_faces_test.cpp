// The COM faces as the platform control calls them: the remote host's
// answers, the event sink's interface set and reference counts, and its
// events, through Invoke and through the IWMPEvents2 vtable, arriving as
// messages at a real window that decodes them while they are valid.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "engine/event_dispatch.h"
#include "engine/remote_host.h"
#include "engine/win32/com_event_sink.h"
#include "engine/win32/com_object_views.h"
#include "engine/win32/com_remote_host.h"
#include "engine/win32/window_message_target.h"
#include "resources/win32/module_string_table.h"

namespace {

using engine::win32::Bstr;
using engine::win32::ComEventSink;
using engine::win32::ComPtr;
using engine::win32::ComRemoteHost;

// --- platform objects the control would hand to the sink ------------------

// The fakes live on the stack and are never deleted through an interface.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// Stack-owned: counts the references others take, never deletes itself.
template <class Interface>
class Fake : public Interface {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, __uuidof(Interface)) &&
        !(IsDispatch() && IsEqualIID(iid, IID_IDispatch))) {
      return E_NOINTERFACE;
    }
    *object = static_cast<Interface*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--references); }
  long references = 0;

 private:
  static constexpr bool IsDispatch() { return std::is_base_of<IDispatch, Interface>::value; }
};

template <class Interface>
class FakeDispatch : public Fake<Interface> {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }
};

HRESULT Give(const std::wstring& text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = Bstr::FromString(text).Detach();
  return S_OK;
}

class FakeMedia : public FakeDispatch<IWMPMedia> {
 public:
  explicit FakeMedia(std::wstring initialTitle) : title(std::move(initialTitle)) {}
  HRESULT STDMETHODCALLTYPE get_isIdentical(IWMPMedia* other, VARIANT_BOOL* same) override {
    *same = other == this ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_sourceURL(BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_name(BSTR* name) override { return Give(title, name); }
  HRESULT STDMETHODCALLTYPE put_name(BSTR name) override {
    title = Bstr::ToString(name);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_imageSourceWidth(LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_imageSourceHeight(LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_markerCount(LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE getMarkerTime(LONG, double*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE getMarkerName(LONG, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_duration(double* seconds) override {
    *seconds = 215.5;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_durationString(BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_attributeCount(LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE getAttributeName(LONG, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE getItemInfo(BSTR name, BSTR* value) override {
    return Give(Bstr::ToString(name) == L"Title" ? title : std::wstring(), value);
  }
  HRESULT STDMETHODCALLTYPE setItemInfo(BSTR, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE getItemInfoByAtom(LONG, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE isMemberOf(IWMPPlaylist*, VARIANT_BOOL*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE isReadOnlyItem(BSTR, VARIANT_BOOL*) override { return E_NOTIMPL; }
  std::wstring title;
};

class FakePlaylist : public FakeDispatch<IWMPPlaylist> {
 public:
  FakePlaylist(std::wstring playlistName, FakeMedia& firstItem)
      : name(std::move(playlistName)), first(firstItem) {}
  HRESULT STDMETHODCALLTYPE get_count(LONG* count) override {
    *count = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_name(BSTR* out) override { return Give(name, out); }
  HRESULT STDMETHODCALLTYPE put_name(BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_attributeCount(LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_attributeName(LONG, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Item(LONG index, IWMPMedia** item) override {
    if (index != 0) return E_INVALIDARG;
    first.AddRef();
    *item = &first;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE getItemInfo(BSTR, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE setItemInfo(BSTR, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_isIdentical(IWMPPlaylist*, VARIANT_BOOL*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE clear() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE insertItem(LONG, IWMPMedia*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE appendItem(IWMPMedia* item) override {
    appended = item;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE removeItem(IWMPMedia*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE moveItem(LONG, LONG) override { return E_NOTIMPL; }
  std::wstring name;
  FakeMedia& first;
  IWMPMedia* appended = nullptr;
};

class FakeDevice : public Fake<IWMPSyncDevice> {
 public:
  explicit FakeDevice(std::wstring friendlyName) : name(std::move(friendlyName)) {}
  HRESULT STDMETHODCALLTYPE get_friendlyName(BSTR* out) override { return Give(name, out); }
  HRESULT STDMETHODCALLTYPE put_friendlyName(BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_deviceName(BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_deviceId(BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_partnershipIndex(LONG* index) override {
    *index = 3;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_connected(VARIANT_BOOL* connected) override {
    *connected = VARIANT_TRUE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_status(WMPDeviceStatus* status) override {
    *status = wmpdsPartnershipDeclined;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_syncState(WMPSyncState*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_progress(LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE getItemInfo(BSTR, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE createPartnership(VARIANT_BOOL showUi) override {
    partnershipUi = showUi;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE deletePartnership() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE start() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE stop() override {
    ++stops;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE showSettings() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE isIdentical(IWMPSyncDevice* other, VARIANT_BOOL* same) override {
    *same = other == this ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }
  std::wstring name;
  int stops = 0;
  VARIANT_BOOL partnershipUi = 1;
};

#pragma GCC diagnostic pop

// --- the main window stand-in ----------------------------------------------

// One message, decoded inside the window procedure: numbers as numbers,
// strings and objects as text (objects by what they report).
struct Record {
  UINT message;
  std::intptr_t w, l;
  std::wstring wText, lText;
  bool operator==(const Record& o) const {
    return message == o.message && w == o.w && l == o.l && wText == o.wText && lText == o.lText;
  }
};

std::ostream& operator<<(std::ostream& out, const Record& r) {
  const auto narrow = [](const std::wstring& text) { return std::string(text.begin(), text.end()); };
  return out << std::hex << "{0x" << r.message << std::dec << ", " << r.w << ", " << r.l << ", \""
             << narrow(r.wText) << "\", \"" << narrow(r.lText) << "\"}";
}

std::wstring MediaText(std::uintptr_t param) {
  auto* media = engine::MessageObject<wmp::IMedia>(param);
  std::wstring title;
  if (!media) return L"null";
  return media->GetItemInfo(L"Title", &title) == wmp::kOk ? L"media:" + title : L"?";
}
std::wstring DeviceText(std::uintptr_t param) {
  auto* device = engine::MessageObject<wmp::ISyncDevice>(param);
  std::wstring name;
  if (!device) return L"null";
  return device->FriendlyName(&name) == wmp::kOk ? L"device:" + name : L"?";
}
std::wstring PlaylistText(std::uintptr_t param) {
  auto* playlist = engine::MessageObject<wmp::IPlaylist>(param);
  if (!playlist) return L"null";
  std::wstring name;
  wmp::MediaPtr first;
  if (playlist->Name(&name) != wmp::kOk || playlist->Item(0, &first) != wmp::kOk) return L"?";
  return L"playlist:" + name + L"/" + MediaText(reinterpret_cast<std::uintptr_t>(first.get()));
}

Record Decode(UINT message, WPARAM wParam, LPARAM lParam) {
  Record r{message, static_cast<std::intptr_t>(wParam), lParam, {}, {}};
  const auto text = [](std::uintptr_t param) { return *engine::MessageString(param); };
  switch (message) {
    case 0x823: case 0x810: case 0x812:
      r.wText = text(wParam);
      r.lText = text(lParam);
      r.w = r.l = 0;
      break;
    case 0x811: {
      const std::wstring* const* values = engine::MessageStringPair(lParam);
      r.wText = text(wParam);
      r.lText = *values[0] + L"->" + *values[1];
      r.w = r.l = 0;
      break;
    }
    case 0x805: case 0x807: case 0x81F: case 0x820: case 0x808: case 0x815:
      r.wText = text(wParam);
      r.w = 0;
      break;
    case 0x80F: case 0x804: case 0x814: case 0x819:
      r.wText = MediaText(wParam);
      r.w = 0;
      break;
    case 0x81D:
      r.wText = PlaylistText(wParam);
      r.w = 0;
      break;
    case 0x850:
      r.lText = MediaText(lParam);
      r.l = 0;
      [[fallthrough]];
    case 0x84C: case 0x84D: case 0x84E: case 0x84F: case 0x851:
      r.wText = DeviceText(wParam);
      r.w = 0;
      break;
    default:
      break;
  }
  return r;
}

constexpr LRESULT kHandled = 0x5A;

class RecorderWindow {
 public:
  RecorderWindow() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = &RecorderWindow::Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"MarimbaEventRecorder";
    RegisterClassW(&windowClass);  // a second registration fails harmlessly
    window_ = CreateWindowExW(0, L"MarimbaEventRecorder", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                              nullptr, GetModuleHandleW(nullptr), this);
  }
  ~RecorderWindow() { DestroyWindow(window_); }
  RecorderWindow(const RecorderWindow&) = delete;
  RecorderWindow& operator=(const RecorderWindow&) = delete;

  HWND Handle() const { return window_; }
  std::vector<Record> records;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      const auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
      SetWindowLongPtrW(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<RecorderWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message >= engine::kMsgFirstPlayerEvent &&
        message <= engine::kMsgLastPlayerEvent) {
      try {
        self->records.push_back(Decode(message, wParam, lParam));
      } catch (...) {
        return 0;
      }
      return kHandled;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
  HWND window_ = nullptr;
};

// --- dispatch arguments ------------------------------------------------------

// VARIANTs in declaration order; dispatch gets them last first. Objects are
// AddRef'd in and released by VariantClear.
class Arguments {
 public:
  Arguments() = default;
  Arguments(const Arguments&) = delete;
  Arguments& operator=(const Arguments&) = delete;
  ~Arguments() {
    for (VARIANT& v : reversed_) VariantClear(&v);
  }
  Arguments& I2(short value) { return Add(VT_I2, [&](VARIANT& v) { v.iVal = value; }); }
  Arguments& I4(LONG value) { return Add(VT_I4, [&](VARIANT& v) { v.lVal = value; }); }
  Arguments& R8(double value) { return Add(VT_R8, [&](VARIANT& v) { v.dblVal = value; }); }
  Arguments& Bool(bool value) {
    return Add(VT_BOOL, [&](VARIANT& v) { v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE; });
  }
  Arguments& Text(const wchar_t* text) {
    return Add(VT_BSTR, [&](VARIANT& v) { v.bstrVal = SysAllocString(text); });
  }
  Arguments& Dispatch(IDispatch* object) {
    object->AddRef();
    return Add(VT_DISPATCH, [&](VARIANT& v) { v.pdispVal = object; });
  }
  Arguments& Unknown(IUnknown* object) {
    object->AddRef();
    return Add(VT_UNKNOWN, [&](VARIANT& v) { v.punkVal = object; });
  }
  Arguments& Error(HRESULT code) { return Add(VT_ERROR, [&](VARIANT& v) { v.scode = code; }); }

  DISPPARAMS Params() {
    return DISPPARAMS{reversed_.empty() ? nullptr : reversed_.data(), nullptr,
                      static_cast<UINT>(reversed_.size()), 0};
  }

 private:
  template <class Set>
  Arguments& Add(VARTYPE type, const Set& set) {
    VARIANT v;
    VariantInit(&v);
    v.vt = type;
    set(v);
    reversed_.insert(reversed_.begin(), v);
    return *this;
  }
  std::vector<VARIANT> reversed_;
};

// --- fixtures -----------------------------------------------------------------

class ThrowingEvents : public wmp::PlayerEventsBase {
 public:
  void CdromMediaChange(long index) override {
    calls.push_back(index);
    throw std::runtime_error("handler failed");
  }
  std::vector<long> calls;
};

class SinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(window_.Handle(), nullptr);
    dispatch_->SetMainWindow(&target_);
    sink_ = ComEventSink::Create(dispatch_);
    ASSERT_TRUE(sink_);
  }
  void TearDown() override {
    sink_.Reset();
    EXPECT_EQ(media_.references, 0) << "every reference the sink took is given back";
    EXPECT_EQ(other_.references, 0);
    EXPECT_EQ(playlist_.references, 0);
    EXPECT_EQ(device_.references, 0);
    EXPECT_EQ(plain_.references, 0);
  }

  ComPtr<IDispatch> DispatchFace() { return sink_.Query<IDispatch>(); }
  ComPtr<IWMPEvents2> EventsFace() { return sink_.Query<IWMPEvents2>(); }
  HRESULT Invoke(DISPID id, Arguments& arguments) {
    DISPPARAMS params = arguments.Params();
    return DispatchFace()->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                  nullptr, nullptr, nullptr);
  }

  RecorderWindow window_;
  engine::win32::WindowMessageTarget target_{window_.Handle()};
  std::shared_ptr<engine::CWMPEventDispatch> dispatch_ =
      std::make_shared<engine::CWMPEventDispatch>();
  ComPtr<ComEventSink> sink_;

  FakeMedia media_{L"Track 1"};
  FakeMedia other_{L"Track 2"};
  FakePlaylist playlist_{L"Disc", media_};
  FakeDevice device_{L"Player"};
  FakeDispatch<IDispatch> plain_;
};

// One event both ways: its dispatch id with its arguments, and the same call
// through the IWMPEvents2 vtable.
struct EventCase {
  const char* name;
  DISPID id;
  std::function<void(Arguments&)> arguments;
  std::function<void(IWMPEvents2&)> call;
  std::vector<Record> expected;
};

class SinkEvents : public SinkTest {
 protected:
  std::vector<EventCase> Cases() {
    const HRESULT diskFull = HRESULT_FROM_WIN32(ERROR_DISK_FULL);
    return {
        {"OpenStateChange", 5001, [](Arguments& a) { a.I4(13); },
         [](IWMPEvents2& e) { e.OpenStateChange(13); }, {{0x81A, 13, 0, L"", L""}}},
        {"StatusChange", 5002, [](Arguments&) {}, [](IWMPEvents2& e) { e.StatusChange(); },
         {{0x824, 0, 0, L"", L""}}},
        {"PlayStateChange", 5101, [](Arguments& a) { a.I4(3); },
         [](IWMPEvents2& e) { e.PlayStateChange(3); }, {{0x821, 3, 0, L"", L""}}},
        {"EndOfStream sends nothing", 5201, [](Arguments& a) { a.I4(0); },
         [](IWMPEvents2& e) { e.EndOfStream(0); }, {}},
        {"PositionChange", 5202, [](Arguments& a) { a.R8(12.9).R8(-0.5); },
         [](IWMPEvents2& e) { e.PositionChange(12.9, -0.5); }, {{0x822, 12, 0, L"", L""}}},
        {"ScriptCommand keeps argument order", 5301,
         [](Arguments& a) { a.Text(L"URL").Text(L"http://x/"); },
         [](IWMPEvents2& e) {
           Bstr type = Bstr::FromString(L"URL"), param = Bstr::FromString(L"http://x/");
           e.ScriptCommand(type.Get(), param.Get());
         },
         {{0x823, 0, 0, L"URL", L"http://x/"}}},
        {"Buffering true is all ones", 5402, [](Arguments& a) { a.Bool(true); },
         [](IWMPEvents2& e) { e.Buffering(VARIANT_TRUE); }, {{0x801, -1, 0, L"", L""}}},
        {"CdromMediaChange", 5701, [](Arguments& a) { a.I4(1); },
         [](IWMPEvents2& e) { e.CdromMediaChange(1); }, {{0x802, 1, 0, L"", L""}}},
        {"PlaylistChange", 5801, [this](Arguments& a) { a.Dispatch(&playlist_).I4(8); },
         [this](IWMPEvents2& e) { e.PlaylistChange(&playlist_, wmplcNameChange); },
         {{0x81D, 0, 8, L"playlist:Disc/media:Track 1", L""}}},
        {"MediaChange", 5802, [this](Arguments& a) { a.Dispatch(&media_); },
         [this](IWMPEvents2& e) { e.MediaChange(&media_); },
         {{0x80F, 0, 0, L"media:Track 1", L""}}},
        {"MediaChange without a media item", 5802, [this](Arguments& a) { a.Dispatch(&plain_); },
         [this](IWMPEvents2& e) { e.MediaChange(&plain_); }, {{0x80F, 0, 0, L"null", L""}}},
        {"MediaCollectionAttributeStringChanged", 5820,
         [](Arguments& a) { a.Text(L"Album").Text(L"前").Text(L"後"); },
         [](IWMPEvents2& e) {
           Bstr name = Bstr::FromString(L"Album"), before = Bstr::FromString(L"前"),
                after = Bstr::FromString(L"後");
           e.MediaCollectionAttributeStringChanged(name.Get(), before.Get(), after.Get());
         },
         {{0x811, 0, 0, L"Album", L"前->後"}}},
        {"ModeChange", 5819, [](Arguments& a) { a.Text(L"shuffle").Bool(true); },
         [](IWMPEvents2& e) {
           Bstr mode = Bstr::FromString(L"shuffle");
           e.ModeChange(mode.Get(), VARIANT_TRUE);
         },
         {{0x815, 0, -1, L"shuffle", L""}}},
        {"SwitchedToControl", 6502, [](Arguments&) {},
         [](IWMPEvents2& e) { e.SwitchedToControl(); }, {{0x825, 0, 0, L"", L""}}},
        {"Click sends nothing", 6505, [](Arguments& a) { a.I2(1).I2(0).I4(5).I4(6); },
         [](IWMPEvents2& e) { e.Click(1, 0, 5, 6); }, {}},
        {"DeviceConnect", 6513, [this](Arguments& a) { a.Unknown(&device_); },
         [this](IWMPEvents2& e) { e.DeviceConnect(&device_); },
         {{0x84D, 0, 0, L"device:Player", L""}}},
        {"DeviceStatusChange", 6515, [this](Arguments& a) { a.Unknown(&device_).I4(2); },
         [this](IWMPEvents2& e) { e.DeviceStatusChange(&device_, wmpdsPartnershipDeclined); },
         {{0x84F, 0, 2, L"device:Player", L""}}},
        {"DeviceSyncStateChange", 6516, [this](Arguments& a) { a.Unknown(&device_).I4(1); },
         [this](IWMPEvents2& e) { e.DeviceSyncStateChange(&device_, wmpssSynchronizing); },
         {{0x851, 0, 1, L"device:Player", L""}}},
        {"DeviceSyncError", 6517,
         [this](Arguments& a) { a.Unknown(&device_).Dispatch(&other_); },
         [this](IWMPEvents2& e) { e.DeviceSyncError(&device_, &other_); },
         {{0x850, 0, 0, L"device:Player", L"media:Track 2"}}},
        {"CreatePartnershipComplete", 6518,
         [this, diskFull](Arguments& a) { a.Unknown(&device_).Error(diskFull); },
         [this, diskFull](IWMPEvents2& e) { e.CreatePartnershipComplete(&device_, diskFull); },
         {{0x84C, 0, diskFull, L"device:Player", L""}}},
    };
  }
};

// --- remote host ----------------------------------------------------------

class RemoteHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_ = ComRemoteHost::Create(answers_);
    ASSERT_TRUE(host_);
  }
  ComPtr<IWMPRemoteMediaServices> Services() {
    return host_.Query<IWMPRemoteMediaServices>();
  }

  res::win32::ModuleStringTable strings_{GetModuleHandleW(nullptr)};
  std::shared_ptr<engine::CRemoteHost> answers_ = std::make_shared<engine::CRemoteHost>(strings_);
  ComPtr<ComRemoteHost> host_;
};

TEST_F(RemoteHostTest, AnswersOnlyItsThreeInterfaces) {
  const struct {
    const char* name;
    IID iid;
    HRESULT expected;
  } cases[] = {
      {"IUnknown", IID_IUnknown, S_OK},
      {"IServiceProvider", __uuidof(IServiceProvider), S_OK},
      {"IWMPRemoteMediaServices", __uuidof(IWMPRemoteMediaServices), S_OK},
      {"IDispatch", IID_IDispatch, E_NOINTERFACE},
      {"IOleClientSite", IID_IOleClientSite, E_NOINTERFACE},
      {"IWMPEvents", __uuidof(IWMPEvents), E_NOINTERFACE},
  };
  ComPtr<IUnknown> identity;
  ASSERT_EQ(host_->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(identity.Receive())),
            S_OK);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (IUnknown* face : {static_cast<IUnknown*>(static_cast<IServiceProvider*>(host_.Get())),
                           static_cast<IUnknown*>(Services().Get())}) {
      void* object = reinterpret_cast<void*>(1);
      EXPECT_EQ(face->QueryInterface(c.iid, &object), c.expected);
      if (c.expected != S_OK) {
        EXPECT_EQ(object, nullptr);
        continue;
      }
      ASSERT_NE(object, nullptr);
      ComPtr<IUnknown> answer = ComPtr<IUnknown>::Adopt(static_cast<IUnknown*>(object));
      ComPtr<IUnknown> same = answer.Query<IUnknown>();
      EXPECT_EQ(same.Get(), identity.Get()) << "one identity for every face";
    }
  }
  EXPECT_EQ(host_->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
}

TEST_F(RemoteHostTest, CountsReferencesAndGoesWithTheLast) {
  EXPECT_EQ(answers_.use_count(), 2);
  IServiceProvider* raw = host_.Detach();
  EXPECT_EQ(raw->AddRef(), 2u);
  ComPtr<IWMPRemoteMediaServices> services;
  ASSERT_EQ(raw->QueryInterface(__uuidof(IWMPRemoteMediaServices),
                                reinterpret_cast<void**>(services.Receive())),
            S_OK);
  EXPECT_EQ(services->AddRef(), 4u) << "both faces share one count";
  EXPECT_EQ(services->Release(), 3u);
  services.Reset();
  EXPECT_EQ(raw->Release(), 1u);
  EXPECT_EQ(answers_.use_count(), 2);
  EXPECT_EQ(raw->Release(), 0u);
  EXPECT_EQ(answers_.use_count(), 1) << "the host is gone";
}

TEST_F(RemoteHostTest, QueryServiceIgnoresTheServiceId) {
  const GUID services[] = {GUID_NULL, __uuidof(IWMPRemoteMediaServices), IID_IOleClientSite};
  for (const GUID& service : services) {
    ComPtr<IWMPRemoteMediaServices> answer;
    EXPECT_EQ(host_->QueryService(service, __uuidof(IWMPRemoteMediaServices),
                                  reinterpret_cast<void**>(answer.Receive())),
              S_OK);
    EXPECT_EQ(answer.Get(), Services().Get());
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(host_->QueryService(service, IID_IDispatch, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
  }
  EXPECT_EQ(host_->QueryService(GUID_NULL, IID_IUnknown, nullptr), E_POINTER);
}

TEST_F(RemoteHostTest, NamesItsServiceTypeAndTheTool) {
  ComPtr<IWMPRemoteMediaServices> services = Services();
  Bstr type, name;
  ASSERT_EQ(services->GetServiceType(type.Receive()), S_OK);
  EXPECT_EQ(type.ToString(), L"Remote");
  EXPECT_EQ(SysStringLen(type.Get()), 6u);
  ASSERT_EQ(services->GetApplicationName(name.Receive()), S_OK);
  EXPECT_EQ(name.ToString(), L"ルミナート");
  EXPECT_EQ(services->GetServiceType(nullptr), E_POINTER);
  EXPECT_EQ(services->GetApplicationName(nullptr), E_POINTER);
}

TEST_F(RemoteHostTest, FailsTheNameWhenTheTableLacksIt) {
  class NoStrings : public res::IStringTable {
   public:
    std::wstring Load(unsigned) const override { return {}; }
  } empty;
  ComPtr<ComRemoteHost> host = ComRemoteHost::Create(std::make_shared<engine::CRemoteHost>(empty));
  BSTR name = reinterpret_cast<BSTR>(1);
  EXPECT_EQ(host->GetApplicationName(&name), E_POINTER);
  EXPECT_EQ(name, nullptr);
}

TEST_F(RemoteHostTest, OffersNoScriptableObjectAndNoCustomUi) {
  ComPtr<IWMPRemoteMediaServices> services = Services();
  BSTR name = reinterpret_cast<BSTR>(1);
  IDispatch* object = reinterpret_cast<IDispatch*>(1);
  EXPECT_EQ(services->GetScriptableObject(&name, &object), E_NOTIMPL);
  EXPECT_EQ(name, nullptr);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(services->GetScriptableObject(nullptr, nullptr), E_NOTIMPL);
  Bstr file;
  EXPECT_EQ(services->GetCustomUIMode(file.Receive()), E_NOTIMPL);
}

// --- event sink: identity ---------------------------------------------------

TEST_F(SinkTest, AnswersItsFacesButNotIWMPEventsAlone) {
  const struct {
    const char* name;
    IID iid;
    HRESULT expected;
  } cases[] = {
      {"IUnknown", IID_IUnknown, S_OK},
      {"IWMPEvents2", __uuidof(IWMPEvents2), S_OK},
      {"_WMPOCXEvents", __uuidof(_WMPOCXEvents), S_OK},
      {"IDispatch", IID_IDispatch, S_OK},
      {"IWMPEvents", __uuidof(IWMPEvents), E_NOINTERFACE},
      {"IWMPEvents3", __uuidof(IWMPEvents3), E_NOINTERFACE},
      {"IServiceProvider", __uuidof(IServiceProvider), E_NOINTERFACE},
  };
  ComPtr<IUnknown> identity = EventsFace().Query<IUnknown>();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (IUnknown* face : {static_cast<IUnknown*>(EventsFace().Get()),
                           static_cast<IUnknown*>(DispatchFace().Get())}) {
      void* object = reinterpret_cast<void*>(1);
      EXPECT_EQ(face->QueryInterface(c.iid, &object), c.expected);
      if (c.expected != S_OK) {
        EXPECT_EQ(object, nullptr);
        continue;
      }
      ComPtr<IUnknown> answer = ComPtr<IUnknown>::Adopt(static_cast<IUnknown*>(object));
      EXPECT_EQ(answer.Query<IUnknown>().Get(), identity.Get());
    }
  }
  EXPECT_EQ(sink_.Query<_WMPOCXEvents>().Get(),
            static_cast<_WMPOCXEvents*>(DispatchFace().Get()));
  EXPECT_EQ(identity.Get(), sink_->Identity());
}

TEST_F(SinkTest, CountsReferencesAndGoesWithTheLast) {
  EXPECT_EQ(dispatch_.use_count(), 2);
  IDispatch* dispatch = nullptr;
  ASSERT_EQ(sink_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
  EXPECT_EQ(dispatch->AddRef(), 3u);
  EXPECT_EQ(dispatch->Release(), 2u);
  EXPECT_EQ(dispatch->Release(), 1u);
  ComEventSink* last = sink_.Detach();
  EXPECT_EQ(last->Release(), 0u);
  EXPECT_EQ(dispatch_.use_count(), 1) << "the sink is gone";
}

TEST_F(SinkTest, HasNoTypeInformation) {
  ComPtr<IDispatch> dispatch = DispatchFace();
  UINT count = 7;
  EXPECT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 0u);
  ITypeInfo* info = reinterpret_cast<ITypeInfo*>(1);
  EXPECT_EQ(dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info), E_NOTIMPL);
  EXPECT_EQ(info, nullptr);
}

// --- event sink: events -------------------------------------------------------

TEST_F(SinkEvents, InvokeSendsEachEventAndThenAnswersMemberNotFound) {
  for (const EventCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    window_.records.clear();
    Arguments arguments;
    c.arguments(arguments);
    EXPECT_EQ(Invoke(c.id, arguments), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(window_.records, c.expected);
  }
}

TEST_F(SinkEvents, TheVtableGivesTheSameMessages) {
  ComPtr<IWMPEvents2> events = EventsFace();
  for (const EventCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    window_.records.clear();
    c.call(*events.Get());
    EXPECT_EQ(window_.records, c.expected);
  }
}

TEST_F(SinkTest, InvokeRefusesMissingAndNamedArgumentsWithoutSending) {
  ComPtr<IDispatch> dispatch = DispatchFace();
  EXPECT_EQ(dispatch->Invoke(5701, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr,
                             nullptr),
            E_POINTER);

  Arguments arguments;
  arguments.I4(1);
  DISPPARAMS named = arguments.Params();
  DISPID names[] = {0};
  named.rgdispidNamedArgs = names;
  named.cNamedArgs = 1;
  EXPECT_EQ(dispatch->Invoke(5701, IID_NULL, 0, DISPATCH_METHOD, &named, nullptr, nullptr,
                             nullptr),
            DISP_E_NONAMEDARGS);

  Arguments one;
  one.R8(3.0);
  EXPECT_EQ(Invoke(5202, one), DISP_E_BADPARAMCOUNT) << "PositionChange takes two";
  EXPECT_TRUE(window_.records.empty());
}

TEST_F(SinkTest, InvokeOfOtherIdsSendsNothing) {
  for (DISPID id : {0, 5000, 5003, 6519, 6600, -1}) {
    SCOPED_TRACE(id);
    Arguments arguments;
    arguments.I4(1).I4(2);
    EXPECT_EQ(Invoke(id, arguments), DISP_E_MEMBERNOTFOUND);
  }
  EXPECT_TRUE(window_.records.empty());
}

TEST_F(SinkTest, DropsEventsWhileNoMainWindowIsSet) {
  dispatch_->SetMainWindow(nullptr);
  Arguments arguments;
  arguments.I4(1);
  EXPECT_EQ(Invoke(5701, arguments), DISP_E_MEMBERNOTFOUND);
  EventsFace()->CdromMediaChange(1);
  EXPECT_TRUE(window_.records.empty());
}

TEST_F(SinkTest, KeepsAFailingHandlerInsideTheSink) {
  auto handler = std::make_shared<ThrowingEvents>();
  ComPtr<ComEventSink> sink = ComEventSink::Create(handler);
  ASSERT_TRUE(sink);
  ComPtr<IWMPEvents2> events = sink.Query<IWMPEvents2>();
  events->CdromMediaChange(0);
  events->CdromMediaChange(1);
  EXPECT_EQ(handler->calls, (std::vector<long>{0, 1}))
      << "the failure ends inside the sink, which goes on forwarding";
  Arguments arguments;
  arguments.I4(0);
  DISPPARAMS params = arguments.Params();
  EXPECT_EQ(sink.Query<IDispatch>()->Invoke(5701, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr,
                                            nullptr, nullptr),
            DISP_E_MEMBERNOTFOUND);
}

TEST_F(SinkTest, TheWindowTargetReturnsTheHandlersResult) {
  EXPECT_EQ(target_.Send(engine::kMsgCdromMediaChange, 4, 0), kHandled);
  ASSERT_EQ(window_.records.size(), 1u);
  EXPECT_EQ(window_.records[0].w, 4);
}

// --- views of the platform's objects -----------------------------------------

TEST_F(SinkTest, ViewsCallThroughToThePlatformObjects) {
  {
    engine::win32::ComSyncDeviceView device(&device_);
    engine::win32::ComSyncDeviceView same(&device_);
    FakeDevice another(L"Other");
    engine::win32::ComSyncDeviceView other(&another);
    long value = 0;
    bool flag = false;
    EXPECT_EQ(device.Status(&value), S_OK);
    EXPECT_EQ(value, 2);
    EXPECT_EQ(device.PartnershipIndex(&value), S_OK);
    EXPECT_EQ(value, 3);
    EXPECT_EQ(device.Connected(&flag), S_OK);
    EXPECT_TRUE(flag);
    EXPECT_EQ(device.Stop(), S_OK);
    EXPECT_EQ(device_.stops, 1);
    EXPECT_EQ(device.CreatePartnership(), S_OK);
    EXPECT_EQ(device_.partnershipUi, VARIANT_FALSE) << "no partnership dialog";
    EXPECT_EQ(device.IsIdentical(&same, &flag), S_OK);
    EXPECT_TRUE(flag);
    EXPECT_EQ(device.IsIdentical(&other, &flag), S_OK);
    EXPECT_FALSE(flag);

    engine::win32::ComMediaView media(&media_);
    engine::win32::ComPlaylistView playlist(&playlist_);
    double seconds = 0;
    EXPECT_EQ(media.Duration(&seconds), S_OK);
    EXPECT_EQ(seconds, 215.5);
    EXPECT_EQ(media.SetName(L"新しい名前"), S_OK);
    EXPECT_EQ(media_.title, L"新しい名前");
    EXPECT_EQ(playlist.AppendItem(&media), S_OK);
    EXPECT_EQ(playlist_.appended, static_cast<IWMPMedia*>(&media_));

    engine::win32::ComMediaView none(&plain_);
    EXPECT_EQ(none.OrNull(), nullptr);
    std::wstring name;
    EXPECT_EQ(none.Name(&name), wmp::kPointer);
    EXPECT_EQ(media.IsIdentical(&none, &flag), S_OK);
    EXPECT_FALSE(flag);
  }
}

}  // namespace
