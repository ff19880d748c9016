/* PlatDevice.dll: tells which drive letters belong to the maker's players.
   A drive is a player storage when its root holds an identity file of ours;
   the main storage is every such storage that is not a memory card. */
#include <windows.h>

/* The same reading of the identity file as the media engine's. */
#include "mediaengine/devices/player_inf.h"

/* The caller's buffer holds 33 bytes: at most 32 letters and the NUL. */
#define MAX_LETTERS 32

/* A player of ours: an identity file whose Maker is absent, empty or "Orbit". */
static BOOL ReadPlayerInf(WCHAR letter, struct PlayerInf* inf) {
  WCHAR path[] = L"?:\\PLAYER.INF";
  /* One byte more than an identity file may hold tells a larger file apart. */
  char bytes[PLAYER_INF_MAX_BYTES + 1];
  DWORD total = 0;
  HANDLE file;
  BOOL read = TRUE;
  path[0] = letter;
  file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return FALSE;
  while (read && total < sizeof bytes) {
    DWORD done = 0;
    read = ReadFile(file, bytes + total, (DWORD)(sizeof bytes - total), &done, NULL);
    if (!done) break;
    total += done;
  }
  CloseHandle(file);
  if (!read || !ParsePlayerInf(bytes, total, inf)) return FALSE;
  return inf->maker.length == 0 || PlayerInfValueIs(inf->maker, "Orbit");
}

static BOOL CollectLetters(LPSTR buffer, BOOL mainOnly) {
  DWORD mask;
  UINT oldMode;
  int count = 0;
  int i;
  if (!buffer) return FALSE;
  /* An empty card reader must not pop up "insert a disk". */
  oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  mask = GetLogicalDrives();
  for (i = 0; i < 26 && count < MAX_LETTERS; ++i) {
    WCHAR root[] = L"?:\\";
    UINT type;
    struct PlayerInf inf;
    if (!(mask & (1u << i))) continue;
    root[0] = (WCHAR)(L'A' + i);
    type = GetDriveTypeW(root);
    if (type != DRIVE_REMOVABLE && type != DRIVE_FIXED) continue;
    if (!ReadPlayerInf(root[0], &inf)) continue;
    if (mainOnly && inf.isCard) continue;
    buffer[count++] = (char)('A' + i);
  }
  buffer[count] = '\0';
  SetErrorMode(oldMode);
  return TRUE;
}

BOOL WINAPI CmnDeviceGetDriveNo(LPSTR buffer) { return CollectLetters(buffer, FALSE); }

BOOL WINAPI CmnDeviceGetDriveNoMain(LPSTR buffer) { return CollectLetters(buffer, TRUE); }
