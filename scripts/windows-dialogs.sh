# The settings dialogs of the cross-built saver under Wine on the virtual X
# server: lumi_dialog_driver starts "lumisave.scr /c", finds each dialog by
# its title and works its controls by id; the registry shows what they
# stored, and a stand-in browser records the command line the Website
# button starts. Sourced by build-windows.sh inside its Xvfb part; it uses
# that script's prefix, $DISPLAY, $out and $logs, and its fail and tally
# helpers.
dialogs_started=$SECONDS
driver=$out/tests/host/lumi_dialog_driver.exe
saver_path=$(winepath -w "$out/host/lumisave.scr" 2> /dev/null)
recorder_path=$(winepath -w "$out/tests/host/lumi_command_recorder.exe" 2> /dev/null)
settings_key='HKCU\Software\Quillborne\Lumivex\Screensaver'
web_address='https://lumisave.example/'

# drive NAME SCENARIO [ARGS]: one run of the driver; its exit code in $code,
# its report in $logs/NAME.out and the saver's key afterwards in
# $logs/NAME.reg.
drive() {
  local name=$1
  shift
  code=0
  timeout 30 wine "$driver" "$saver_path" "$@" > "$logs/$name.out" 2> "$logs/$name.err" || code=$?
  wine reg query "$settings_key" /s > "$logs/$name.reg" 2> /dev/null || true
}
# reported NAME TEXT...: every TEXT is a line of the driver's report or of
# the key's listing, and the saver ended by itself.
reported() {
  local name=$1 wanted
  shift
  ((code == 0)) || return 1
  for wanted in 'saver exit: 0' "$@"; do
    grep -qF -- "$wanted" "$logs/$name.out" "$logs/$name.reg" || return 1
  done
}
dialog_check() {
  local name=$1
  shift
  local status=0
  reported "$name" "$@" || status=1
  tally "$name" $status "$logs/$name.out"
}

# A fresh user: the first opening stores every screen value, OK the position.
wine reg delete "$settings_key" /f > /dev/null 2>&1 || true
drive saver-settings position-ok
dialog_check saver-settings 'information: Created with Lumivex' 'selected position: 2' \
  '"PicPos"    REG_DWORD    0x1' 'AllScreensSame    REG_DWORD    0x0' "Screensaver\\Screen 1" \
  'Width    REG_DWORD    0x0'

# Cancel after choosing Fill changes nothing.
cp "$logs/saver-settings.reg" "$logs/dialog-cancel.before"
drive dialog-cancel position-cancel
status=0
reported dialog-cancel 'selected position: 1' || status=1
cmp -s "$logs/dialog-cancel.before" "$logs/dialog-cancel.reg" || status=1
tally dialog-cancel $status "$logs/dialog-cancel.reg"

# The volume's trackbar at the bottom stores 0; Mute stores 1, and the
# configuration's Cancel keeps what Sound Settings' OK stored.
drive dialog-sound sound
dialog_check dialog-sound 'volume scale: 0 to 100, at 0' '"SoundVolume"    REG_DWORD    0x0' \
  '"MuteSound"    REG_DWORD    0x1' '"PicPos"    REG_DWORD    0x1'

# Display Settings on Mesa's software renderer; a mode chosen and then
# cancelled is not stored by the configuration's OK.
drive dialog-display display
dialog_check dialog-display 'adapter: ' \
  'rendering: The screen saver can use software 3D rendering on this monitor.' \
  'disable hardware: disabled' 'templates shown: no' 'mode 0: Automatic (data -1)' 'bit color (data 0)' \
  'Width    REG_DWORD    0x0'

# The Website button with the shell's http command set to the recorder:
# browser NAME COMMAND EXPECTED: EXPECTED is the one command line it saw,
# or empty when nothing may start.
browser() {
  local name=$1 command=$2 expected=$3
  local record=$logs/$name.record
  rm -f "$record"
  wine reg add 'HKCR\http\shell\open\command' /ve /d "$command" /f > "$logs/$name.reg-add" 2>&1
  export LUMI_RECORDER_FILE
  LUMI_RECORDER_FILE=$(winepath -w "$record" 2> /dev/null)
  drive "$name" website "$LUMI_RECORDER_FILE"
  unset LUMI_RECORDER_FILE
  # The recorder may still be writing when the saver has ended.
  local i
  for ((i = 0; i < 30 && ${#expected} > 0; i++)); do
    [[ -s $record ]] && break
    sleep 0.1
  done
  local status=0
  if [[ -n $expected ]]; then
    reported "$name" 'browser started: yes' || status=1
    [[ $(cat "$record" 2> /dev/null) == "$expected" ]] || status=1
  else
    reported "$name" 'browser started: no' || status=1
    [[ ! -e $record ]] || status=1
  fi
  tally "$name" $status "$logs/$name.out"
}
browser website-quoted "\"$recorder_path\" \"%1\"" "\"$recorder_path\" \"$web_address\""
browser website-appended "\"$recorder_path\" -new-window" "\"$recorder_path\" -new-window $web_address"
browser website-placeholders "\"$recorder_path\" %L %* \"%1\"" "\"$recorder_path\" %L %* \"$web_address\""
browser website-no-placeholder "\"$recorder_path\" %L %* %2 %s" "\"$recorder_path\" %L %* %2 %s $web_address"
browser website-too-long "\"$recorder_path\" $(printf 'x%.0s' $(seq 240)) \"%1\"" ''
echo "settings dialogs: $((SECONDS - dialogs_started)) s"
