#!/usr/bin/env bash
# Fails when a source file differs from what clang-format makes of it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mapfile -t files < <(find app math scene model raster glview tools tests \
  -name '*.cpp' -o -name '*.h' -o -name '*.c' | sort)
clang-format-14 --dry-run --Werror "${files[@]}"
echo "formatting: ${#files[@]} files follow .clang-format"
