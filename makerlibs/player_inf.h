/* What the maker libraries read of a player storage: the identity file
   "PLAYER.INF" in the root of each of its drives (UTF-8 "key=value" lines,
   see tools/make-demo-player). */
#ifndef MAKERLIBS_PLAYER_INF_H
#define MAKERLIBS_PLAYER_INF_H

#include <stddef.h>

struct PlayerInf {
  int hasSerial;  /* a storage without a serial number is no player */
  int ourMaker;   /* Maker absent or "Orbit" (ASCII case ignored) */
  int isCard;     /* Storage=Card: a memory card, not the main storage */
};

/* Parses the bytes of an identity file; a byte-order mark, CRLF line ends,
   blanks around keys and values and the case of key names are accepted. */
void ParsePlayerInf(const char* text, size_t length, struct PlayerInf* inf);

#endif
