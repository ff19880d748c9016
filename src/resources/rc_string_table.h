#pragma once
// The string table read straight from the resource script (strings.rc, with
// its symbolic ids resolved through resource.h), so that code running
// without the linked resources sees exactly the texts of the Win32 build.
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "resources/string_table.h"

namespace res {

class RcStringTable : public IStringTable {
 public:
  // Reads `folder`/strings.rc and `folder`/resource.h. A missing or damaged
  // script leaves the table empty (all or nothing) and Loaded() false.
  explicit RcStringTable(const std::filesystem::path& folder);

  std::wstring Load(unsigned id) const override;

  bool Loaded() const { return loaded_; }
  // What went wrong while reading; empty when Loaded().
  const std::string& Error() const { return error_; }
  // Every id of the table, ascending.
  std::vector<unsigned> Ids() const;

  // The same from texts in memory: the script and the header that defines
  // its symbols.
  static RcStringTable FromText(const std::string& script, const std::string& header);

 private:
  RcStringTable() = default;
  void Parse(const std::string& script, const std::string& header);

  std::map<unsigned, std::wstring> texts_;
  bool loaded_ = false;
  std::string error_;
};

}  // namespace res
