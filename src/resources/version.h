#pragma once
// The product version, kept here only: the resource script's version record
// and the setup program (tools/installer) both read these three lines.
#define MARIMBA_VERSION_MAJOR 1
#define MARIMBA_VERSION_MINOR 0
#define MARIMBA_VERSION_PATCH 0

#define MARIMBA_VERSION_STRINGIZE2(x) #x
#define MARIMBA_VERSION_STRINGIZE(x) MARIMBA_VERSION_STRINGIZE2(x)
// "major.minor.patch"
#define MARIMBA_VERSION_TEXT                             \
  MARIMBA_VERSION_STRINGIZE(MARIMBA_VERSION_MAJOR) "."   \
  MARIMBA_VERSION_STRINGIZE(MARIMBA_VERSION_MINOR) "."   \
  MARIMBA_VERSION_STRINGIZE(MARIMBA_VERSION_PATCH)
