# What the game keeps for its player, with the real program: a key ends the
# splash; CONTROLS takes a new launch key and M mutes (the sound device's
# volumes read 0); a game launched with the new key scores, is given up
# (Escape, YES) and enters the pack's empty table under a typed name. Started
# again, the game is still muted, the name stands under HIGH SCORES, its replay
# plays back to the table, the HUD's HIGH figure is that score and the new key
# still launches.
source "$(dirname "$0")/lib.sh"

run=$(make_runtime)
pid=""
trap 'kill $pid 2>/dev/null || true; rm -rf "$run"' EXIT
cd "$run"
game="$BUILD_DIR/game/shell/tessivar"

tap() {
  xdotool keydown "$1"
  sleep 0.3
  xdotool keyup "$1"
  sleep 0.1
}
fail() {
  echo "$1"; grep '^trace' log.txt | tail -n 30; exit 1
}
# after <pattern>: the log from its last match on (the second run's start, its game's start).
after() { awk -v pat="$1" '$0 ~ pat { n = NR } { line[NR] = $0 } END { for (i = n; n && i <= NR; i++) print line[i] }' log.txt; }

# One level whose four full rows the first ball cannot miss; keyboard control.
{
  echo 1
  echo "1 1 40 1"
  for row in $(seq 0 21); do
    if [ "$row" -ge 3 ] && [ "$row" -le 6 ]; then echo "1 1 1 1 1 1 1 1 1 1 1"; else echo "0 0 0 0 0 0 0 0 0 0 0"; fi
  done
} >"Levels Packs/short.tlp"
printf '1024 768\n0\n0\nshort.tlp\n' >config.ini

# --- First run ----------------------------------------------------------------
TESSIVAR_TRACE=1 "$game" >log.txt 2>err.txt &
pid=$!
wait_for_text log.txt "trace: state Splash" 60 || fail "no splash"
sleep 1
tap a                                             # any key ends the splash
wait_for_text log.txt "trace: splash skipped" 3 || fail "a key did not end the splash"
wait_for_text log.txt "trace: state Menu" 3 || fail "no menu after the splash"

tap Down; tap Down; tap Return                    # OPTIONS
wait_for_text log.txt "trace: state Options" 5 || fail "no OPTIONS"
for _ in $(seq 1 7); do tap Down; done
tap Return                                        # CONTROLS
wait_for_text log.txt "trace: state Controls" 5 || fail "no CONTROLS"
tap Down; tap Down; tap Return                    # LAUNCH / FIRE: press the new key
wait_for_text log.txt "trace: choose key LAUNCH / FIRE" 5 || fail "no key asked for"
screenshot records-controls
tap l
wait_for_text log.txt "trace: key LAUNCH / FIRE: l" 5 || fail "l not taken for launch"
tap Escape; tap Escape                            # back to OPTIONS, then the menu
tap m
wait_for_text log.txt "trace: volume sound 0 music 0" 5 || fail "M did not silence the sound device"

tap Up; tap Up; tap Return                        # NEW GAME
wait_for_text log.txt "trace: state Play" 10 || fail "no game"
tap space                                         # launch no more
sleep 0.5
grep -q "^trace: launch$" log.txt && fail "space still launches"
tap l
wait_for_text log.txt "trace: launch" 3 || fail "the new key did not launch"
sleep 4                                           # the ball among the bricks
tap Escape
wait_for_text log.txt "trace: state AskEnd" 5 || fail "Escape did not ask"
screenshot records-ask
tap Left; tap Return                              # YES
wait_for_text log.txt "trace: state NameEntry" 10 || fail "the game entered no table"
score=$(sed -n 's/^trace: high score \([0-9]*\)$/\1/p' log.txt | tail -n 1)
[ "${score:-0}" -gt 0 ] || fail "no score"
tap z; tap e; tap d                                # the first letter replaces the name offered
screenshot records-name
tap Return
wait_for_text log.txt "trace: row 1: $score ZED round 1" 5 || fail "ZED not first in the table"
sleep 0.5
screenshot records-table
tap Escape
for _ in 1 2 3 4 5; do tap Down; done
tap Return                                        # QUIT, the last line
for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
wait "$pid" || fail "QUIT ended with status $?"
pid=""
[ -s scores.txt ] && [ -s settings.ini ] && [ -s continue.txt -o ! -e continue.txt ] || fail "nothing kept beside config.ini"
grep -q "^key launch = l$" settings.ini || fail "settings.ini lacks the launch key"
[ "$(head -n 4 config.ini)" = "$(printf '1024 768\n0\n0\nshort.tlp')" ] || fail "config.ini changed: $(cat config.ini)"

# --- Started again ------------------------------------------------------------
echo "=== again" >>log.txt
TESSIVAR_TRACE=1 "$game" >>log.txt 2>>err.txt &
pid=$!
for _ in $(seq 1 600); do after "=== again" | grep -q "^trace: state Splash$" && break; sleep 0.1; done
after "=== again" | grep -q "^trace: volume sound 0 music 0$" || fail "not muted at the start"
sleep 1
tap Return                                        # the splash ends ...
for _ in $(seq 1 30); do after "=== again" | grep -q "^trace: state Menu$" && break; sleep 0.1; done
tap Down; tap Return                              # ... and HIGH SCORES
for _ in $(seq 1 50); do after "=== again" | grep -q "^trace: row 1: $score ZED round 1$" && break; sleep 0.1; done
after "=== again" | grep -q "^trace: row 1: $score ZED round 1$" || fail "ZED not under HIGH SCORES"
sleep 0.5
screenshot records-table-again
tap Return                                        # the game's replay, kept beside it
for _ in $(seq 1 400); do after "=== again" | grep -q "^trace: replay watched$" && break; sleep 0.1; done
after "=== again" | grep -q "^trace: replay watched$" || fail "the table's replay did not play back to the table"
kill -0 "$pid" || fail "the game ended with the replay"
tap Escape; tap Up; tap Return                    # NEW GAME
for _ in $(seq 1 100); do after "^trace: game from level" | grep -q "^trace: state Play$" && break; sleep 0.1; done
after "=== again" | grep -q "^trace: game from level 1, high $score$" || fail "the HUD's HIGH is not $score"
tap l                                             # (the replay launched too: only this game's trace counts)
for _ in $(seq 1 30); do after "^trace: game from level" | grep -q "^trace: launch$" && break; sleep 0.1; done
after "^trace: game from level" | grep -q "^trace: launch$" || fail "the launch key was not kept"
sleep 1
screenshot records-hud
stop_process "$pid"
pid=""
echo "records windowed test passed (score $score)"
