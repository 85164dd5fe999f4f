#!/usr/bin/env bash
# Makes every picture in the README and in docs/ again from the current code: the
# viewer's first frame, quadrelle-compare's comparisons and quadrelle-render's pictures
# of the pipeline's inside. Needs no display: the viewer and quadrelle-compare run in
# a private Xvfb when there is none, and quadrelle-render needs no X server at all.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tools="$root/build/release/tools"
docs="$root/docs"

# Builds the viewer and the tools, and saves the viewer's first frame as its window
# shows it.
env -u DISPLAY bash "$root/scripts/run.sh" >/dev/null
rm -rf "$docs/compare" "$docs/differences" "$docs/pipeline" "$docs/closed-model" "$docs/models"
cp "$root/out/quadrelle-first-frame.png" "$docs/viewer-first-frame.png"

compare() {
  local folder=$1
  shift
  "$tools/quadrelle-compare" --out "$docs/$folder" "$@" >/dev/null
}
render() {
  local folder=$1
  shift
  "$tools/quadrelle-render" --out "$docs/$folder" "$@" >/dev/null
}

# The initial view through both paths, their difference and why each pixel differs.
compare compare --explain

# The reasons the two pictures differ, each on an enlarged crop.
compare differences/magnification --zoom 10 --crop 20,300,60,60 --scale 4 --explain
compare differences/level --rotation-x -78 --zoom -2 --crop 250,205,120,45 --scale 4 --explain
compare differences/texel-rounding --zoom 10 --mipmaps off --crop 20,300,60,60 --scale 4 \
  --explain
compare differences/top-scanline --crop 285,146,40,20 --scale 8 --explain

# One frame through the pipeline at the initial view, and the top corner of the tile
# square enlarged.
render pipeline --layers --edges
render pipeline/corner --layers --edges --crop 285,146,40,20 --scale 8

# A closed model: a checkered torus of 576 triangles, and where two faces both fill a
# scanline, enlarged.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bash "$root/scripts/make-torus.sh" "$work/torus.obj" 24 12 checkered
render closed-model --scene "$work/torus.obj" --up z --zoom 4 --layers
render closed-model/streak --scene "$work/torus.obj" --up z --zoom 4 --layers --edges \
  --crop 322,326,56,12 --scale 8

# Models through both paths: textures of every kind, unlit; then lit; and the glTF house.
models="$root/tests/data/models"
compare models/box --scene "$models/box.obj" --up z
compare models/lighting --scene "$models/box.obj" --up z --lighting on --rotation-z 120
compare models/gltf --scene "$models/house.glb"

echo "Pictures made again under $docs"
