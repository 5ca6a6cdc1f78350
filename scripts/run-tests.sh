#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test: the plain build, the
# same tests under AddressSanitizer and UndefinedBehaviorSanitizer, the
# Windows build's tests under Wine, and fuzz runs: 30 seconds of the document
# reader, 5 of each other reader (PE, pictures, effect programs, .x meshes,
# WAVE sounds).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# Mesa's shader cache for whatever draws here, the one the build trees'
# tests share (scripts/build.sh).
export MESA_SHADER_CACHE_DIR=$root/build/mesa-shader-cache
"$root/scripts/install-deps.sh"

passed=0
# Announces a stage and says how long the one before it took, so a slow
# stage shows in the log.
stage_started=$SECONDS
stage() {
  echo "== $1 == (previous stage: $((SECONDS - stage_started)) s)"
  stage_started=$SECONDS
}
# Runs ctest in a build tree and adds its passed tests to the total. A tree
# without tests is a failure, never a silent zero.
# run_ctest DIR TIMEOUT [more ctest options]
run_ctest() {
  local log
  log=$(mktemp)
  ctest --test-dir "$1" -j2 --output-on-failure --no-tests=error --timeout "$2" "${@:3}" | tee "$log"
  local count
  count=$(sed -n 's/.* 0 tests failed out of \([0-9]*\)$/\1/p' "$log")
  rm -f "$log"
  if ((${count:-0} == 0)); then
    echo "FAILED: no tests ran in $1"
    exit 1
  fi
  passed=$((passed + count))
}

stage "build and test"
"$root/scripts/build.sh" build
run_ctest "$root/build" 300

stage "sanitizers (address, undefined)"
"$root/scripts/build-sanitized.sh"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Cutting the records document at every byte reloads it once per byte: a
# few seconds in the plain build, far too long under the sanitizers, where
# the document fuzzer exercises cut documents instead. The rendered image of
# every effect class is the plain build's to check: here the same effect
# code runs under the recording device's tests. The GTK dialogs are thin
# views over models the sanitizers see in their own tests.
run_ctest "$root/build-asan" 600 \
  -E '^(RecordsDocument\.EveryCutFailsNamingTheRecordAndOffset|EveryClass/CataloguePlayback\..*|SettingsDialogs\..*)$'
unset ASAN_OPTIONS UBSAN_OPTIONS

stage "Windows build under Wine"
log=$(mktemp)
"$root/scripts/build-windows.sh" --quick | tee "$log"
windows=$(sed -n 's/^windows: \([0-9]*\) passed, 0 failed$/\1/p' "$log")
rm -f "$log"
if ((${windows:-0} == 0)); then
  echo "FAILED: no tests ran under Wine"
  exit 1
fi
passed=$((passed + windows))

stage "fuzzing: the document reader 30 s, each other reader 5 s"
"$root/scripts/fuzz.sh" 30 5

stage "done"
echo "tests: $passed passed, 0 failed in $SECONDS s"
