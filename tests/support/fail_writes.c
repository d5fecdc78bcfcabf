/* Loaded with LD_PRELOAD into a program under test: from its Nth write to a
 * regular file on, every one fails with ENOSPC, as on a disk that has just
 * filled up. Counted calls:
 * write, pwrite, writev, fsync, fdatasync, copy_file_range, sendfile (to a
 * regular file) and rename. Only the process that loads it first counts; it
 * takes itself out of the environment so that helpers the program starts
 * (the office renderer, the print spooler) write normally.
 *
 *   VEMO_FAIL_WRITE_FROM=N   the first call to fail (0: fail none, only count)
 *   VEMO_FAIL_WRITE_COUNT=F  at exit, write the number of counted calls to F
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

static long fail_from;
static long counted;
static char count_file[4096];

static void report_count(void) {
  if (!count_file[0]) return;
  int fd = open(count_file, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return;
  char text[32];
  int n = snprintf(text, sizeof text, "%ld\n", counted);
  ssize_t (*real_write)(int, const void*, size_t) = (ssize_t(*)(int, const void*, size_t))dlsym(RTLD_NEXT, "write");
  if (n > 0) real_write(fd, text, (size_t)n);
  close(fd);
}

__attribute__((constructor)) static void start(void) {
  const char* from = getenv("VEMO_FAIL_WRITE_FROM");
  fail_from = from ? atol(from) : 0;
  const char* file = getenv("VEMO_FAIL_WRITE_COUNT");
  if (file) snprintf(count_file, sizeof count_file, "%s", file);
  unsetenv("LD_PRELOAD");
  unsetenv("VEMO_FAIL_WRITE_FROM");
  unsetenv("VEMO_FAIL_WRITE_COUNT");
  atexit(report_count);
}

static int is_file(int fd) {
  struct stat st;
  return fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

/* True when this counted call is to fail. */
static int fails_now(void) {
  ++counted;
  if (fail_from > 0 && counted >= fail_from) {
    errno = ENOSPC;
    return 1;
  }
  return 0;
}

#define REAL(name) ((__typeof__(&name))dlsym(RTLD_NEXT, #name))

ssize_t write(int fd, const void* data, size_t size) {
  if (is_file(fd) && fails_now()) return -1;
  return REAL(write)(fd, data, size);
}

ssize_t pwrite(int fd, const void* data, size_t size, off_t at) {
  if (is_file(fd) && fails_now()) return -1;
  return REAL(pwrite)(fd, data, size, at);
}

ssize_t pwrite64(int fd, const void* data, size_t size, off64_t at) {
  if (is_file(fd) && fails_now()) return -1;
  return REAL(pwrite64)(fd, data, size, at);
}

ssize_t writev(int fd, const struct iovec* parts, int count) {
  if (is_file(fd) && fails_now()) return -1;
  return REAL(writev)(fd, parts, count);
}

int fsync(int fd) {
  if (is_file(fd) && fails_now()) return -1;
  return REAL(fsync)(fd);
}

int fdatasync(int fd) {
  if (is_file(fd) && fails_now()) return -1;
  return REAL(fdatasync)(fd);
}

ssize_t copy_file_range(int in, off64_t* inAt, int out, off64_t* outAt, size_t size, unsigned int flags) {
  if (fails_now()) return -1;
  return REAL(copy_file_range)(in, inAt, out, outAt, size, flags);
}

ssize_t sendfile(int out, int in, off_t* at, size_t size) {
  if (is_file(out) && fails_now()) return -1;
  return REAL(sendfile)(out, in, at, size);
}

ssize_t sendfile64(int out, int in, off64_t* at, size_t size) {
  if (is_file(out) && fails_now()) return -1;
  return REAL(sendfile64)(out, in, at, size);
}

int rename(const char* from, const char* to) {
  if (fails_now()) {
    errno = ENOSPC;
    return -1;
  }
  return REAL(rename)(from, to);
}
