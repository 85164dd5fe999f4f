#!/usr/bin/env bash
# Builds and runs every test: the formatting check, the release build with its unit and
# end-to-end tests, then the same tests built with AddressSanitizer and
# UndefinedBehaviorSanitizer (leaks checked too), the threaded tests built with
# ThreadSanitizer, and half a minute of fuzzing. Tests
# run two at a time: each end-to-end test has an X server of its own, and none of them
# judges speed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

echo "== formatting"
"$root/scripts/check-format.sh"

run_tests() {
  ctest --test-dir "$1" --output-on-failure -L unit -j2
  ctest --test-dir "$1" --output-on-failure -L e2e -j2
}

echo "== release build and tests"
"$root/scripts/configure.sh" "$root/build/release" -DCMAKE_BUILD_TYPE=Release
run_tests "$root/build/release"

echo "== sanitizer build (address, undefined, leaks) and tests"
"$root/scripts/configure.sh" "$root/build/sanitize" -DCMAKE_BUILD_TYPE=Debug -DQUADRELLE_SANITIZE=ON
run_tests "$root/build/sanitize"

echo "== ThreadSanitizer build of the threaded tests"
"$root/scripts/configure.sh" "$root/build/tsan" -DCMAKE_BUILD_TYPE=Debug -DQUADRELLE_TSAN=ON \
  -- threads_test
QUADRELLE_DIFFERENTIAL_POSES=80 TSAN_OPTIONS="halt_on_error=1" \
  "$root/build/tsan/tests/threads_test"
echo "== fuzzing the model readers and the pipeline behind them for 30 s"
"$root/scripts/fuzz.sh" 30 1
echo "== all tests passed"
