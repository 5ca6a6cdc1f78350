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
not_rerun=0
# A stage that passed with exactly these inputs is not run again: the
# checkout's files as they stand (committed or not) and the installed
# packages. A fresh clone has no record of a pass, so it runs everything;
# LUMI_RETEST=1 runs every stage anyway. Fuzzing always runs: it is a
# search, and every run searches anew.
inputs=
if git -C "$root" rev-parse --git-dir > /dev/null 2>&1; then
  inputs=$( {
    git -C "$root" ls-files -z --cached --others --exclude-standard | (cd "$root" && xargs -0 sha256sum 2> /dev/null)
    sha256sum /var/lib/dpkg/status
  } | sha256sum | cut -d' ' -f1)
fi
# passed_before TREE: true, counting its tests, when TREE's stage passed
# with these inputs; otherwise the stage is to run, and its record goes.
passed_before() {
  local key='' count=0
  [[ -f $1/tests-passed ]] && read -r key count < "$1/tests-passed"
  if [[ -z $inputs || $key != "$inputs" || ${LUMI_RETEST:-0} == 1 ]]; then
    rm -f "$1/tests-passed"
    return 1
  fi
  echo "passed with these very files and packages: $count tests, not run again (LUMI_RETEST=1 runs them)"
  passed=$((passed + count))
  not_rerun=$((not_rerun + count))
}
# record_pass TREE COUNT
record_pass() {
  passed=$((passed + $2))
  [[ -z $inputs ]] || echo "$inputs $2" > "$1/tests-passed"
}
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
  record_pass "$1" "$count"
}

stage "build and test"
if ! passed_before "$root/build"; then
  "$root/scripts/build.sh" build
  run_ctest "$root/build" 300
fi

stage "sanitizers (address, undefined)"
if ! passed_before "$root/build-asan"; then
  "$root/scripts/build-sanitized.sh"
  # Cutting the records document at every byte reloads it once per byte: a
  # few seconds in the plain build, far too long under the sanitizers, where
  # the document fuzzer exercises cut documents instead. The rendered image
  # of every effect class is the plain build's to check: here the same
  # effect code runs under the recording device's tests. The GTK dialogs are
  # thin views over models the sanitizers see in their own tests.
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    run_ctest "$root/build-asan" 600 \
    -E '^(RecordsDocument\.EveryCutFailsNamingTheRecordAndOffset|EveryClass/CataloguePlayback\..*|SettingsDialogs\..*)$'
fi

stage "Windows build under Wine"
if ! passed_before "$root/build-windows"; then
  log=$(mktemp)
  "$root/scripts/build-windows.sh" --quick | tee "$log"
  windows=$(sed -n 's/^windows: \([0-9]*\) passed, 0 failed$/\1/p' "$log")
  rm -f "$log"
  if ((${windows:-0} == 0)); then
    echo "FAILED: no tests ran under Wine"
    exit 1
  fi
  record_pass "$root/build-windows" "$windows"
fi

stage "fuzzing: the document reader 30 s, each other reader 5 s"
"$root/scripts/fuzz.sh" 30 5

stage "done"
if ((not_rerun)); then
  echo "tests: $passed passed ($not_rerun of them in stages that had passed with these inputs), 0 failed in $SECONDS s"
else
  echo "tests: $passed passed, 0 failed in $SECONDS s"
fi
