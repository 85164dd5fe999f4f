#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Quadrelle need.
# Idempotent: asks apt only for what is missing, and nothing when all is there.
set -euo pipefail

packages=(
  cmake g++ make                                   # the build
  freeglut3-dev libglu1-mesa-dev libgl1-mesa-dri   # GLUT, GLU, Mesa (llvmpipe)
  libx11-dev libxtst-dev libpng-dev                # X client, synthetic input, PNG
  nlohmann-json3-dev                               # JSON reports
  libstb-dev zlib1g-dev                            # textures of models
  libgtest-dev libgmock-dev libbenchmark-dev       # tests and benchmarks
  xvfb xauth x11-utils xdotool imagemagick         # headless X server and screenshots
  clang-format-14                                  # the formatting check
  clang-14 libclang-rt-14-dev                      # the fuzz target (libFuzzer)
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
