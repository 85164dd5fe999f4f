#!/usr/bin/env bash
# Builds and runs every test: the formatting check, the release build with its unit and
# end-to-end tests, then the same tests built with AddressSanitizer and
# UndefinedBehaviorSanitizer (leaks checked too), and a minute of fuzzing. Unit tests
# run two at a time; the end-to-end ones, which time frames in their own Xvfb, one at a
# time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

echo "== formatting"
"$root/scripts/check-format.sh"

run_tests() {
  ctest --test-dir "$1" --output-on-failure -L unit -j2
  ctest --test-dir "$1" --output-on-failure -L e2e
}

echo "== release build and tests"
"$root/scripts/configure.sh" "$root/build/release" -DCMAKE_BUILD_TYPE=Release
run_tests "$root/build/release"

echo "== sanitizer build (address, undefined, leaks) and tests"
"$root/scripts/configure.sh" "$root/build/sanitize" -DCMAKE_BUILD_TYPE=Debug -DQUADRELLE_SANITIZE=ON
run_tests "$root/build/sanitize"
echo "== fuzzing the OBJ loader and the pipeline behind it for 60 s"
"$root/scripts/fuzz.sh" 60
echo "== all tests passed"
