#include "os/drives.h"

namespace os {

std::wstring DriveRoot(wchar_t letter) { return std::wstring{letter, L':', L'\\'}; }

}  // namespace os
