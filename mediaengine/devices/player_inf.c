#include "mediaengine/devices/player_inf.h"

#include <string.h>

static int IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

static char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c; }

int PlayerInfValueIs(struct PlayerInfValue value, const char* word) {
  size_t i;
  if (!value.text || strlen(word) != value.length) return 0;
  for (i = 0; i < value.length; ++i) {
    if (LowerAscii(value.text[i]) != LowerAscii(word[i])) return 0;
  }
  return 1;
}

static struct PlayerInfValue Trimmed(const char* begin, const char* end) {
  struct PlayerInfValue value;
  while (begin < end && IsBlank(*begin)) ++begin;
  while (end > begin && IsBlank(end[-1])) --end;
  value.text = begin;
  value.length = (size_t)(end - begin);
  return value;
}

int ParsePlayerInf(const char* bytes, size_t length, struct PlayerInf* inf) {
  const char* at;
  const char* stop;
  memset(inf, 0, sizeof *inf);
  if (!bytes || length > PLAYER_INF_MAX_BYTES || memchr(bytes, '\0', length)) return 0;
  at = bytes;
  stop = bytes + length;
  if (length >= 3 && memcmp(bytes, "\xEF\xBB\xBF", 3) == 0) at += 3;
  while (at < stop) {
    const char* lineEnd = (const char*)memchr(at, '\n', (size_t)(stop - at));
    const char* equals;
    if (!lineEnd) lineEnd = stop;
    equals = (const char*)memchr(at, '=', (size_t)(lineEnd - at));
    if (equals) {
      const struct PlayerInfValue key = Trimmed(at, equals);
      const struct PlayerInfValue value = Trimmed(equals + 1, lineEnd);
      if (PlayerInfValueIs(key, "Maker")) {
        inf->maker = value;
      } else if (PlayerInfValueIs(key, "Model")) {
        inf->model = value;
      } else if (PlayerInfValueIs(key, "Serial")) {
        inf->serial = value;
      } else if (PlayerInfValueIs(key, "Storage")) {
        inf->storage = value;
      } else if (PlayerInfValueIs(key, "SyncFolder")) {
        inf->syncFolder = value;
      } else if (PlayerInfValueIs(key, "Capacity")) {
        inf->capacity = value;
      }
    }
    if (lineEnd == stop) break;
    at = lineEnd + 1;
  }
  inf->isCard = PlayerInfValueIs(inf->storage, "Card");
  return inf->serial.length > 0;
}
