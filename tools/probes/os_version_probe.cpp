// Prints the Windows version the program sees, as "major.minor", for the
// harness check that a prefix reports the version it was made for.
#include <windows.h>

#include <cstdio>

int main() {
  OSVERSIONINFOW info = {};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExW(&info)) return 1;
  std::printf("%lu.%lu\n", info.dwMajorVersion, info.dwMinorVersion);
  return 0;
}
