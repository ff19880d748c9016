// What the engine learns about its host: the service type and the tool's
// title from the very string table the Win32 build links.
#include "engine/remote_host.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "resources/rc_string_table.h"
#include "resources/resource.h"

namespace {

class MapStrings : public res::IStringTable {
 public:
  std::wstring Load(unsigned id) const override {
    const auto found = texts.find(id);
    return found == texts.end() ? std::wstring() : found->second;
  }
  std::map<unsigned, std::wstring> texts;
};

TEST(RemoteHost, AnswersRemoteAndTheToolsTitle) {
  const res::RcStringTable strings(MARIMBA_RESOURCE_DIR);
  ASSERT_TRUE(strings.Loaded()) << strings.Error();
  engine::CRemoteHost host(strings);
  std::wstring type = L"stale", name = L"stale";
  EXPECT_EQ(host.GetServiceType(&type), wmp::kOk);
  EXPECT_EQ(type, L"Remote");
  EXPECT_EQ(host.GetApplicationName(&name), wmp::kOk);
  EXPECT_EQ(name, L"ルミナート");
}

TEST(RemoteHost, ReadsTheNameFromEntry102AndFailsWithoutIt) {
  MapStrings strings;
  strings.texts = {{101, L"about"}, {IDS_APP_TITLE, L"Title 102"}};
  engine::CRemoteHost host(strings);
  std::wstring name;
  EXPECT_EQ(host.GetApplicationName(&name), wmp::kOk);
  EXPECT_EQ(name, L"Title 102");

  strings.texts.erase(IDS_APP_TITLE);
  name = L"kept";
  EXPECT_EQ(host.GetApplicationName(&name), wmp::kPointer);
  EXPECT_EQ(name, L"kept");
}

TEST(RemoteHost, RefusesNullOutputs) {
  MapStrings strings;
  strings.texts = {{IDS_APP_TITLE, L"x"}};
  engine::CRemoteHost host(strings);
  EXPECT_EQ(host.GetServiceType(nullptr), wmp::kPointer);
  EXPECT_EQ(host.GetApplicationName(nullptr), wmp::kPointer);
}

}  // namespace
