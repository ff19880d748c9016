#pragma once
// What the tool answers when the engine asks who hosts it: a "remote" host
// named with the tool's title, so the engine runs without its own window.
#include <string>

#include "engine/model/player.h"
#include "resources/string_table.h"

namespace engine {

// The engine's name for a host that embeds it without its user interface.
extern const wchar_t kRemoteServiceType[];

class CRemoteHost : public wmp::IRemoteHost {
 public:
  // Borrows `strings`; it must outlive the host.
  explicit CRemoteHost(const res::IStringTable& strings) : strings_(strings) {}
  CRemoteHost(const CRemoteHost&) = delete;
  CRemoteHost& operator=(const CRemoteHost&) = delete;

  // "Remote"; kPointer for a null `type` or when the text cannot be made.
  wmp::HResult GetServiceType(std::wstring* type) override;
  // The tool's title (IDS_APP_TITLE); kPointer for a null `name` or when
  // the text cannot be produced (missing from the table, out of memory).
  wmp::HResult GetApplicationName(std::wstring* name) override;

 private:
  const res::IStringTable& strings_;
};

}  // namespace engine
