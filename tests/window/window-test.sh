#!/usr/bin/env bash
# window-test.sh CASE ZARP DIST [XPROBE]: runs zarp on a private Xvfb display.
#   f9          the game opens its window; F9 closes it with exit status 0 and zarp.dat is written
#   goal        "zarp w 1" on a test file plays a shot to the goal and ends with exit status 0
#   fullscreen  "zarp 1" on a 1400 x 1000 screen without a window manager: the picture fills
#               the screen by whole steps (twice), centred, black around it
#   fullscreen-openbox  the same under the openbox window manager
#   bell        no sound device, the beep taken: the effects ring the X server's bell
set -u
case_name=$1 zarp=$2 dist=$3 xprobe=${4:-}
work=$(mktemp -d)
cleanup() {
  [ -n "${game:-}" ] && kill "$game" 2>/dev/null
  [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# The program folder is a copy, so the test writes its own zarp.dat.
cp "$zarp" "$work/zarp"
cp "$dist"/palette.dat "$work/" 2>/dev/null || { echo "no palette.dat in $dist"; exit 1; }
cp "$dist"/*.wav "$dist"/*.mid "$work/" 2>/dev/null

screen=800x600x24
case "$case_name" in fullscreen*) screen=1400x1000x24 ;; esac
exec 3<> <(:)
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp >"$work/xvfb.log" 2>&1 &
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

# The editor's test file with one stage: the ball starts left of the goal, aimed at it (angle 0
# points right).
test_file() {
  mkdir -m 700 -p "$work/run/zarpane"
  printf '%s\r\n' 2 window '*' '*' '*' 320 112 10 '*' '*' '*' '*' '*' '*' '*' '*' \
    '## other data' '*' '*' 96 112 0 3 '*' '*' >"$work/run/zarpane/\$\$\$zrp\$\$\$.tmp"
}

# F9 until the game has gone (on a busy machine the first may come before it listens).
quit() {
  for _ in $(seq 100); do
    kill -0 "$game" 2>/dev/null || break
    xdotool key F9 2>/dev/null
    sleep 0.3
  done
}

case "$case_name" in
  fullscreen*)
    if [ "$case_name" = fullscreen-openbox ]; then
      openbox --sm-disable >"$work/openbox.log" 2>&1 &
      wm=$!
      # openbox announces itself on the root window once it runs.
      for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.1
      done
    fi
    test_file
    (cd "$work" && XDG_RUNTIME_DIR="$work/run" exec ./zarp 1) 2>"$work/stderr.txt" &
    game=$!
    wait_for_window || exit 1
    # The stage start ends in play, which shows the field framed in grey from the picture's
    # top-left corner to its right edge: 640 x 480 at twice its size is 1280 x 960, centred.
    want="60 20 1340"
    box=""
    for _ in $(seq 100); do
      box=$("$xprobe" box)
      [ "${box% *}" = "$want" ] && break
      sleep 0.2
    done
    echo "picture box: $box"
    quit
    finish 100
    [ "${box% *}" = "$want" ] || { echo "expected the box to begin $want"; exit 1; }
    bottom=${box##* }
    [ "$bottom" -le 980 ] || { echo "the picture runs past its bottom edge (980)"; exit 1; }
    ;;
  bell)
    "$xprobe" bells 25 >"$work/bells.txt" 2>"$work/probe.txt" &
    probe=$!
    for _ in $(seq 50); do grep -q listening "$work/probe.txt" && break; sleep 0.1; done
    # No audio driver of that name: the sound device cannot be opened, and the game asks.
    (cd "$work" && SDL_AUDIODRIVER=no-such-driver exec ./zarp w) 2>"$work/stderr.txt" &
    game=$!
    # The question's box, found by its caption (xwininfo reads the UTF-8 name as it is).
    question() { xwininfo -root -tree 2>/dev/null | awk '/"質問"/ { print $1; exit }'; }
    asked=""
    for _ in $(seq 300); do
      asked=$(question)
      [ -n "$asked" ] && break
      sleep 0.1
    done
    [ -n "$asked" ] || { echo "the sound question did not come"; cat "$work/stderr.txt"; exit 1; }
    # Return takes the default answer, Yes: effects become beeps. The opening's voices beep.
    for _ in $(seq 20); do
      xdotool windowfocus --sync "$asked" key Return 2>/dev/null
      sleep 0.3
      [ -n "$(question)" ] || break
    done
    wait_for_window || exit 1
    sleep 3
    quit
    finish 100
    kill "$probe" 2>/dev/null; wait "$probe" 2>/dev/null
    bells=$(grep -c bell "$work/bells.txt")
    echo "bells: $bells"
    [ "$bells" -ge 1 ] || { echo "the bell did not ring"; cat "$work/stderr.txt"; exit 1; }
    ;;
  f9)
    (cd "$work" && exec ./zarp w) 2>"$work/stderr.txt" &
    game=$!
    wait_for_window || exit 1
    quit
    finish 100
    grep -q 'Sum=680' "$work/zarp.dat" || { echo "zarp.dat not written"; exit 1; }
    ;;
  goal)
    test_file
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
