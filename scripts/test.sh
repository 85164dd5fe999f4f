#!/usr/bin/env bash
# Builds and runs every test: the formatting check, the release build with its unit and
# end-to-end tests, then the same tests built with AddressSanitizer and
# UndefinedBehaviorSanitizer. End-to-end tests start their own Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

echo "== formatting"
"$root/scripts/check-format.sh"

echo "== release build and tests"
"$root/scripts/configure.sh" "$root/build/release" -DCMAKE_BUILD_TYPE=Release
ctest --test-dir "$root/build/release" --output-on-failure

echo "== sanitizer build (address, undefined) and tests"
"$root/scripts/configure.sh" "$root/build/sanitize" -DCMAKE_BUILD_TYPE=Debug -DQUADRELLE_SANITIZE=ON
ctest --test-dir "$root/build/sanitize" --output-on-failure
echo "== all tests passed"
