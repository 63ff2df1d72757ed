#!/usr/bin/env bash
# editor-window-test.sh CASE EDITOR [wm]: the stage editor in a real window on a private Xvfb
# display, driven by X mouse and key events; with "wm", under openbox.
#   undo      a click places a block and puts the modified mark in the title; Ctrl+Z takes the
#             block and the mark away again
#   recovery  an editor killed with SIGKILL after an edit: the next start offers the recovery,
#             Yes restores the edit (saved with Ctrl+S into its file); after another kill, No
#             deletes the recovery file
set -u
case_name=$1 editor=$2 wm=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
cleanup() {
  [ -n "${app:-}" ] && { kill -9 "$app"; wait "$app"; } 2>/dev/null
  [ -n "${manager:-}" ] && kill "$manager" 2>/dev/null
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; cat "$work"/editor*.txt 2>/dev/null; exit 1; }

mkdir -p "$work/fb" "$work/state" "$work/run"
chmod 700 "$work/run"
# -noreset: the server would reset when the killed editor, its last client, goes, and refuse the
# next editor while it does. Another X server starting at the same moment may take the display
# number this one chose: then it tries again.
display=""
for _ in 1 2 3; do
  exec 3<> <(:)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -fbdir "$work/fb" -nolisten tcp -noreset \
    >"$work/xvfb.log" 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do
    read -t 0.2 -u 3 display && break
  done
  [ -n "$display" ] && break
  kill "$xvfb" 2>/dev/null
  sleep 0.5
done
[ -n "$display" ] || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$display" XDG_STATE_HOME="$work/state" XDG_RUNTIME_DIR="$work/run"
export ZARP_EDITOR_RECOVERY_MS=200 QT_QPA_PLATFORM=xcb
if [ "$wm" = wm ]; then
  command -v openbox >/dev/null || fail "openbox is not installed"
  openbox >"$work/openbox.log" 2>&1 &
  manager=$!
  sleep 1
fi

# One stage, the ball at (32, 32), no blocks.
set_file="$work/set.zrp"
printf '%s\r\n' 2 window '*' '*' '*' '*' '*' '*' '*' '*' '*' '*' '## other data' \
  '*' '*' 32 32 0 5 '*' '*' >"$set_file"

start_editor() {
  (cd "$work" && exec "$editor" "$@") >"$work/editor$((++runs)).txt" 2>&1 &
  app=$!
}
runs=0

# Waits (up to 30 s) until the command succeeds.
wait_for() {
  for _ in $(seq 300); do
    "$@" && return 0
    kill -0 "$app" 2>/dev/null || fail "the editor ended (waiting for: $*)"
    sleep 0.1
  done
  return 1
}
main_window() { xdotool search --name "^$1\\*?\$" 2>/dev/null | head -n 1; }
title_is() { [ "$(xdotool getwindowname "$(main_window "$1")" 2>/dev/null)" = "$2" ]; }
recovery_files() { ls "$work/state/zarpane" 2>/dev/null | grep -c '^editor-'; }
has_recovery() { [ "$(recovery_files)" -ge 3 ]; }
no_recovery() { [ "$(recovery_files)" -eq 0 ]; }
question_shown() {
  question=$(xdotool search --onlyvisible --name '^Zarpane Stage Editor$' 2>/dev/null | head -n 1)
  [ -n "$question" ]
}

# The colour of a point of the stage field (its own coordinates) on the screen.
field_pixel() {
  local id=$1 x=$2 y=$3 left top
  # Where the window's client area is on the screen, also inside a window manager's frame.
  left=$(xwininfo -id "$id" | sed -n 's/.*Absolute upper-left X: *//p')
  top=$(xwininfo -id "$id" | sed -n 's/.*Absolute upper-left Y: *//p')
  # The field's top 16 rows lie above the window's client area, under the 18-row menu bar.
  python3 "$here/screen.py" "$work/fb" pixel $((left + x)) $((top + 18 + y - 16))
}
# Presses the left button on a point of the field.
click_field() {
  local id=$1 x=$2 y=$3
  xdotool mousemove --window "$id" "$x" $((y - 16 + 18)) click 1
  xdotool mousemove 0 0
}
focus_key() {
  xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"
  xdotool key --clearmodifiers "$2"
}

case "$case_name" in
  undo)
    start_editor "$set_file"
    wait_for title_is "$set_file" "$set_file" || fail "no window titled $set_file"
    id=$(main_window "$set_file")
    [ "$(field_pixel "$id" 300 300)" = 000000 ] || fail "the field is not black where the block goes"
    click_field "$id" 300 300  # a steel block at (288, 288), 64 x 64
    wait_for title_is "$set_file" "$set_file*" || fail "no modified mark after placing a block"
    sleep 0.3
    [ "$(field_pixel "$id" 330 330)" != 000000 ] || fail "the block is not drawn"
    focus_key "$id" ctrl+z
    wait_for title_is "$set_file" "$set_file" || fail "Ctrl+Z left the modified mark"
    sleep 0.3
    [ "$(field_pixel "$id" 330 330)" = 000000 ] || fail "Ctrl+Z left the block"
    ;;
  recovery)
    start_editor "$set_file"
    wait_for title_is "$set_file" "$set_file" || fail "no window titled $set_file"
    click_field "$(main_window "$set_file")" 300 300
    wait_for title_is "$set_file" "$set_file*" || fail "no modified mark after placing a block"
    wait_for has_recovery || fail "no recovery file"
    kill -9 "$app"; wait "$app" 2>/dev/null; app=""

    start_editor
    wait_for question_shown || fail "the recovery was not offered"
    focus_key "$question" Return
    wait_for title_is "$set_file" "$set_file*" || fail "Yes did not restore the set as changed"
    focus_key "$(main_window "$set_file")" ctrl+s
    wait_for title_is "$set_file" "$set_file" || fail "Ctrl+S did not save"
    no_recovery || fail "saving left the recovery file"
    # The restored block went into the file: x, y and type on three lines.
    tr -d '\r' <"$set_file" | tr '\n' ' ' | grep -q ' 288 288 0 \* \* \* ' ||
      fail "the saved set lacks the restored block: $(tr '\r\n' '  ' <"$set_file")"

    click_field "$(main_window "$set_file")" 100 100
    wait_for has_recovery || fail "no recovery file after the second edit"
    kill -9 "$app"; wait "$app" 2>/dev/null; app=""
    start_editor
    wait_for question_shown || fail "the recovery was not offered the second time"
    focus_key "$question" Escape
    wait_for no_recovery || fail "No left the recovery file"
    wait_for title_is "New file" "New file" || fail "No changed the new document"
    ;;
  *)
    fail "unknown case $case_name"
    ;;
esac
echo "ok: $case_name ${wm:-}"
