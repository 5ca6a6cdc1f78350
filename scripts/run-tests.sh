#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test: the plain build, the
# same tests under AddressSanitizer and UndefinedBehaviorSanitizer, and a
# 60-second fuzz run of the document reader.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export MESA_SHADER_CACHE_DISABLE=true
"$root/scripts/install-deps.sh"

echo "== build and test =="
"$root/scripts/build.sh" build
ctest --test-dir "$root/build" -j2 --output-on-failure --timeout 300

echo "== sanitizers (address, undefined) =="
"$root/scripts/build.sh" build-asan -DLUMI_SANITIZE=ON -DLUMI_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$root/build-asan" -j2 --output-on-failure --timeout 600

echo "== fuzzing the document reader for 60 s =="
"$root/scripts/fuzz.sh" 60
