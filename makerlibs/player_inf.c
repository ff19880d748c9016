#include "player_inf.h"

#include <string.h>

static int IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

static char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c; }

/* Whether [text, text + length) equals `word`, ASCII case ignored. */
static int SameWord(const char* text, size_t length, const char* word) {
  size_t i;
  if (strlen(word) != length) return 0;
  for (i = 0; i < length; ++i) {
    if (LowerAscii(text[i]) != LowerAscii(word[i])) return 0;
  }
  return 1;
}

static void Trim(const char** begin, const char** end) {
  while (*begin < *end && IsBlank(**begin)) ++*begin;
  while (*end > *begin && IsBlank((*end)[-1])) --*end;
}

void ParsePlayerInf(const char* text, size_t length, struct PlayerInf* inf) {
  const char* at = text;
  const char* stop = text + length;
  inf->hasSerial = 0;
  inf->ourMaker = 1;
  inf->isCard = 0;
  if (length >= 3 && memcmp(text, "\xEF\xBB\xBF", 3) == 0) at += 3;
  while (at < stop) {
    const char* lineEnd = memchr(at, '\n', (size_t)(stop - at));
    const char* equals;
    const char *keyBegin, *keyEnd, *valueBegin, *valueEnd;
    if (!lineEnd) lineEnd = stop;
    equals = memchr(at, '=', (size_t)(lineEnd - at));
    if (equals) {
      keyBegin = at;
      keyEnd = equals;
      valueBegin = equals + 1;
      valueEnd = lineEnd;
      Trim(&keyBegin, &keyEnd);
      Trim(&valueBegin, &valueEnd);
      if (SameWord(keyBegin, (size_t)(keyEnd - keyBegin), "Serial")) {
        inf->hasSerial = valueEnd > valueBegin;
      } else if (SameWord(keyBegin, (size_t)(keyEnd - keyBegin), "Maker")) {
        inf->ourMaker = valueEnd == valueBegin ||
                        SameWord(valueBegin, (size_t)(valueEnd - valueBegin), "Orbit");
      } else if (SameWord(keyBegin, (size_t)(keyEnd - keyBegin), "Storage")) {
        inf->isCard = SameWord(valueBegin, (size_t)(valueEnd - valueBegin), "Card");
      }
    }
    at = lineEnd + 1;
  }
}
