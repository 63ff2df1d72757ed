#!/usr/bin/env bash
# window-test.sh CASE ZARP DIST: runs zarp in a window on a private Xvfb display.
#   f9    the game opens its window; F9 closes it with exit status 0 and zarp.dat is written
#   goal  "zarp w 1" on a test file plays a shot to the goal and ends with exit status 0
set -u
case_name=$1 zarp=$2 dist=$3
work=$(mktemp -d)
cleanup() {
  [ -n "${game:-}" ] && kill "$game" 2>/dev/null
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# The program folder is a copy, so the test writes its own zarp.dat.
cp "$zarp" "$work/zarp"
cp "$dist"/palette.dat "$work/" 2>/dev/null || { echo "no palette.dat in $dist"; exit 1; }
cp "$dist"/*.wav "$dist"/*.mid "$work/" 2>/dev/null

exec 3<> <(:)
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
display=""
for _ in $(seq 50); do
  read -t 0.2 -u 3 display && break
done
[ -n "$display" ] || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$display" SDL_AUDIODRIVER=dummy

window() { xdotool search --name '^Zarpane$' 2>/dev/null | head -n 1; }

wait_for_window() {
  # A busy machine may take a while to start the game; give it half a minute.
  for _ in $(seq 300); do
    id=$(window)
    [ -n "$id" ] && { xdotool windowfocus --sync "$id" 2>/dev/null; return 0; }
    if ! kill -0 "$game" 2>/dev/null; then
      wait "$game"; echo "the game ended before its window appeared (exit status $?)"
      cat "$work/stderr.txt"; game=""; return 1
    fi
    sleep 0.1
  done
  echo "no window appeared"; cat "$work/stderr.txt"; xdotool search --name . getwindowname %@ 2>&1 | head
  return 1
}

finish() {
  for _ in $(seq ${1:-100}); do
    kill -0 "$game" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$game" 2>/dev/null; then echo "the game did not end"; exit 1; fi
  wait "$game"; status=$?; game=""
  echo "exit status $status"
  [ "$status" -eq 0 ] || { cat "$work/stderr.txt"; exit 1; }
}

case "$case_name" in
  f9)
    (cd "$work" && exec ./zarp w) 2>"$work/stderr.txt" &
    game=$!
    wait_for_window || exit 1
    # F9 until the game has gone (on a busy machine the first may come before it listens).
    for _ in $(seq 100); do
      kill -0 "$game" 2>/dev/null || break
      xdotool key F9 2>/dev/null
      sleep 0.3
    done
    finish 100
    grep -q 'Sum=680' "$work/zarp.dat" || { echo "zarp.dat not written"; exit 1; }
    ;;
  goal)
    # One stage: the ball starts left of the goal, aimed at it (angle 0 points right).
    mkdir -m 700 -p "$work/run/zarpane"
    printf '%s\r\n' 2 window '*' '*' '*' 320 112 10 '*' '*' '*' '*' '*' '*' '*' '*' \
      '## other data' '*' '*' 96 112 0 3 '*' '*' >"$work/run/zarpane/\$\$\$zrp\$\$\$.tmp"
    (cd "$work" && XDG_RUNTIME_DIR="$work/run" exec ./zarp w 1) 2>"$work/stderr.txt" &
    game=$!
    wait_for_window || exit 1
    # Shift skips the stage start's waits; then Space fires, and later leaves the clear window.
    xdotool keydown shift; sleep 2; xdotool keyup shift
    for _ in $(seq 200); do
      kill -0 "$game" 2>/dev/null || break
      xdotool key space 2>/dev/null
      sleep 0.15
    done
    finish 50
    ;;
esac
