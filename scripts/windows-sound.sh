# Sound checks of the cross-built saver under Wine on the virtual X server:
# the DirectShow graph's own checks, then the test window plays a document
# with a slide WAV, an MP3 object and two MP3 tracks
# through DirectSound and DirectShow, the tracks start in turn, the saver
# ends cleanly and leaves nothing in the temporary folder, and a saver
# killed with TerminateProcess leaves a folder that the next start removes.
# Sourced by build-windows.sh inside its Xvfb part; it uses that script's
# prefix, $DISPLAY, $root, $out and $logs, and its run, fail and tally
# helpers.
sound_started=$SECONDS
sound_dir=$logs/sound
mkdir -p "$sound_dir"
# ALSA's null device, so that DirectSound finds a device on a machine
# without a sound card.
sound_home=$sound_dir/home
mkdir -p "$sound_home"
echo 'pcm.!default { type null }' > "$sound_home/.asoundrc"
# A Windows program's name for a file of ours.
windows_path() { echo "Z:${1//\//\\}"; }

# The clips: two tracks of a second (MP3, from tones) and a slide WAV.
status=0
for track in one:440 two:660; do
  sox -n -r 44100 -c 2 -b 16 "$sound_dir/${track%:*}.wav" synth 1.0 sine "${track#*:}" vol 0.3 || status=1
  lame --quiet -b 64 "$sound_dir/${track%:*}.wav" "$sound_dir/${track%:*}.mp3" || status=1
done
sox -n -r 22050 -c 1 -b 16 "$sound_dir/brook.wav" synth 0.5 sine 550 vol 0.3 || status=1

# The document: the demo's first slide with the WAV and an MP3 object on it
# (the MP3 on a continuous timeline, playing again and again), and the tracks.
# The demo names its pictures beside it and its masks where the native
# build painted them.
python3 - "$root/samples/demo" "$root/build/samples/demo_masks" "$root/samples/records/sound.json" "$sound_dir" \
  > "$sound_dir/scene.json" <<'EOF' || status=1
import json, os, sys
demo_dir, masks_dir, sounds_path, folder = sys.argv[1:]
demo = json.load(open(os.path.join(demo_dir, "scene.json")))
wave, mp3 = json.load(open(sounds_path))["sounds"][:2]
mp3["audio_file"]["file"] = folder + "/two.mp3"

def locate(node):
    if isinstance(node, dict):
        name = node.get("file")
        if isinstance(name, str) and not os.path.isabs(name):
            beside = os.path.join(demo_dir, name)
            node["file"] = beside if os.path.exists(beside) else os.path.join(masks_dir, name)
        for value in node.values():
            locate(value)
    elif isinstance(node, list):
        for value in node:
            locate(value)

locate(demo)
slide = demo["show"]["slides"][0]
slide["sounds"] = [wave, mp3]
demo["show"]["slides"] = [slide]
demo["show"]["tracks"] = [
    {"title": title, "file": {"name": "C:\\Music\\" + title + ".mp3", "file": folder + "/" + title + ".mp3"}}
    for title in ("one", "two")
]
link = wave["wave_file"]
demo["resources"]["module_files"].append({
    "path": link["path"], "number": link["number"],
    "frames": [{"id": 0, "module": "", "name": link["path"], "file": folder + "/brook.wav"}],
})
json.dump(demo, sys.stdout, indent=1)
EOF
"$root/build/tools/lumisave-tool" pack "$sound_dir/scene.json" -o "$sound_dir/sound.lumi" > "$sound_dir/pack.log" 2>&1 ||
  status=1
sound_saver=$sound_dir/lumisave-sound.scr
run carry-document "$out/tests/host/lumi_carry_document.exe" "$(windows_path "$out/host/lumisave.scr")" \
  "$(windows_path "$sound_saver")" "$(windows_path "$sound_dir/sound.lumi")"
((code == 0)) || status=1
tally sound-document $status "$logs/carry-document.err"

# The DirectShow graph's own checks, with the sound device.
HOME=$sound_home run directshow-graph "$out/tests/sound_windows/lumi_directshow_checks.exe"
count=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\.\r\?$/\1/p' "$logs/directshow-graph.out")
if ((code == 0 && ${count:-0} > 0)); then
  passed=$((passed + count))
  echo "directshow-graph: $count passed"
else
  fail "directshow-graph exited with $code" "$logs/directshow-graph.out"
fi

# The saver's temporary folder, as the saver's GetTempPathW gives it.
temp_dir=$(winepath -u "$(wine cmd /c echo %TEMP% 2> /dev/null | tr -d '\r')" 2> /dev/null)
# Our folders in it.
sound_folders() { find "$temp_dir" -maxdepth 1 -name 'lumisave-*' -type d 2> /dev/null | sort; }
find "$temp_dir" -maxdepth 1 -name 'lumisave-*' -exec rm -rf {} + 2> /dev/null || true

# start_sound NAME: the saver's test window, its id in $sound_pid. In a
# subshell whose notes go nowhere: a saver killed on purpose (Wine's
# TerminateProcess ends the process with a signal) would be reported.
start_sound() {
  # Emptied here, not by the saver's redirection: that comes a moment later,
  # and the log of an earlier run must not be read meanwhile.
  : > "$logs/$1.out"
  : > "$logs/$1.err"
  (
    HOME=$sound_home wine "$sound_saver" /t >> "$logs/$1.out" 2>> "$logs/$1.err"
    exit $?
  ) 2> /dev/null &
  sound_pid=$!
}
# sound_lines NAME WANTED: whether the log shows WANTED track starts within
# 40 s (loading the document takes most of it under Wine).
sound_lines() {
  local deadline=$((SECONDS + 40))
  while ((SECONDS < deadline)); do
    (($(grep -c 'lumisave: background track' "$logs/$1.err") >= $2)) && return 0
    kill -0 "$sound_pid" 2> /dev/null || return 1
    sleep 0.2
  done
  return 1
}
# sound_ends: the saver's exit code in $sound_code once it has ended (10 s
# at most), or "running" (then it is stopped).
sound_ends() {
  local i
  for ((i = 0; i < 100; i++)); do
    if ! kill -0 "$sound_pid" 2> /dev/null; then
      sound_code=0
      wait "$sound_pid" 2> /dev/null || sound_code=$?
      return
    fi
    sleep 0.1
  done
  wine taskkill /f /im "$sound_name" > /dev/null 2>&1 || true
  wait "$sound_pid" 2> /dev/null || true
  sound_code=running
}
sound_name=$(basename "$sound_saver")

# fault TEXT: the check under way fails; its log names why.
fault() {
  status=1
  echo "$1" >> "$logs/sound.faults"
}
rm -f "$logs/sound.faults"

# Closed as any program is (WM_CLOSE): DirectSound found the null device,
# the tracks started in turn, the tracks and the MP3 object played from
# files of the saver's own folder while it ran, and nothing is left.
start_sound sound-tracks
status=0
sound_lines sound-tracks 3 || fault "tracks: fewer than three track starts"
running_folders=$(sound_folders)
if [[ -n $running_folders ]]; then
  ls -R $running_folders > "$logs/sound-tracks.folders" 2>&1
  (($(find $running_folders -name '*.mp3' | wc -l) == 3)) || fault "tracks: not three MP3 files in our folder"
else
  fault "tracks: no folder of ours while playing"
fi
wine taskkill /im "$sound_name" > "$logs/sound-close.log" 2>&1 || fault "tracks: taskkill found no saver to close"
sound_ends
[[ $sound_code == 0 ]] || fault "tracks: closed, the saver ended with $sound_code"
grep 'lumisave: ' "$logs/sound-tracks.err" | head -n 3 | tr -d '\r' > "$logs/sound-tracks.starts"
printf 'lumisave: background track %s starts\n' '1 of 2 (one)' '2 of 2 (two)' '1 of 2 (one)' |
  cmp -s - "$logs/sound-tracks.starts" || fault "tracks: not the starts wanted (see sound-tracks.starts)"
[[ -z $(sound_folders) ]] || fault "tracks: a folder of ours is left after the saver ended"
grep -q 'No sound device' "$logs/sound-tracks.err" && fault "tracks: DirectSound found no device"
grep -qE 'Unhandled (exception|page fault)|Backtrace:' "$logs/sound-tracks.err" && fault "tracks: a crash report"
tally saver-sound-tracks $status "$logs/sound.faults"

# Killed with TerminateProcess, as previews are: its folder stays behind
# until the next saver starts.
start_sound sound-killed
status=0
sound_lines sound-killed 1 || fault "kill: the first track did not start"
wine taskkill /f /im "$sound_name" > "$logs/sound-kill.log" 2>&1 || fault "kill: taskkill /f found no saver"
sound_ends
stale=$(sound_folders)
[[ -n $stale ]] || fault "kill: no folder left behind by the killed saver"
start_sound sound-after-kill
sound_lines sound-after-kill 1 || fault "after kill: the first track did not start"
for folder in $stale; do [[ ! -e $folder ]] || fault "after kill: $folder is still there"; done
wine taskkill /im "$sound_name" > "$logs/sound-close-after-kill.log" 2>&1 || fault "after kill: no saver to close"
sound_ends
[[ $sound_code == 0 ]] || fault "after kill: closed, the saver ended with $sound_code"
[[ -z $(sound_folders) ]] || fault "after kill: a folder of ours is left after the saver ended"
tally saver-sound-stale-folder $status "$logs/sound.faults"
echo "sound checks under Wine: $((SECONDS - sound_started)) s"
