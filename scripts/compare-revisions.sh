#!/usr/bin/env bash
# Times a frame of an earlier revision and of the working tree side by side, and prints
# how many times faster the working tree is, per picture size.
#
#   scripts/compare-revisions.sh REVISION [--rounds N] [--sizes WxH,...] [--benchmark NAME]
#                                         [--new "OPTIONS"]
#
# REVISION is built beside the working tree (build/compare/<commit>) with its own
# benchmark program; both time the same frames of the viewer's scene by the same names.
# Runs alternate between the two builds (old, new, new, old, ...) so that a machine
# that gets busier or quieter on the way affects both alike. Each timing is the fastest
# of five short runs; each ratio is old time / new time of one round, and the median
# and the range over the rounds are printed.
# NAME is pipeline (the default: the software pipeline alone), softwareFrame or
# openGLFrame. OPTIONS go to the working tree's benchmark program alone: "--threads 1"
# times it on one thread, as a revision from before threads drew.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

usage() {
  echo "usage: $0 REVISION [--rounds N] [--sizes WxH,...] [--benchmark NAME] [--new OPTIONS]" >&2
  exit 2
}
[ $# -ge 1 ] || usage
revision=$1
shift
rounds=9
sizes=480x480,1920x1080,3840x2160
benchmark=pipeline
newOptions=""
while [ $# -gt 0 ]; do
  case "$1" in
    --rounds) rounds=${2:?}; shift 2 ;;
    --sizes) sizes=${2:?}; shift 2 ;;
    --benchmark) benchmark=${2:?}; shift 2 ;;
    --new) newOptions=${2:?}; shift 2 ;;
    *) usage ;;
  esac
done

commit=$(git -C "$root" rev-parse --verify "$revision^{commit}")
old="$root/build/compare/$commit"
if [ ! -f "$old/.exported" ]; then
  rm -rf "$old"
  mkdir -p "$old"
  git -C "$root" archive "$commit" | tar -x -C "$old"
  touch "$old/.exported"
fi

"$root/scripts/install-deps.sh"
echo "building $revision ($commit) and the working tree..." >&2
build_bench() {
  cmake -S "$1" -B "$2" -DCMAKE_BUILD_TYPE=Release -DQUADRELLE_TESTS=OFF >/dev/null
  cmake --build "$2" -j"$(nproc)" --target quadrelle-bench >/dev/null
}
build_bench "$old" "$old/build"
build_bench "$root" "$root/build/bench"

# One timing: the fastest of five short runs, in milliseconds per frame, and the
# fragments per second of that run where the benchmark counts them. On a shared
# machine the fastest run is the one least disturbed by others. The frames drawn
# through OpenGL are timed in real time, which their names say, and their label (the
# renderer's name) may hold a comma: the rate is counted from the end of the line.
time_one() {
  # shellcheck disable=SC2086
  "$1/tools/quadrelle-bench" --sizes="$2" --benchmark_filter="^$benchmark/" ${3:-} \
    --benchmark_min_time=0.1 --benchmark_repetitions=5 --benchmark_format=csv 2>/dev/null |
    awk -F, '$1 ~ /^"[a-zA-Z]+\/[0-9]+\/[0-9]+(\/real_time)?"$/ && (best == "" || $3 < best) {
               best = $3; rate = ($(NF - 1) == "" ? 0 : $(NF - 1))
             }
             END { print best, rate }'
}

results=$(mktemp)
trap 'rm -f "$results"' EXIT
for round in $(seq "$rounds"); do
  for size in ${sizes//,/ }; do
    if [ $((round % 2)) -eq 1 ]; then order="old new"; else order="new old"; fi
    for which in $order; do
      if [ "$which" = old ]; then
        echo "$round $size old $(time_one "$old/build" "$size")" >>"$results"
      else
        echo "$round $size new $(time_one "$root/build/bench" "$size" "$newOptions")" >>"$results"
      fi
    done
  done
  echo "round $round of $rounds done" >&2
done

echo "$benchmark, $revision against the working tree, $rounds interleaved rounds"
printf '%-11s %12s %12s %10s %16s %16s\n' size "old ms" "new ms" "old/new" "ratio range" "new fragments/s"
for size in ${sizes//,/ }; do
  awk -v size="$size" "$(cat "$root/scripts/statistics.awk")"'
    $2 == size && $3 == "old" { old[$1] = $4 }
    $2 == size && $3 == "new" { new[$1] = $4; rate[++r] = $5 }
    END {
      n = 0
      for (k in old) if (k in new) {
        n++; o[n] = old[k]; w[n] = new[k]; q[n] = old[k] / new[k]
      }
      spread(q, n)
      printf "%-11s %12.3f %12.3f %9.2fx %7.2f - %5.2fx %14.1f M\n", size, median(o, n),
             median(w, n), median(q, n), lo, hi, median(rate, r) / 1e6
    }' "$results"
done
