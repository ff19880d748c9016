/* The identity file "PLAYER.INF" in the root of each drive of a player:
   UTF-8 "key=value" lines. One reading for the media engine and for the
   maker's PlatDevice.dll (which is C), so both always agree on which drives
   are players, which are memory cards and what their serial numbers are.

   The rules: a file larger than PLAYER_INF_MAX_BYTES or holding a NUL byte
   is no identity file; a byte-order mark is skipped; lines end at a line
   feed (a carriage return is a blank); a line is split at its first "=";
   blanks (space, tab, CR) around keys and values are dropped; key names
   ignore ASCII case; unknown keys and lines without "=" are skipped; when a
   key is given twice, its last line counts. Values are bytes: the engine
   decodes them with its strict UTF-8 decoder, which never turns bytes into
   a line feed or an "=", so splitting bytes here is the same as splitting
   the decoded text. */
#ifndef MEDIAENGINE_DEVICES_PLAYER_INF_H
#define MEDIAENGINE_DEVICES_PLAYER_INF_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* A few short lines; anything larger is not an identity file. */
#define PLAYER_INF_MAX_BYTES 4096

/* A value as it lies in the file's bytes; `text` is NULL when the key is absent. */
struct PlayerInfValue {
  const char* text;
  size_t length;
};

struct PlayerInf {
  struct PlayerInfValue maker;
  struct PlayerInfValue model;
  struct PlayerInfValue serial;     /* never empty in an identity file */
  struct PlayerInfValue storage;    /* "Internal" (the default) or "Card" */
  struct PlayerInfValue syncFolder; /* "Root" (the default) or "Music" */
  struct PlayerInfValue capacity;   /* bytes, decimal */
  int isCard;                       /* Storage is "Card", ASCII case ignored */
};

/* Nonzero when `bytes` are an identity file: within the size limit, no NUL,
   and a Serial that is not empty. `inf` is filled in either way; its values
   point into `bytes`. */
int ParsePlayerInf(const char* bytes, size_t length, struct PlayerInf* inf);

/* Whether a value equals `word`, ASCII case ignored. */
int PlayerInfValueIs(struct PlayerInfValue value, const char* word);

#ifdef __cplusplus
}
#endif

#endif
