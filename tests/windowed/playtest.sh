# Level packs passed around and tried: in TLES, Play level (and F5) starts the real game on that level in a
# window, straight at READY (its HUD shows the round), and when that game ends (Escape, YES) the game has gone
# and TLES is in front again, its status line saying so; `tessivar some/where/x.tlp` brings the pack into
# the packs folder and selects it (QUIT keeps it in config.ini); --pack with a name the folder lacks is
# refused before any window opens.
source "$(dirname "$0")/lib.sh"

run=$(make_runtime)
pid=""
cleanup() {
  if [ -n "$pid" ]; then stop_process "$pid" || true; fi
  # A play-test game outlives its editor by design; one left by a failed step must not linger on the display.
  pkill -f "$BUILD_DIR/game/shell/tessivar --pack" 2>/dev/null || true
  rm -rf "$run"
}
trap cleanup EXIT
cd "$run"
game="$BUILD_DIR/game/shell/tessivar"
export PATH="$BUILD_DIR/game/shell:$BUILD_DIR/tools:$PATH"

fail() {
  echo "FAIL: $*" >&2
  screenshot "playtest-failure"
  tail -n 40 log.txt >&2 || true
  exit 1
}
pixel() { "$BUILD_DIR/tests/editor_pixel" "$1" "$2"; }
click() {
  local p
  read -r -a p < <(pixel "$1" "$2")
  xdotool mousemove "$((p[0] + 1))" "${p[1]}" sleep 0.05 mousemove "${p[0]}" "${p[1]}" sleep 0.1 click 1
  sleep 0.25
}
tap() {
  xdotool keydown "$1"
  sleep 0.3
  xdotool keyup "$1"
  sleep 0.1
}

# --- TLES: Play level on level 2 of the starter pack ----------------------------
TESSIVAR_TRACE=1 "$BUILD_DIR/editor/tles" "Levels Packs/starter.tlp" >log.txt 2>&1 &
pid=$!
xdotool search --sync --name '^TLES$' >/dev/null
sleep 2                                    # the start-up turn
click 26 22.5                              # Next level: level 2
sleep 0.5
click -31 2.4                              # Play level
wait_for_text log.txt "Playing level 2 of" 20 || fail "the game did not start on level 2"
wait_for_text log.txt "trace: state Ready" 60 || fail "the game did not go straight to READY"
grep -q "trace: state Splash\|trace: state Menu" log.txt && fail "the game showed its splash or menu"
sleep 1
screenshot playtest-game
tap Escape                                 # END THIS GAME?
tap y                                      # YES
wait_for_text log.txt "Level 2 lost" 20 || fail "Escape and YES did not end the play-test"
wait_for_text log.txt "Back from playing level 2" 20 || fail "TLES did not see the game end"
sleep 1
pgrep -f "$game --pack" >/dev/null && fail "the game is still running"
screenshot playtest-back
# Played again (F5 is the same request, pinned by the unit tests).
click -31 2.4
for _ in $(seq 1 200); do
  [ "$(grep -c "trace: state Ready" log.txt)" -ge 2 ] && break
  sleep 0.1
done
[ "$(grep -c "trace: state Ready" log.txt)" -ge 2 ] || fail "F5 did not start the game"
sleep 1
tap Escape
tap y
# The first game's end line reads the same, so count them; a key the fresh window did not see is pressed again.
second_end() {
  for _ in $(seq 1 100); do
    [ "$(grep -c "Back from playing level 2" log.txt)" -ge 2 ] && return 0
    sleep 0.1
  done
  return 1
}
second_end || { echo "the second game did not see Escape, YES; pressed again" >&2; tap Escape; tap y; second_end; } || fail "the second game did not end"
pgrep -f "$game --pack" >/dev/null && fail "the second game is still running"
stop_process "$pid" || true
pid=""

# --- tessivar some/where/x.tlp ------------------------------------------------
mkdir -p some/where
cp "Levels Packs/arcade.tlp" some/where/x.tlp
TESSIVAR_TRACE=1 "$game" --window some/where/x.tlp >log.txt 2>&1 &
pid=$!
wait_for_text log.txt "Levels pack x.tlp selected" 60 || fail "the pack file was not taken"
wait_for_text log.txt "trace: state Menu" 60 || fail "no menu"
cmp -s some/where/x.tlp "Levels Packs/x.tlp" || fail "the pack was not copied in whole"
tap Down
tap Return                                 # HIGH SCORES (none yet: the cursor on RETURN)
sleep 1
screenshot playtest-scores
tap Escape
tap Down
tap Down
tap Return                                 # QUIT
wait "$pid" || fail "QUIT did not end the game with status 0"
pid=""
sed -n 4p config.ini | grep -qx "x.tlp" || fail "config.ini does not keep x.tlp: $(cat config.ini)"

# --- refusals before any window ------------------------------------------------
status=0
"$game" --pack no-such-pack --level 1 >log.txt 2>&1 || status=$?
[ "$status" -eq 1 ] || fail "--pack of a missing pack: status $status"
grep -q "there is no pack" log.txt || fail "no reason given for a missing pack"
printf '3\n1 1 50 1\n' >some/where/bad.tlp
status=0
"$game" some/where/bad.tlp >log.txt 2>&1 || status=$?
[ "$status" -eq 1 ] || fail "a damaged pack file: status $status"
[ -e "Levels Packs/bad.tlp" ] && fail "a damaged pack was copied in"
echo "play-test and pack files: ok"
