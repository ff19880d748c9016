#pragma once
// String-table port: every user-visible text, by its resource id. The Win32
// build reads the STRINGTABLE linked into the module; native code reads the
// same resource script, so both see exactly the same texts.
#include <string>

namespace res {

class IStringTable {
 public:
  virtual ~IStringTable() = default;
  // The text of `id`; empty when there is no such string.
  virtual std::wstring Load(unsigned id) const = 0;
};

}  // namespace res
