#!/usr/bin/env bash
# The software pipeline against Mesa's llvmpipe drawing the same frame, on one thread
# each and on every core each: for each size, how many times llvmpipe's whole OpenGL
# frame (clear and label included) takes as long as the pipeline's own work, and how
# much faster the pipeline draws on every core than on one, with the medians and the
# ranges.
#
#   scripts/vs-llvmpipe.sh [--rounds N] [--sizes WxH,...] [quadrelle-bench options...]
#
# One thread: LP_NUM_THREADS=0 makes llvmpipe draw on the calling thread, and
# --threads 1 the pipeline. Every core: llvmpipe with its own default, a thread a core,
# and the pipeline with --threads at its default, every core of the process's affinity.
# Each round runs the two settings one after the other, in alternating order, and in
# each both benchmarks three times, interleaved at random (Google Benchmark's
# --benchmark_enable_random_interleaving); each ratio pairs the n-th timing of one
# with the n-th of the other in the same round and setting.
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

# One setting of one round: "one" (a thread each) or "all" (every core each).
measure() {
  local round=$1 setting=$2
  local run=("$bench" --sizes="$sizes" "${extra[@]}")
  if [ "$setting" = one ]; then run=(env LP_NUM_THREADS=0 "${run[@]}" --threads 1); fi
  "${run[@]}" --benchmark_filter='^(pipeline|openGLFrame)/' --benchmark_repetitions=3 \
    --benchmark_enable_random_interleaving=true --benchmark_min_time=0.2 \
    --benchmark_format=csv 2>/dev/null | tee "$raw" |
    awk -F, -v round="$round" -v setting="$setting" \
      '$1 ~ /^"(pipeline|openGLFrame)\/[0-9]+\/[0-9]+(\/real_time)?"$/ {
        name = $1; gsub(/"/, "", name); split(name, part, "/")
        key = part[1] " " part[2] "x" part[3]
        print setting, round, ++seen[key], key, $3
      }' >>"$results"
}

for round in $(seq "$rounds"); do
  if [ $((round % 2)) -eq 1 ]; then order="one all"; else order="all one"; fi
  for setting in $order; do measure "$round" "$setting"; done
  echo "round $round of $rounds done" >&2
done

cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')
cores=$(nproc)
# The renderer's own name, e.g. "llvmpipe (LLVM 15.0.6, 256 bits)": the bits are the
# width of the vectors llvmpipe compiles to on this processor.
renderer=$(awk -F'"' '/^"openGLFrame\// {print $4; exit}' "$raw")
echo "${renderer:-OpenGL} against the pipeline, $rounds rounds of 3, $cores cores of $cpu"
printf '%-11s %9s %9s %9s %9s %15s %17s %17s\n' size "pipe 1" "pipe all" "llvm 1" "llvm all" \
  "pipe all/1" "llvm 1/pipe 1" "llvm all/pipe all"
for size in ${sizes//,/ }; do
  awk -v size="$size" "$(cat "$root/scripts/statistics.awk")"'
    $5 == size { t[$1 " " $4 " " $2 " " $3] = $6 }
    END {
      for (k in t) {
        split(k, f, " ")
        if (f[1] != "one" || f[2] != "pipeline") continue
        r = f[3] " " f[4]
        p1 = t["one pipeline " r]; pa = t["all pipeline " r]
        g1 = t["one openGLFrame " r]; ga = t["all openGLFrame " r]
        if (pa == "" || g1 == "" || ga == "") continue
        n++; a[n] = p1; b[n] = pa; c[n] = g1; d[n] = ga
        s[n] = p1 / pa; u[n] = g1 / p1; v[n] = ga / pa
      }
      if (n == 0) exit
      spread(s, n); sl = lo; sh = hi
      spread(u, n); ul = lo; uh = hi
      spread(v, n); vl = lo; vh = hi
      printf "%-11s %9.3f %9.3f %9.3f %9.3f %5.2f (%4.2f-%4.2f) %5.2f (%4.2f-%4.2f) %5.2f (%4.2f-%4.2f)\n",
             size, median(a, n), median(b, n), median(c, n), median(d, n), median(s, n), sl, sh,
             median(u, n), ul, uh, median(v, n), vl, vh
    }' "$results"
done
echo "times in ms; ratios as medians, with their ranges"
