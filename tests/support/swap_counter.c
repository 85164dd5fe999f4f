/* Counts the frames a GLUT program shows, without its help: preloaded into the
 * program, it wraps glutSwapBuffers and, once the X server has the new picture,
 * writes the running count to the file named by QUADRELLE_SWAP_COUNT_FILE. */
#define _GNU_SOURCE
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

void glutSwapBuffers(void) {
  static void (*real)(void);
  static unsigned long count;
  static int fd = -2;
  if (!real) real = (void (*)(void))dlsym(RTLD_NEXT, "glutSwapBuffers");
  real();
  Display* display = glXGetCurrentDisplay();
  if (display) XSync(display, False);
  if (fd == -2) {
    const char* path = getenv("QUADRELLE_SWAP_COUNT_FILE");
    fd = path ? open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644) : -1;
  }
  if (fd < 0) return;
  char line[32];
  int length = snprintf(line, sizeof line, "%020lu\n", ++count);
  if (pwrite(fd, line, (size_t)length, 0) != length) perror("swap counter");
}
