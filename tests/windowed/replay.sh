# Replays and the demo with the real programs: a game played with scripted
# mouse and keys (clicks, moves, a pause, Escape) is saved into replays/;
# left alone in the menu, the demo starts and a letter key ends it; the saved
# replay plays back in the window (tessivar --replay) to the score the game
# ended with, and tlpcheck re-runs it headless to the same end; a replay of a
# changed pack, a missing replay and an unknown option are refused with a
# message and their exit status; Escape ends a playback.
source "$(dirname "$0")/lib.sh"

run=$(make_runtime)
pid=""
trap 'kill $pid 2>/dev/null || true; rm -rf "$run"' EXIT
cd "$run"
game="$BUILD_DIR/game/shell/tessivar"

tap() {
  xdotool keydown "$1"
  sleep 0.05
  xdotool keyup "$1"
  sleep 0.05
}
fail() {
  echo "$1"; tail -n 30 "${2:-log.txt}"; exit 1
}

# --- A game, recorded ---------------------------------------------------------
TESSIVAR_TRACE=1 "$game" >log.txt 2>err.txt &
pid=$!
wait_for_text log.txt "trace: state Menu" 60
tap Return                                        # NEW GAME
wait_for_text log.txt "trace: state Play" 15
xdotool mousedown 1; sleep 0.05; xdotool mouseup 1   # launch
wait_for_text log.txt "trace: launch" 5
for i in $(seq 1 40); do                          # the paddle swings under the ball's path
  if [ $(((i / 5) % 2)) -eq 0 ]; then xdotool mousemove_relative -- -12 0; else xdotool mousemove_relative -- 12 0; fi
  [ $((i % 10)) -eq 0 ] && { xdotool mousedown 1; sleep 0.03; xdotool mouseup 1; }
  sleep 0.1
done
tap p
wait_for_text log.txt "trace: state Paused" 5
sleep 1
tap p
sleep 3
screenshot replay-game
tap Escape
wait_for_text log.txt "trace: replay " 15
line=$(grep '^trace: replay ' log.txt | tail -n 1)
file=$(echo "$line" | awk '{print $3}')
score=$(echo "$line" | sed -n 's/.* score \([0-9-]*\),.*/\1/p')
[ -f "$file" ] || fail "no replay saved: $line"
case "$file" in replays/game-*.replay) ;; *) fail "replay saved as $file" ;; esac

# --- The demo: 30 s without a key, then any key ends it ------------------------
wait_for_text log.txt "trace: demo level 1" 45
sleep 4
screenshot replay-demo
tap a                                             # no key of the game's own: still "any key"
wait_for_text log.txt "trace: demo ended" 5
[ "$(grep -c '^trace: state Menu$' log.txt)" -ge 3 ] || fail "not back in the menu after the demo"
grep -q '^trace: menu NEW GAME$' <(sed -n '/trace: demo level/,$p' log.txt) && fail "the key that ended the demo acted in the menu"
tap Down; tap Down; tap Return                    # QUIT
for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
wait "$pid" || fail "QUIT ended with status $?"
pid=""

# --- Played back in the window, and headless -----------------------------------
TESSIVAR_TRACE=1 "$game" --replay "$file" >playback.txt 2>&1 &
pid=$!
wait_for_text playback.txt "trace: state Play" 30
sleep 2
screenshot replay-playback
# The room lit as in the game (the splash's light is the room's too, and a playback shows no splash).
lit() { convert "$ARTEFACTS/$1.png" -colorspace Gray -format "%[fx:mean]" info: 2>/dev/null || echo 0; }
awk -v p="$(lit replay-playback)" -v g="$(lit replay-game)" 'BEGIN { exit !(p > 0.6 * g) }' ||
  fail "the playback's picture is darker than the game's: $(lit replay-playback) against $(lit replay-game)" playback.txt
wait_for_text playback.txt "Replay ended" 120 || fail "the playback did not end" playback.txt
set +e
wait "$pid"
status=$?
set -e
pid=""
grep -q "^Replay ended as recorded: score $score," playback.txt ||
  fail "playback ended otherwise than the game's score $score (status $status)" playback.txt
[ "$status" -eq 0 ] || fail "playback ended with status $status" playback.txt
"$BUILD_DIR/tools/tlpcheck" --replay "$file" >check.txt || fail "tlpcheck --replay said otherwise" check.txt
grep -q "score $score," check.txt || fail "tlpcheck's end is not score $score" check.txt

# Escape ends a playback at once, with status 0.
"$game" --replay "$file" >stopped.txt 2>&1 &
pid=$!
wait_for_text stopped.txt "Playing" 30
sleep 3
tap Escape
for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
wait "$pid" || fail "Escape in a playback ended with status $?" stopped.txt
pid=""
grep -q "^Replay stopped at frame" stopped.txt || fail "no word of the stop" stopped.txt

# --- Refusals: before any window opens ----------------------------------------
pack=$(sed -n 4p config.ini)
printf '\n' >>"Levels Packs/$pack"
set +e
timeout 20 "$game" --replay "$file" >changed.txt 2>&1
status=$?
timeout 20 "$game" --replay replays/none.replay >missing.txt 2>&1
missing=$?
timeout 20 "$game" --fast >usage.txt 2>&1
usage=$?
set -e
[ "$status" -eq 1 ] && grep -q "is not the pack this replay was recorded with" changed.txt ||
  fail "a changed pack: status $status" changed.txt
[ "$missing" -eq 1 ] && grep -q "^Cannot play" missing.txt || fail "a missing replay: status $missing" missing.txt
[ "$usage" -eq 2 ] && grep -q "unknown option --fast" usage.txt || fail "an unknown option: status $usage" usage.txt
echo "replay windowed test passed (score $score)"
