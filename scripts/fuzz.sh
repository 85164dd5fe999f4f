#!/usr/bin/env bash
# Fuzzes the model reader (a model file, its material library or glTF buffer and its
# texture, from one input: tests/fuzz/model_scene_target.h) and the software pipeline
# behind it:
#
#   scripts/fuzz.sh [SECONDS [SEED]]
#
# SECONDS defaults to 60; without SEED each run explores afresh, with one it repeats the
# same inputs in the same order (as far as the time allows), so that a failure in CI can
# be run again. Builds the fuzz target with clang's libFuzzer and AddressSanitizer and
# UndefinedBehaviorSanitizer (build/fuzz), starts from the tests' own model files and the
# textured seeds, and
# fails on the first input that crashes it, which it keeps under build/fuzz/crashes:
# put it in tests/fuzz/crashes, and the ordinary tests run it from then on. The fuzz
# build has the model readers' small budgets (model/model_budgets.h), and an input that
# makes one allocation of more than 32 MB is a finding too.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
seed=${2:-0}
"$root/scripts/install-deps.sh"
CC=clang-14 CXX=clang++-14 "$root/scripts/configure.sh" "$root/build/fuzz" \
  -DCMAKE_BUILD_TYPE=Debug -DQUADRELLE_FUZZ=ON -- model_scene_fuzzer

corpus=$(mktemp -d)
log=$(mktemp)
trap 'rm -rf "$corpus" "$log"' EXIT
mkdir -p "$root/build/fuzz/crashes"
if ! "$root/build/fuzz/tests/fuzz/model_scene_fuzzer" -max_total_time="$seconds" -seed="$seed" \
  -max_len=4096 -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=32 -artifact_prefix="$root/build/fuzz/crashes/" \
  -print_final_stats=1 "$corpus" "$root/tests/fuzz/seeds" "$root/tests/data/models" >"$log" 2>&1; then
  tail -n 60 "$log"
  echo "fuzzing found an input that crashes: see build/fuzz/crashes" >&2
  exit 1
fi
grep -E "^stat::number_of_executed_units|DONE" "$log" | tail -n 2
