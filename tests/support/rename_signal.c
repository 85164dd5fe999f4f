/* Raises a signal inside a program's Nth rename, before the rename is made, as
 * QUADRELLE_RAISE_IN_RENAME="SIGNAL:N" asks: preloaded by the tests of how the tools
 * write their pictures, so that a signal arrives at the moment a test needs, with no
 * sleeps. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>

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
