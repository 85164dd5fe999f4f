#!/usr/bin/env bash
# Configures and builds one build tree: configure.sh DIR [cmake options...] [-- targets...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1
shift
options=()
targets=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do options+=("$1"); shift; done
[ $# -gt 0 ] && shift
targets=("$@")

cmake -S "$root" -B "$dir" "${options[@]}" >/dev/null
if [ ${#targets[@]} -eq 0 ]; then
  cmake --build "$dir" -j"$(nproc)"
else
  cmake --build "$dir" -j"$(nproc)" --target "${targets[@]}"
fi
