/* Faults at the moment a test needs them, with no sleeps: preloaded into a program by
 * the tests of how the tools write their pictures.
 *
 * QUADRELLE_RAISE_IN_RENAME="SIGNAL:N" raises the signal inside the program's Nth
 * rename, before the rename is made. QUADRELLE_FAIL_FOLDER_FSYNC=1 makes every fsync of
 * a folder fail with EIO, as a failing disk would. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>

int renameat(int fromFolder, const char* from, int toFolder, const char* to) {
  static int (*real)(int, const char*, int, const char*);
  static int calls;
  if (!real) real = (int (*)(int, const char*, int, const char*))dlsym(RTLD_NEXT, "renameat");
  const char* asked = getenv("QUADRELLE_RAISE_IN_RENAME");
  int signal = 0;
  int at = 0;
  if (asked && sscanf(asked, "%d:%d", &signal, &at) == 2 && ++calls == at) raise(signal);
  return real(fromFolder, from, toFolder, to);
}

int fsync(int fd) {
  static int (*real)(int);
  if (!real) real = (int (*)(int))dlsym(RTLD_NEXT, "fsync");
  struct stat status;
  if (getenv("QUADRELLE_FAIL_FOLDER_FSYNC") && fstat(fd, &status) == 0 && S_ISDIR(status.st_mode)) {
    errno = EIO;
    return -1;
  }
  return real(fd);
}
