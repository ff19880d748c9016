/* Linked into the MinGW-w64 libavcodec and libavutil DLLs with
 * -Wl,--wrap=exp2 (tools/build-libavcodec-mingw).
 *
 * The wmav2 encoder raises 10 to a power nearly 400 times a frame (every
 * exponent band of both channels, for each of the eight or nine gains it
 * tries), always with one of a few arguments: a band's fixed exponent
 * (n / 16) or a gain (g * 0.05), as ff_exp10 forms them. MinGW-w64's exp2
 * works on the x87 unit (two control-word loads, frndint, f2xm1, fscale)
 * and took a sixth of the coding time under Wine (glibc's takes 2 % of
 * ffmpeg's). The values of those arguments are made once, at load, by the
 * same exp2 and served from a table; any other argument goes to it.
 *
 * An x87 sum inside exp2 rounds at the unit's precision setting, so a
 * value may depend on it: a table entry is used only when both settings a
 * thread can start with (53 and 64 bits, round to nearest) give the same
 * value, and only while the thread has one of them. The encoder's output
 * stays the same bytes. */
#include <math.h>
#include <stdint.h>

#ifndef EXP2_REAL
#define EXP2_REAL __real_exp2
#define EXP2_WRAP __wrap_exp2
double __real_exp2(double x);
#endif

#ifndef M_LOG2_10
#define M_LOG2_10 3.32192809488736234787 /* as libavutil's mathematics.h */
#endif

enum { kBands = 128, kGains = 384, kGainLow = -128 };

struct entry {
  double argument;
  double value;
  int usable;
};
static struct entry bands[kBands];  /* 10^(n/16), n = 0..127 */
static struct entry gains[kGains];  /* 10^(g*0.05), g = -128..255 */

#if defined(__x86_64__) || defined(__i386__)
static uint16_t control_word(void) {
  uint16_t word;
  __asm__ __volatile__("fnstcw %0" : "=m"(word));
  return word;
}
static void set_control_word(uint16_t word) { __asm__ __volatile__("fldcw %0" : : "m"(word)); }
/* Round to nearest (bits 10-11 clear), precision 53 or 64 bits (bits 8-9). */
static int usual_setting(uint16_t word) { return (word & 0xE00) == 0x200; }
#else
static uint16_t control_word(void) { return 0x27F; }
static void set_control_word(uint16_t word) { (void)word; }
static int usual_setting(uint16_t word) { (void)word; return 1; }
#endif

static void fill(struct entry* e, double argument) {
  const uint16_t saved = control_word();
  set_control_word(0x27F); /* 53 bits, as Windows starts a thread */
  const double at53 = EXP2_REAL(argument);
  set_control_word(0x37F); /* 64 bits, as after fninit */
  const double at64 = EXP2_REAL(argument);
  set_control_word(saved);
  e->argument = argument;
  e->value = at53;
  e->usable = at53 == at64;
}

static void __attribute__((constructor)) fill_tables(void) {
  for (int n = 0; n < kBands; ++n) fill(&bands[n], M_LOG2_10 * (n * (1.0 / 16.0)));
  for (int i = 0; i < kGains; ++i) fill(&gains[i], M_LOG2_10 * ((i + kGainLow) * 0.05));
}

static const struct entry* find(double x) {
  const double band = x * (16.0 / M_LOG2_10);
  if (band >= -0.5 && band < kBands - 0.5) {
    const struct entry* e = &bands[(int)(band + 0.5)];
    if (e->argument == x) return e;
  }
  const double gain = x * (20.0 / M_LOG2_10) - kGainLow;
  if (gain >= -0.5 && gain < kGains - 0.5) {
    const struct entry* e = &gains[(int)(gain + 0.5)];
    if (e->argument == x) return e;
  }
  return 0;
}

double EXP2_WRAP(double x) {
  const struct entry* e = find(x);
  if (e && e->usable && usual_setting(control_word())) return e->value;
  return EXP2_REAL(x);
}
