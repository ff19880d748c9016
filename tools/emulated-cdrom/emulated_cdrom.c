/* An audio CD drive for Wine without a drive: LD_PRELOAD this library and
 * the Linux CD-ROM requests on one device file (matched by st_dev and
 * st_ino) are answered from a disc image, so Wine's own CD-ROM code serves
 * a program as it would a real drive.
 *
 *   EMULATED_CDROM_DEVICE  the device file (Wine's dosdevices/x:: entry)
 *   EMULATED_CDROM_DISC    prefix of DISC.bin (raw sectors from LBA 0),
 *                          DISC.toc ("track control lba" lines, "leadout lba")
 *                          and DISC.cdtext (READ TOC format 5 answer, may be empty)
 *   EMULATED_CDROM_FAULTS  optional: "flap:LBA never:LBA error:LBA:COUNT gone:LBA"
 *                          (a read touching LBA: every other one spoiled, each one
 *                          spoiled its own way, the first COUNT failing (-1: all),
 *                          the disc taken out)
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <linux/cdrom.h>
#include <scsi/sg.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#define SECTOR 2352
#define MAX_FAULTS 32

enum { FLAP, NEVER, ERROR, GONE };
struct fault { int kind; long lba; long count; long reads; };
struct track { int number, control; long lba; };

static int loaded, present = 1;
static dev_t device_dev;
static ino_t device_ino;
static FILE *image;
static struct track tracks[100];
static int track_count;
static long lead_out;
static unsigned char cdtext[65536];
static size_t cdtext_size;
static struct fault faults[MAX_FAULTS];
static int fault_count;

static int (*real_ioctl)(int, unsigned long, ...);

static void load(void) {
  loaded = 1;
  const char *device = getenv("EMULATED_CDROM_DEVICE"), *disc = getenv("EMULATED_CDROM_DISC");
  struct stat st;
  char path[4096];
  if (!device || !disc || stat(device, &st) != 0) return;
  snprintf(path, sizeof path, "%s.toc", disc);
  FILE *toc = fopen(path, "r");
  if (!toc) return;
  char word[16];
  long a, b, c;
  while (fscanf(toc, "%15s", word) == 1) {
    if (strcmp(word, "leadout") == 0 && fscanf(toc, "%ld", &a) == 1) {
      lead_out = a;
    } else if (strcmp(word, "track") == 0 && fscanf(toc, "%ld %ld %ld", &a, &b, &c) == 3 &&
               track_count < 99) {
      tracks[track_count].number = (int)a;
      tracks[track_count].control = (int)b;
      tracks[track_count++].lba = c;
    }
  }
  fclose(toc);
  snprintf(path, sizeof path, "%s.cdtext", disc);
  FILE *text = fopen(path, "rb");
  if (text) {
    cdtext_size = fread(cdtext, 1, sizeof cdtext, text);
    fclose(text);
  }
  snprintf(path, sizeof path, "%s.bin", disc);
  image = fopen(path, "rb");
  const char *spec = getenv("EMULATED_CDROM_FAULTS");
  while (spec && *spec && fault_count < MAX_FAULTS) {
    struct fault *f = &faults[fault_count];
    char kind[8] = "";
    int used = 0;
    f->count = -1;
    if (sscanf(spec, " %7[a-z]:%ld%n", kind, &f->lba, &used) < 2) break;
    spec += used;
    if (*spec == ':') f->count = strtol(spec + 1, (char **)&spec, 10);
    f->kind = strcmp(kind, "flap") == 0 ? FLAP : strcmp(kind, "never") == 0 ? NEVER
            : strcmp(kind, "error") == 0 ? ERROR : GONE;
    fault_count++;
  }
  if (image && track_count > 0) {
    device_dev = st.st_dev;
    device_ino = st.st_ino;
  }
}

static int ours(int fd) {
  struct stat st;
  if (!loaded) load();
  return image && device_ino && fstat(fd, &st) == 0 && st.st_dev == device_dev &&
         st.st_ino == device_ino;
}

static void put_address(long lba, int format, union cdrom_addr *addr) {
  if (format == CDROM_LBA) {
    addr->lba = (int)lba;
    return;
  }
  long address = lba + 150;
  addr->msf.minute = (unsigned char)(address / 4500);
  addr->msf.second = (unsigned char)(address / 75 % 60);
  addr->msf.frame = (unsigned char)(address % 75);
}

static int fail(int error) {
  errno = error;
  return -1;
}

static int read_audio(struct cdrom_read_audio *request) {
  if (!present) return fail(ENOMEDIUM);
  long lba = request->addr_format == CDROM_LBA
                 ? request->addr.lba
                 : (request->addr.msf.minute * 60L + request->addr.msf.second) * 75 +
                       request->addr.msf.frame - 150;
  long count = request->nframes;
  if (lba < 0 || count <= 0 || count > 75) return fail(EINVAL);
  for (int i = 0; i < fault_count; i++) {
    struct fault *f = &faults[i];
    if (f->lba < lba || f->lba >= lba + count) continue;
    f->reads++;
    if (f->kind == GONE) {
      present = 0;
      return fail(ENOMEDIUM);
    }
    if (f->kind == ERROR && (f->count < 0 || f->reads <= f->count)) return fail(EIO);
  }
  if (fseek(image, lba * SECTOR, SEEK_SET) != 0 ||
      fread(request->buf, SECTOR, (size_t)count, image) != (size_t)count) {
    return fail(EIO);
  }
  for (int i = 0; i < fault_count; i++) {
    struct fault *f = &faults[i];
    if (f->lba < lba || f->lba >= lba + count) continue;
    if (f->kind == NEVER || (f->kind == FLAP && f->reads % 2 == 0)) {
      request->buf[(f->lba - lba) * SECTOR + 100] ^= (unsigned char)(f->reads * 37 + 1);
    }
  }
  return 0;
}

static int scsi(struct sg_io_hdr *io) {
  const unsigned char *cdb = io->cmdp;
  io->status = 0;
  io->host_status = io->driver_status = 0;
  io->sb_len_wr = 0;
  io->resid = 0;
  if (!present || io->cmd_len < 10 || cdb[0] != 0x43 || (cdb[2] & 0x0F) != 5 ||
      cdtext_size < 4) {
    /* CHECK CONDITION: illegal request, as a drive without CD-TEXT answers. */
    io->status = 0x02;
    io->masked_status = 0x01;
    if (io->sbp && io->mx_sb_len >= 14) {
      memset(io->sbp, 0, io->mx_sb_len);
      io->sbp[0] = 0x70;
      io->sbp[2] = present ? 0x05 : 0x02;
      io->sbp[7] = 6;
      io->sbp[12] = present ? 0x24 : 0x3A;
      io->sb_len_wr = 14;
    }
    return 0;
  }
  size_t size = cdtext_size < io->dxfer_len ? cdtext_size : io->dxfer_len;
  memcpy(io->dxferp, cdtext, size);
  io->resid = (int)(io->dxfer_len - size);
  return 0;
}

int ioctl(int fd, unsigned long request, ...) {
  va_list args;
  va_start(args, request);
  void *arg = va_arg(args, void *);
  va_end(args);
  if (!real_ioctl) real_ioctl = (int (*)(int, unsigned long, ...))dlsym(RTLD_NEXT, "ioctl");
  if (!ours(fd)) return real_ioctl(fd, request, arg);
  switch (request) {
    case CDROMREADTOCHDR: {
      if (!present) return fail(ENOMEDIUM);
      struct cdrom_tochdr *header = arg;
      header->cdth_trk0 = (unsigned char)tracks[0].number;
      header->cdth_trk1 = (unsigned char)tracks[track_count - 1].number;
      return 0;
    }
    case CDROMREADTOCENTRY: {
      if (!present) return fail(ENOMEDIUM);
      struct cdrom_tocentry *entry = arg;
      for (int i = 0; i <= track_count; i++) {
        int leadout = i == track_count;
        if (entry->cdte_track != (leadout ? CDROM_LEADOUT : tracks[i].number)) continue;
        entry->cdte_adr = 1;
        entry->cdte_ctrl = leadout ? 0 : (unsigned char)tracks[i].control;
        entry->cdte_datamode = 0;
        put_address(leadout ? lead_out : tracks[i].lba, entry->cdte_format, &entry->cdte_addr);
        return 0;
      }
      return fail(EINVAL);
    }
    case CDROMREADAUDIO:
      return read_audio(arg);
    case CDROM_DRIVE_STATUS:
      return present ? CDS_DISC_OK : CDS_NO_DISC;
    case CDROM_DISC_STATUS:
      return present ? CDS_AUDIO : CDS_NO_DISC;
    case CDROM_MEDIA_CHANGED:
    case CDROM_LOCKDOOR:
      return 0;
    case CDROMEJECT:
      present = 0;
      return 0;
    case CDROMSUBCHNL: {
      struct cdrom_subchnl *channel = arg;
      int format = channel->cdsc_format;
      memset(channel, 0, sizeof *channel);
      channel->cdsc_format = (unsigned char)format;
      channel->cdsc_audiostatus = CDROM_AUDIO_NO_STATUS;
      return present ? 0 : fail(ENOMEDIUM);
    }
    case SG_IO:
      return scsi(arg);
    default:
      return fail(ENOTTY);
  }
}
