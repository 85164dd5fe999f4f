#!/usr/bin/env bash
# Writes a closed torus of 2 x AROUND x ACROSS triangles as a Wavefront OBJ file, for
# timing quadrelle-render and quadrelle-bench on a large model, and for pictures:
#
#   scripts/make-torus.sh FILE [AROUND ACROSS [checkered]]
#
# The default is 1000 x 500: 1,000,000 triangles in about 38 MB. "checkered" colours
# the squares two triangles make in two colours, from FILE's material library beside it.
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: $0 FILE [AROUND ACROSS [checkered]]" >&2; exit 2; }
file=$1
checkered=${4:-}
if [ "$checkered" = checkered ]; then
  printf 'newmtl light\nKd 0.85 0.75 0.45\nnewmtl dark\nKd 0.35 0.55 0.75\n' >"${file%.obj}.mtl"
fi
awk -v around="${2:-1000}" -v across="${3:-500}" -v checkered="$checkered" \
  -v library="$(basename "${file%.obj}.mtl")" 'BEGIN {
  pi = 3.14159265358979
  if (checkered != "") printf "mtllib %s\n", library
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
      if (checkered != "") printf "usemtl %s\n", (i + j) % 2 ? "dark" : "light"
      printf "f %d %d %d\nf %d %d %d\n", a, b, c, a, c, d
    }
  }
}' >"$file"
