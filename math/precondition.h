#pragma once

#include <cstdio>
#include <cstdlib>

// Broken calling order (pop on an empty stack, a vertex before any polygon) is a
// programming error: stop at once with a message, in release builds too.
inline void requireThat(bool condition, const char* message) {
  if (condition) return;
  std::fprintf(stderr, "quadrelle: precondition failed: %s\n", message);
  std::abort();
}
