#!/usr/bin/env bash
# Writes a closed torus of 2 x AROUND x ACROSS triangles as a Wavefront OBJ file, for
# timing quadrelle-render and quadrelle-bench on a large model:
#
#   scripts/make-torus.sh FILE [AROUND ACROSS]   (default 1000 x 500: 1,000,000 triangles)
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: $0 FILE [AROUND ACROSS]" >&2; exit 2; }
awk -v around="${2:-1000}" -v across="${3:-500}" 'BEGIN {
  pi = 3.14159265358979
  for (i = 0; i < around; i++) {
    u = 2 * pi * i / around
    for (j = 0; j < across; j++) {
      v = 2 * pi * j / across
      r = 1 + 0.4 * cos(v)
      printf "v %.6f %.6f %.6f\n", r * cos(u), r * sin(u), 0.4 * sin(v)
    }
  }
  for (i = 0; i < around; i++) {
    for (j = 0; j < across; j++) {
      a = i * across + j + 1
      b = ((i + 1) % around) * across + j + 1
      c = ((i + 1) % around) * across + (j + 1) % across + 1
      d = i * across + (j + 1) % across + 1
      printf "f %d %d %d\nf %d %d %d\n", a, b, c, a, c, d
    }
  }
}' >"$1"
