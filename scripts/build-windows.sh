#!/usr/bin/env bash
# Cross-builds the Windows programs and tests with MinGW-w64 into
# build-windows/ and runs them under Wine. The helpers that run during the
# build (the resource packer, the picture generator) and the demo document
# come from the native build in build/.
#
# --quick builds at -O1: the test command's runs under Wine gain nothing
# from -O3, which costs more build time. Debian's MinGW-w64 GCC has its
# linker fixed when it was built and ignores -fuse-ld=lld, so these programs
# link with GNU ld.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
optimisation=-O3
if [[ ${1:-} == --quick ]]; then
  optimisation=-O1
fi
"$root/scripts/install-deps.sh"
"$root/scripts/install-deps.sh" --windows

echo "== native helpers (build/) =="
if [[ ! -f $root/build/build.ninja ]]; then
  "$root/scripts/build.sh" build
fi
ninja -C "$root/build" -j"$(nproc)" embed_resources make_builtin_pictures make_water_maps paint_mask \
  lumisave-tool lumi_sample_document lumi_records_document lumi_sprite_document lumi_particle_document

echo "== cross build (build-windows/) =="
out=$root/build-windows
"$root/scripts/build.sh" build-windows -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  "-DCMAKE_C_FLAGS_RELEASE=$optimisation -DNDEBUG" "-DCMAKE_CXX_FLAGS_RELEASE=$optimisation -DNDEBUG" \
  -DLUMI_GRAPHICS=ON -DLUMI_BENCH=OFF -DLUMI_LLD=OFF -DLUMI_HOST_TOOLS_DIR="$root/build"

echo "== under Wine =="
export WINEPREFIX=$out/wine-prefix WINEDLLOVERRIDES="mscoree=;mshtml=" WINEDEBUG=-all
# Mesa runs on Wine's Unix side and reads this environment: the native
# tests' shader cache, in the build tree.
export MESA_SHADER_CACHE_DIR=${MESA_SHADER_CACHE_DIR:-$root/build/mesa-shader-cache}
logs=$out/wine-logs
rm -rf "$WINEPREFIX" "$logs"
mkdir -p "$logs"
trap 'wineserver -k 2>/dev/null || true' EXIT
# Wine's helpers keep inherited pipes open, so its output always goes to files.
wineboot -i > "$logs/wineboot.log" 2>&1
# The new prefix is finished once its set-up processes have all ended; a
# shell started while they run may fail to find programs.
wineserver -w

passed=0
failed=0
fail() {
  echo "FAILED: $1 (see $2)"
  failed=$((failed + 1))
}

# Runs one program under Wine: run NAME PROGRAM ARGS...; leaves its exit code
# in $code and its output in $logs/NAME.out and $logs/NAME.err.
run() {
  local name=$1
  shift
  code=0
  timeout 300 wine "$@" > "$logs/$name.out" 2> "$logs/$name.err" || code=$?
}

for exe in "$out"/tests/*/lumi_tests_*.exe; do
  name=$(basename "$exe" .exe)
  run "$name" "$exe"
  # Windows programs end their lines with CR LF.
  count=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\.\r\?$/\1/p' "$logs/$name.out")
  failures=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) tests\?, listed below:\r\?$/\1/p' "$logs/$name.out")
  passed=$((passed + ${count:-0}))
  if ((code != 0)) || [[ -n $failures ]]; then
    # A program that dies before its summary counts as one failure.
    fail "$name exited with $code" "$logs/$name.out"
    failed=$((failed + ${failures:-1} - 1))
  fi
  echo "$name: ${count:-0} passed, ${failures:-0} failed, exit $code"
done

# check NAME EXIT-CODE WANTED-TEXT STREAM PROGRAM ARGS...: that exit code and
# WANTED-TEXT in the stream (out or err); an empty WANTED-TEXT wants the
# stream empty.
check() {
  local name=$1 wanted_code=$2 wanted=$3 stream=$4
  shift 4
  run "$name" "$@"
  local file=$logs/$name.$stream
  if ((code == wanted_code)) && { [[ -z $wanted && ! -s $file ]] || { [[ -n $wanted ]] && grep -qF -- "$wanted" "$file"; }; }; then
    passed=$((passed + 1))
    echo "$name: ok"
  else
    fail "$name exited with $code" "$logs/$name.$stream"
  fi
}

check tool-inspect 0 '"signature"' out "$out/tools/lumisave-tool.exe" inspect "$root/build/samples/demo.lumi"
check saver-change-password 0 "" err "$out/host/lumisave.scr" /a 12

# tally NAME STATUS LOG: counts a check made here rather than by check; 0 passes.
tally() {
  if (($2 == 0)); then
    passed=$((passed + 1))
    echo "$1: ok"
  else
    fail "$1" "$3"
  fi
}

# Our own Linux tool reads the cross-built saver's resources: its document
# and every picture it draws with, in the order the resource section keeps.
pictures="2, 5, 54, 57, $(seq -s ', ' 60 72), $(seq -s ', ' 74 78), 107"
status=0
"$root/build/tools/lumisave-tool" inspect "$out/host/lumisave.scr" > "$logs/native-inspect.out" \
  2> "$logs/native-inspect.err" || status=$?
grep -qF '"signature"' "$logs/native-inspect.out" || status=1
grep -qxF "lumisave-tool inspect: $out/host/lumisave.scr carries resources \"DDS\" $pictures" \
  "$logs/native-inspect.err" || status=1
tally native-inspect-saver $status "$logs/native-inspect.err"

# The registry store's tests leave their last values behind; the system's
# own tool shows the quoted names with their types.
key='HKCU\Software\lumisave-tests\ValuesKeepTheirQuotedNamesAndTypes\Software\Quillborne\Lumivex\Screensaver'
run reg-query-settings reg query "$key"
run reg-query-screen reg query "$key\Screen 1"
status=0
for wanted in '"PicPos"    REG_DWORD    0x1' '"SoundVolume"    REG_DWORD    0x28' '"MuteSound"    REG_DWORD    0x1'; do
  grep -qF -- "$wanted" "$logs/reg-query-settings.out" || status=1
done
grep -qF 'Adapter ID    REG_BINARY    1032547698BADCFE0102030405060708' "$logs/reg-query-screen.out" || status=1
grep -qF 'Width    REG_DWORD    0x400' "$logs/reg-query-screen.out" || status=1
tally reg-query $status "$logs/reg-query-settings.out"

# Under a virtual X server: the WGL context on Mesa's software renderer, as
# Wine hands it out, and the device drawing through it. Xvfb picks a free
# display and names it on a pipe.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3> "$logs/xvfb.display" 2> "$logs/xvfb.err" &
xvfb=$!
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 200); do
  [[ -s $logs/xvfb.display ]] && break
  sleep 0.1
done
if [[ -s $logs/xvfb.display ]]; then
  export DISPLAY=:$(head -n1 "$logs/xvfb.display")
  # Wine's desktop process, started without a display, keeps drawing
  # nowhere: a new session starts with this one.
  wineserver -k
  wineserver -w
  # Full-screen windows close at once without a window manager.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f > "$logs/wine-x11.log" 2>&1
  # gl_check NAME PROGRAM FILTER: the tests FILTER picks must all run (none
  # skipped for want of OpenGL) and pass.
  gl_check() {
    LUMI_REQUIRE_GL=1 run "$1" "$2" --gtest_filter="$3"
    local count
    count=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\.\r\?$/\1/p' "$logs/$1.out")
    if ((code == 0 && ${count:-0} > 0)) && ! grep -q '^\[  SKIPPED \]' "$logs/$1.out"; then
      passed=$((passed + count))
      echo "$1: $count passed"
    else
      fail "$1 exited with $code" "$logs/$1.out"
    fi
  }
  gl_check wgl-context "$out/tests/platform/lumi_tests_platform.exe" 'WglContext.*'
  # A few of the device's tests: the rest run on the native build.
  gl_check wgl-device "$out/tests/render/lumi_wgl_tests.exe" '*'
  gl_check saver-display "$out/tests/host/lumi_tests_host.exe" 'Win32SaverDisplay.*'
  source "$root/scripts/windows-smoke.sh"
  source "$root/scripts/windows-dialogs.sh"
  source "$root/scripts/windows-sound.sh"
else
  fail "Xvfb did not start" "$logs/xvfb.err"
fi

echo "windows: $passed passed, $failed failed"
((failed == 0))
