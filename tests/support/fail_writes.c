/* Preloaded (LD_PRELOAD) into a program under test: from its Nth write,
 * flush, copy or rename of a regular file on, every one fails with ENOSPC,
 * as on a disk that has just filled up. It takes itself out of the
 * environment, so that the helpers the program starts (the office renderer,
 * the print spooler) write normally.
 *   VEMO_FAIL_WRITE_FROM=N   the first call to fail (unset: none, only count)
 *   VEMO_FAIL_WRITE_COUNT=F  at exit, the number of counted calls is written to F */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

static long from, counted;
static const char* countFile;

static void report(void) {
  FILE* out = countFile ? fopen(countFile, "w") : NULL;
  if (out) fprintf(out, "%ld\n", counted), fclose(out);
}

__attribute__((constructor)) static void start(void) {
  from = getenv("VEMO_FAIL_WRITE_FROM") ? atol(getenv("VEMO_FAIL_WRITE_FROM")) : 0;
  countFile = getenv("VEMO_FAIL_WRITE_COUNT");
  unsetenv("LD_PRELOAD");
  atexit(report);
}

/* fd < 0: a call on names (rename), always counted. */
static int fails(int fd) {
  struct stat st;
  if (fd >= 0 && (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) return 0;
  if (++counted < from || from <= 0) return 0;
  errno = ENOSPC;
  return 1;
}

#define WRAP(type, name, params, args, fd) \
  type name params { return fails(fd) ? -1 : ((type(*) params)dlsym(RTLD_NEXT, #name)) args; }

WRAP(ssize_t, write, (int fd, const void* b, size_t n), (fd, b, n), fd)
WRAP(ssize_t, pwrite64, (int fd, const void* b, size_t n, off64_t at), (fd, b, n, at), fd)
WRAP(ssize_t, writev, (int fd, const struct iovec* v, int n), (fd, v, n), fd)
WRAP(int, fsync, (int fd), (fd), fd)
WRAP(ssize_t, copy_file_range, (int in, off64_t* ia, int fd, off64_t* oa, size_t n, unsigned f), (in, ia, fd, oa, n, f), fd)
WRAP(ssize_t, sendfile, (int fd, int in, off_t* at, size_t n), (fd, in, at, n), fd)
WRAP(int, rename, (const char* a, const char* b), (a, b), -1)
