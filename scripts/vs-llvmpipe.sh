#!/usr/bin/env bash
# The software pipeline against Mesa's llvmpipe drawing the same frame on one thread:
# for each size, how many times llvmpipe's whole OpenGL frame (clear and label
# included) takes as long as the pipeline's own work, with the median and the range.
#
#   scripts/vs-llvmpipe.sh [--rounds N] [--sizes WxH,...] [quadrelle-bench options...]
#
# LP_NUM_THREADS=0 makes llvmpipe draw on the calling thread, so that one core meets
# one core. Each round runs both benchmarks three times, interleaved at random (Google
# Benchmark's --benchmark_enable_random_interleaving); each ratio pairs the n-th timing
# of one with the n-th of the other in the same round.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=5
sizes=480x480,1920x1080,3840x2160
extra=()
while [ $# -gt 0 ]; do
  case "$1" in
    --rounds) rounds=${2:?}; shift 2 ;;
    --sizes) sizes=${2:?}; shift 2 ;;
    *) extra+=("$1"); shift ;;
  esac
done

"$root/scripts/install-deps.sh"
"$root/scripts/configure.sh" "$root/build/release" -DCMAKE_BUILD_TYPE=Release -- quadrelle-bench \
  >/dev/null
bench="$root/build/release/tools/quadrelle-bench"

results=$(mktemp)
raw=$(mktemp)
trap 'rm -f "$results" "$raw"' EXIT
for round in $(seq "$rounds"); do
  LP_NUM_THREADS=0 "$bench" --sizes="$sizes" "${extra[@]}" \
    --benchmark_filter='^(pipeline|openGLFrame)/' --benchmark_repetitions=3 \
    --benchmark_enable_random_interleaving=true --benchmark_min_time=0.2 \
    --benchmark_format=csv 2>/dev/null | tee "$raw" |
    awk -F, -v round="$round" '$1 ~ /^"(pipeline|openGLFrame)\/[0-9]+\/[0-9]+(\/real_time)?"$/ {
      name = $1; gsub(/"/, "", name); split(name, part, "/")
      key = part[1] " " part[2] "x" part[3]
      print round, ++seen[key], key, $3
    }' >>"$results"
  echo "round $round of $rounds done" >&2
done

cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')
# The renderer's own name, e.g. "llvmpipe (LLVM 15.0.6, 256 bits)": the bits are the
# width of the vectors llvmpipe compiles to on this processor.
renderer=$(awk -F'"' '/^"openGLFrame\// {print $4; exit}' "$raw")
echo "${renderer:-OpenGL} on one thread against the pipeline, $rounds rounds of 3, $(nproc) cores of $cpu"
printf '%-11s %14s %14s %18s %16s\n' size "pipeline ms" "llvmpipe ms" "llvmpipe/pipeline" "range"
for size in ${sizes//,/ }; do
  awk -v size="$size" "$(cat "$root/scripts/statistics.awk")"'
    $4 == size && $3 == "pipeline" { p[$1 " " $2] = $5 }
    $4 == size && $3 == "openGLFrame" { g[$1 " " $2] = $5 }
    END {
      n = 0
      for (k in p) if (k in g) { n++; a[n] = p[k]; b[n] = g[k]; q[n] = g[k] / p[k] }
      if (n == 0) exit
      spread(q, n)
      printf "%-11s %14.3f %14.3f %17.2fx %7.2f - %5.2fx\n", size, median(a, n), median(b, n),
             median(q, n), lo, hi
    }' "$results"
done
