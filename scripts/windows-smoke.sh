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
# The ended saver's exit code.
exit_code() {
  local code=0
  wait "$saver_pid" 2> /dev/null || code=$?
  echo $code
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
# wait_for_demo GEOMETRY NAME: screenshots until the demo shows (30 s at
# most); the last one is $shots/NAME.png.
wait_for_demo() {
  local deadline=$((SECONDS + 30))
  while ((SECONDS < deadline)); do
    shows_demo "$(look "$1" "$shots/$2.png")" && return 0
    sleep 0.3
  done
  return 1
}
# mean_rgb FILE: its mean red, green and blue (0 to 1).
mean_rgb() { convert "$1" -format '%[fx:mean.r] %[fx:mean.g] %[fx:mean.b]' info:; }
# alike "R G B" "R G B": loosely the same colour (Mesa's rasterisers differ
# in detail, and the times match only to a screenshot's length).
alike() { awk -v a="$1" -v b="$2" 'BEGIN { split(a, x); split(b, y); for (i = 1; i <= 3; i++) if ((x[i] - y[i]) ^ 2 > 0.01) exit 1 }'; }

# Linux frames of the demo at the saver's default picture position (fill):
# the first slide (the lake) and the second (the forest).
"$root/build/tools/lumisave-tool" render "$root/build/samples/demo.lumi" --times 2,16 --size 600x400 \
  --position fill --step 0.1 --out-dir "$shots/linux" > "$logs/linux-frames.log" 2>&1

# The test window: "Loading..." in a centred square of two thirds of the
# height, black beside it, then the demo as Linux draws it at the same
# times; input does not end it.
xdotool mousemove 1000 750
start_saver saver-test /t
status=0
loading=1
deadline=$((SECONDS + 30))
while ((loading != 0 && SECONDS < deadline)); do
  import -window root -crop 600x400+50+50 +repage "$shots/test-loading.png"
  convert "$shots/test-loading.png" -crop 267x267+167+67 +repage "$shots/test-square.png"
  difference=$(compare -metric RMSE "$shots/test-square.png" "$root/build/builtin_pictures/picture_5.png" \
    -resize 267x267! null: 2>&1 | sed 's/.*(\(.*\))/\1/' || true)
  beside=$(convert "$shots/test-loading.png" -crop 150x400+0+0 -format '%[fx:mean]' info:)
  awk -v d="$difference" -v b="$beside" 'BEGIN { exit !(d < 0.15 && b < 0.02) }' && loading=0
done
demo_seen=$SECONDS
wait_for_demo 600x400+50+50 test-lake || status=1
alike "$(mean_rgb "$shots/test-lake.png")" "$(mean_rgb "$shots/linux/t000002.000.png")" || status=1
if ((demo_seen + 15 > SECONDS)); then sleep $((demo_seen + 15 - SECONDS)); fi
import -window root -crop 600x400+50+50 +repage "$shots/test-forest.png"
alike "$(mean_rgb "$shots/test-forest.png")" "$(mean_rgb "$shots/linux/t000016.000.png")" || status=1
for x in 100 200 300 400 500 600 700; do xdotool mousemove $x 300; done
xdotool key space click 1
saver_ends 10 && status=1
stop_saver
tally saver-test-loading $loading "$shots/test-loading.png"
tally saver-test-demo $status "$shots"

# Full screen covers the screen, ends on a key, and on mouse moves but not
# on the first few. Wine reports one move of its own when the windows
# appear (to the middle of the screen, wherever the pointer is), and the
# saver counts it as Windows' own would: the user's fifth move ends it.
xdotool mousemove 1000 750
start_saver saver-full-moves /s
status=0
wait_for_demo 1024x768+0+0 full-screen || status=1
# The strip below the test window was black before.
shows_demo "$(look 1024x60+0+708 "$shots/full-screen-bottom.png")" || status=1
for ((moves = 1; moves <= 6; moves++)); do
  xdotool mousemove $((100 + 20 * moves)) 100
  saver_ends 7 && break
done
echo "full screen ended on the user's mouse move $moves" > "$logs/saver-full-moves.moves"
if ((moves >= 5 && moves <= 6)); then (($(exit_code) == 0)) || status=1; else status=1; fi
stop_saver
tally saver-full-screen-moves $status "$logs/saver-full-moves.moves"

start_saver saver-full-key /s
status=0
wait_for_demo 1024x768+0+0 full-screen-key || status=1
xdotool key space
if saver_ends 50; then (($(exit_code) == 0)) || status=1; else status=1; fi
stop_saver
tally saver-full-screen-key $status "$shots/full-screen-key.png"

# Previews into a window of another program, killed with TerminateProcess
# at random moments ten times: the host's window survives every kill and
# no log shows a crash.
saver_windows_path="Z:${saver//\//\\}"
run preview-kills "$out/tests/host/lumi_preview_host.exe" "$saver_windows_path" 10
status=0
((code == 0)) && grep -q '^10 of 10 rounds passed' "$logs/preview-kills.out" || status=1
tally saver-preview-kills $status "$logs/preview-kills.out"

# Wine reports a crash (ours or its own) with a backtrace.
status=0
grep -lE 'Unhandled (exception|page fault)|Backtrace:' "$logs"/saver-*.err "$logs"/preview-kills.* && status=1
tally saver-no-crash-reports $status "$logs"
echo "smoke tests under Wine: $((SECONDS - smoke_started)) s"
