# Smoke tests of the cross-built saver under Wine on the virtual X server:
# the test window, full screen and its quit rules, and previews killed at
# random moments. Sourced by build-windows.sh inside its Xvfb part; it uses
# that script's prefix, $DISPLAY, $root, $out and $logs, and its run, fail
# and tally helpers.
smoke_started=$SECONDS
saver=$out/host/lumisave.scr
shots=$logs/screenshots
mkdir -p "$shots"
# A crash goes to the log as a backtrace, not into a dialog waiting for a click.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f > "$logs/winedbg.log" 2>&1

# start_saver NAME ARGS...: the saver in the background, its id in $saver_pid.
start_saver() {
  local name=$1
  shift
  wine "$saver" "$@" > "$logs/$name.out" 2> "$logs/$name.err" &
  saver_pid=$!
}
# saver_ends TENTHS: whether the saver has ended within TENTHS of a second.
saver_ends() {
  local i
  for ((i = 0; i < $1; i++)); do
    kill -0 "$saver_pid" 2> /dev/null || return 0
    sleep 0.1
  done
  ! kill -0 "$saver_pid" 2> /dev/null
}
stop_saver() {
  kill "$saver_pid" 2> /dev/null || true
  wait "$saver_pid" 2> /dev/null || true
}
# look GEOMETRY FILE: a screenshot of part of the screen into FILE; prints
# its mean lightness and saturation (0 to 1).
look() {
  import -window root -crop "$1" +repage "$2"
  convert "$2" -colorspace HSL -format '%[fx:mean.b] %[fx:mean.g]' info:
}
# shows_demo "LIGHTNESS SATURATION": the demo's lake is bright and colourful.
shows_demo() { awk -v l="${1% *}" -v s="${1#* }" 'BEGIN { exit !(l > 0.3 && s > 0.2) }'; }
# wait_for_demo GEOMETRY NAME: screenshots until the demo shows (20 s at
# most); the last one is $shots/NAME.png.
wait_for_demo() {
  local i
  for ((i = 0; i < 60; i++)); do
    shows_demo "$(look "$1" "$shots/$2.png")" && return 0
    sleep 0.3
  done
  return 1
}
