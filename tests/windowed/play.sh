# A whole session as a player has it: wait out the splash, walk the menu and
# the options, start a game, launch, move, give up with Escape, get back to the
# menu and QUIT — then the saved options and the exit status tell whether every
# step landed.
source "$(dirname "$0")/lib.sh"

run=$(make_runtime)
trap 'rm -rf "$run"' EXIT
cd "$run"
pack=$(sed -n 4p config.ini)

# tap <key> [seconds held]: the game polls keys once per frame, so hold a while.
tap() {
  xdotool keydown "$1"
  sleep "${2:-0.4}"
  xdotool keyup "$1"
  sleep 0.4
}

"$BUILD_DIR/game/shell/tessivar" >log.txt 2>err.txt &
pid=$!
wait_for_text log.txt "1024/768" 60      # the splash prints the size every frame
screenshot play-splash
sleep 11
screenshot play-menu

tap Down; tap Return                      # OPTIONS; the cursor stays on FALL MODE
tap Return                                # FALL MODE: ON
tap Down; tap Return                      # CONTROL MODE: KEYBOARD
tap Up; tap Up; tap Return                # RESOLUTION: 800x600
screenshot play-options
tap Down; tap Down; tap Down; tap Down; tap Return   # RETURN: back on the main menu, cursor on QUIT
tap Up; tap Up; tap Return                # NEW GAME
sleep 3                                   # the ready phase
tap space                                 # launch
tap Right 0.6
tap Left 0.6
screenshot play-game
tap Escape                                # give up: GAME OVER, then the menu
sleep 3
screenshot play-back-in-menu
tap Down; tap Down; tap Return            # QUIT

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
expected=$(printf '800 600\n0\n1\n%s' "$pack")
if [ "$(cat config.ini)" != "$expected" ]; then
  echo "config.ini after QUIT:"; cat config.ini; echo "expected:"; echo "$expected"; exit 1
fi
echo "play windowed test passed"
