# A whole session as a player has it, on a machine as slow as software
# rendering in play (every frame at least 200 ms): end the splash with a key,
# walk the menu and the options with taps far shorter than a frame, start a
# game, launch with one short click, pause with P and by taking the focus away,
# give up with Escape and YES, get back to the menu and QUIT. The game's trace shows that
# every tap acted exactly once; the saved options and the exit status that
# the menu got them all too.
source "$(dirname "$0")/lib.sh"

run=$(make_runtime)
pid=""
other=""
trap 'kill $pid $other 2>/dev/null || true; rm -rf "$run"' EXIT
cd "$run"
pack=$(sed -n 4p config.ini)

# tap <key> <seconds held>: the same gap follows, so several taps fall in one frame.
tap() {
  xdotool keydown "$1"
  sleep "$2"
  xdotool keyup "$1"
  sleep "$2"
}
traced() { grep -c "^trace: $1\$" log.txt || true; }
# expect_trace <line> <count> <seconds>: waits until the trace holds the line that often.
expect_trace() {
  local i
  for ((i = 0; i < $3 * 10; i++)); do
    [ "$(traced "$1")" -ge "$2" ] && break
    sleep 0.1
  done
  if [ "$(traced "$1")" -ne "$2" ]; then
    echo "expected \"$1\" $2 times, saw it $(traced "$1") times"; grep '^trace' log.txt | tail -n 30; exit 1
  fi
}

TESSIVAR_MIN_FRAME_MS=200 TESSIVAR_TRACE=1 "$BUILD_DIR/game/shell/tessivar" >log.txt 2>err.txt &
pid=$!
wait_for_text log.txt "trace: state Splash" 60
screenshot play-splash
sleep 1
tap Down 0.05                             # any key ends the splash once the game has loaded
wait_for_text log.txt "trace: state Menu" 5
expect_trace "splash skipped" 1 1
screenshot play-menu

tap Down 0.03; tap Down 0.03; tap Return 0.03   # OPTIONS, on its first line
expect_trace "state Options" 1 5
tap Down 0.03; tap Down 0.03; tap Return 0.03   # FALL MODE: ON
tap Up 0.03; tap Up 0.03                  # RESOLUTION
for hold in 0.03 0.08 0.15 0.3; do        # 10 taps at each hold, 40 in all
  for _ in $(seq 1 10); do tap Return "$hold"; done
done
# 40 = 5 turns of the 7 sizes a 1920x1080 screen shows, and 5 steps on from 1024x768: 640x480
expect_trace "option RESOLUTION" 40 5
expect_trace "option FALL MODE" 1 1
screenshot play-options
for _ in 1 2 3 4 5 6 7 8; do tap Down 0.03; done
tap Return 0.03                           # RETURN: the cursor back on OPTIONS
expect_trace "state Menu" 2 5
tap Up 0.03; tap Up 0.03; tap Return 0.03   # NEW GAME
expect_trace "state Play" 1 10            # after the ready phase
xdotool mousedown 1; sleep 0.03; xdotool mouseup 1   # one click, shorter than a frame: launch
expect_trace "launch" 1 5
screenshot play-game

tap p 0.03
expect_trace "state Paused" 1 5
sleep 0.5
screenshot play-paused
tap p 0.03
expect_trace "state Play" 2 5

# Another window takes the focus: the game pauses and waits for the player.
game_window=$(xdotool search --name '^Tessivar$' | head -n 1)
xmessage -timeout 30 "another window" 2>/dev/null &
other=$!
other_window=$(xdotool search --sync --class Xmessage | head -n 1)
xdotool windowfocus "$other_window"
expect_trace "state Paused" 2 5
xdotool windowfocus "$game_window"
kill "$other" 2>/dev/null || true
sleep 1
expect_trace "state Play" 2 1
tap p 0.03
# Right after the focus comes back under Xvfb a short press is sometimes lost; a player presses again.
for _ in $(seq 1 30); do [ "$(traced "state Play")" -ge 3 ] && break; sleep 0.1; done
[ "$(traced "state Play")" -ge 3 ] || tap p 0.03
expect_trace "state Play" 3 5

tap Escape 0.03                           # give up: asked first, then GAME OVER and the menu
expect_trace "state AskEnd" 1 5
tap Left 0.03; tap Return 0.03            # YES
expect_trace "state GameOver" 1 5
for _ in $(seq 1 100); do                 # a game with points enters the pack's empty table first
  grep -q "^trace: state \(NameEntry\|Menu\)$" <(sed -n '/trace: state GameOver/,$p' log.txt) && break
  sleep 0.1
done
if grep -q "^trace: state NameEntry$" log.txt; then
  tap Return 0.03                         # the name offered
  expect_trace "state HighScores" 1 5
  tap Escape 0.03
fi
expect_trace "state Menu" 3 10
screenshot play-back-in-menu
for _ in 1 2 3 4; do tap Down 0.03; done   # the last line, wherever the cursor stood
tap Return 0.03                           # QUIT

for _ in $(seq 1 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  echo "tessivar did not quit"; stop_process "$pid"; tail -n 20 log.txt; exit 1
fi
set +e
wait "$pid"
status=$?
set -e
if [ "$status" -ne 0 ]; then
  echo "QUIT ended with status $status"; tail -n 20 log.txt; cat err.txt; exit 1
fi
expected=$(printf '640 480\n1\n1\n%s' "$pack")
if [ "$(cat config.ini)" != "$expected" ]; then
  echo "config.ini after QUIT:"; cat config.ini; echo "expected:"; echo "$expected"; exit 1
fi
echo "play windowed test passed"
