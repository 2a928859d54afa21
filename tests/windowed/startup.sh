# The game starts in a prepared runtime folder, prints its banners in order
# and keeps running; without config.ini it says so and starts with the defaults.
source "$(dirname "$0")/lib.sh"

run=$(make_runtime)
trap 'rm -rf "$run"' EXIT
cd "$run"

"$BUILD_DIR/game/shell/tessivar" >log.txt 2>err.txt &
pid=$!
wait_for_text log.txt "FBO Extension" 20
sleep 2
if ! kill -0 "$pid" 2>/dev/null; then
  echo "tessivar stopped early:"; cat log.txt err.txt
  exit 1
fi
screenshot startup
stop_process "$pid"

# The banners in their order.
expected=$'Ostrel Engine:\nRunning with OpenGL 2.0.\n\nLoading...\n\nFBO Extension Supported...\n'
# (no pipe into head: grep would die of SIGPIPE on a long log and end the script under pipefail)
actual=$(awk '!/^No audio device/ && n < 6 { print; n++ }' log.txt)
if [ "$actual" != "${expected%$'\n'}" ]; then
  echo "unexpected banners:"; cat log.txt
  exit 1
fi

# No config.ini: a line that says so, and the game runs with the default settings.
rm config.ini
"$BUILD_DIR/game/shell/tessivar" >log2.txt 2>&1 &
pid=$!
wait_for_text log2.txt "config.ini: No such file or directory; starting with the default settings." 20
wait_for_text log2.txt "FBO Extension" 20
sleep 2
kill -0 "$pid" 2>/dev/null || { echo "tessivar stopped without config.ini:"; cat log2.txt; exit 1; }
stop_process "$pid"
echo "startup windowed test passed"
