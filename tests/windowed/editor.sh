# TLES end to end: a person's session driven with xdotool against the real program. Creates a pack of
# three levels, paints cells and steps the properties, saves, and compares the pack byte for byte with
# the canonical text; reopens it through the pack list; an unchanged save is byte-identical; a save that
# refused (a read-only pack) leaves the pack intact and the editor running with its edits. Then the
# designer's tools, checking the pack's bytes after every write: drag painting, right-button erase,
# Shift row fill, undo and redo by keys and buttons, Ctrl+S, Clear level; the question before unsaved
# edits are dropped (Cancel, Discard) and before a pack is replaced; insert, duplicate, move down and up,
# delete; G and a typed level number; Check through the real tlpcheck from build/tools; the pack name
# rule; the question before the pack list opens; the window closed by the desktop with unsaved edits comes
# back asking; Esc with unsaved edits, answered Save, ends the program with status 0. Then a pack file on
# the command line (a damaged one refused, a clash kept beside), -geometry, --help and an unknown option.
source "$(dirname "$0")/lib.sh"

run=$(make_runtime)
pid=""
cleanup() {
  if [ -n "$pid" ]; then stop_process "$pid" || true; fi
  rm -rf "$run"
}
trap cleanup EXIT
cd "$run"
pack="Levels Packs/e2e_Pack.tlp"

fail() {
  echo "FAIL: $*" >&2
  screenshot "editor-failure"
  echo "--- tles output:" >&2
  cat log.txt >&2 || true
  exit 1
}

# Window pixel of scene point (x, y) in the start-size window at (0, 0), by the editor's own mapping.
pixel() { "$BUILD_DIR/tests/editor_pixel" "$1" "$2"; }

# click <x> <y> [button]: moves onto the scene point (a motion first, so the hover test runs) and presses.
click() {
  local p
  read -r -a p < <(pixel "$1" "$2")
  xdotool mousemove "$((p[0] + 1))" "${p[1]}" sleep 0.05 mousemove "${p[0]}" "${p[1]}" sleep 0.1 click "${3:-1}"
  sleep 0.25
}

# Scene points of the controls.
cell() { echo "$(awk -v r="$1" -v c="$2" 'BEGIN { print 3.5 * c - 17.5, 24.5 - 2.1 * r }')"; }
swatch() { echo "$(awk -v i="$1" 'BEGIN { print 25 + 8 * int(i / 5), 10 - 4.9 * (i % 5) }')"; }
paint() { click $(swatch "$1"); click $(cell "$2" "$3"); }
NEXT="26 22.5"; SAVE="26 17.8"; GREY="-18 -24"; BONUS="-1 -24"; BACKGROUND="16 -24"
NEW_PACK="25 27"; LOAD_PACK="35.5 27"; CREATE="5 -3"; LOAD="5 -3"; MORE="4 0"; NAME="6 3.7"
CANCEL_NEW="-5 -3"; REDO="-25.8 21"; UNDO="-36.2 21"; CLEAR="-31 18.6"; INSERT="-31 14.2"; DUPLICATE="-31 11.8"
DELETE="-31 9.4"; MOVE_UP="-31 7.0"; MOVE_DOWN="-31 4.6"; CHECK="-31 0.2"

# drag <button> <row> <column> <row> <column>: holds the button from one cell to the other in one motion.
drag() {
  local a b
  read -r -a a < <(pixel $(cell "$2" "$3"))
  read -r -a b < <(pixel $(cell "$4" "$5"))
  xdotool mousemove "$((a[0] + 1))" "${a[1]}" sleep 0.05 mousemove "${a[0]}" "${a[1]}" sleep 0.1 \
    mousedown "$1" sleep 0.1 mousemove "${b[0]}" "${b[1]}" sleep 0.15 mouseup "$1"
  sleep 0.25
}
key() { xdotool key --delay 80 "$@"; sleep 0.3; }
# cells <level> <row> <code> <column...>: the C: arguments canonical_pack takes for those cells.
cells() { local c; for c in "${@:4}"; do printf 'C:%s:%s:%s:%s ' "$1" "$2" "$c" "$3"; done; }

# canonical_pack <count> [H:level:grey:bonus:background ...] [C:level:row:column:code ...]
canonical_pack() {
  awk -v count="$1" -v cells="${*:2}" 'BEGIN {
    for (k = 1; k <= count; k++) { g[k] = 1; b[k] = 50; bg[k] = 1 }
    n = split(cells, s, " ")
    for (i = 1; i <= n; i++) {
      split(s[i], f, ":")
      if (f[1] == "H") { g[f[2]] = f[3]; b[f[2]] = f[4]; bg[f[2]] = f[5] }
      else { code[f[2], f[3], f[4]] = f[5] }
    }
    print count
    for (k = 1; k <= count; k++) {
      print k " " g[k] " " b[k] " " bg[k]
      for (r = 0; r < 22; r++) {
        line = ""
        for (c = 0; c < 11; c++) line = line (c ? " " : "") (((k, r, c) in code) ? code[k, r, c] : 0)
        print line
      }
    }
  }'
}

# wait_for_change <file> <old inode or ""> : true once the file exists with another inode (a save renames
# a new file over the pack).
wait_for_change() {
  local i
  for ((i = 0; i < 100; i++)); do
    if [ -f "$1" ] && [ "$(stat -c %i "$1")" != "$2" ]; then
      sleep 0.2
      return 0
    fi
    sleep 0.1
  done
  fail "$1 was not written"
}
inode() { stat -c %i "$pack"; }
# expect_file <pack file> <canonical_pack arguments...>
expect_file() {
  cmp <(canonical_pack "${@:2}") "$1" || fail "$1 differs from the expected canonical text (step $step)"
  ! ls -A "Levels Packs" | grep -q -- '.scratch-' || fail "a scratch file left behind (step $step)"
}
expect_pack() { expect_file "$pack" "$@"; }
# rewritten <command...>: runs the command (a click or a key) and waits for the pack to be replaced.
rewritten() {
  local before
  before=$(inode)
  "$@"
  wait_for_change "$pack" "$before"
}
alive() { kill -0 "$pid" 2>/dev/null || fail "tles ended (step $step)"; }

# The pack checker, found on PATH as scripts/editor puts it there.
[ -x "$BUILD_DIR/tools/tlpcheck" ] || { echo "FAIL: $BUILD_DIR/tools/tlpcheck is not built" >&2; exit 1; }
export PATH="$BUILD_DIR/tools:$PATH"

"$BUILD_DIR/editor/tles" >log.txt 2>&1 &
pid=$!
xdotool search --sync --name '^TLES$' >/dev/null
sleep 2   # the 90-frame start-up turn

step="create"
click $NEW_PACK; click $MORE; click $MORE; click $NAME
xdotool type --delay 60 "e2e_Pack"
sleep 0.3
click $CREATE
wait_for_change "$pack" ""
expect_pack 3
screenshot editor-created

step="paint and save level 1"
paint 1 0 0
paint 9 21 10
paint 4 5 5
paint 4 5 6
paint 0 5 6          # the eraser empties it again
click $GREY; click $GREY
click $BONUS 3
click $BACKGROUND 3
before=$(inode)
click $SAVE
wait_for_change "$pack" "$before"
L1="H:1:3:45:4 C:1:0:0:1 C:1:21:10:9 C:1:5:5:4"
expect_pack 3 $L1
screenshot editor-level1

step="level 2"
click $NEXT
paint 7 10 3
click $BACKGROUND
before=$(inode)
click $SAVE
wait_for_change "$pack" "$before"
L2="H:2:1:50:2 C:2:10:3:7"
expect_pack 3 $L1 $L2

step="reopen through the pack list"
click $LOAD_PACK; click $MORE; click $MORE   # two names: the second ">" wraps to the first
click $LOAD
sleep 0.3
before=$(inode)
cp "$pack" saved.tlp
click $SAVE
wait_for_change "$pack" "$before"
cmp saved.tlp "$pack" || fail "an unchanged save changed the pack"
click $GREY          # level 1 again after reopening: its grey hits go from 3 to 4
before=$(inode)
click $SAVE
wait_for_change "$pack" "$before"
L1="H:1:4:45:4 C:1:0:0:1 C:1:21:10:9 C:1:5:5:4"
expect_pack 3 $L1 $L2

step="failing save"
cp "$pack" saved.tlp
chmod 0444 "$pack"   # a read-only pack is refused (whoever runs the test, root too)
click $GREY          # 5, kept in memory through the failure
click $SAVE
wait_for_text log.txt "Save failed" 10 || fail "no message for the failed save"
sleep 0.5
alive
cmp saved.tlp "$pack" || fail "the failed save changed the pack"
screenshot editor-save-failed
chmod 0644 "$pack"
before=$(inode)
click $SAVE
wait_for_change "$pack" "$before"
expect_pack 3 "H:1:5:45:4 C:1:0:0:1 C:1:21:10:9 C:1:5:5:4" $L2

step="pack gone"
mv "$pack" away.tlp
click $SAVE
for ((i = 0; i < 100; i++)); do
  [ "$(grep -c "Save failed" log.txt)" -lt 2 ] || break
  sleep 0.1
done
[ "$(grep -c "Save failed" log.txt)" -eq 2 ] || fail "no message for the missing pack"
sleep 0.3
alive
[ ! -e "$pack" ] || fail "a save recreated a missing pack"
mv away.tlp "$pack"

step="drag, erase, row fill, undo and redo"   # level 1
key 2
drag 1 2 0 2 10      # the whole row in one motion
drag 3 2 3 2 5       # the right button erases
key 5
read -r -a p < <(pixel $(cell 6 4))
xdotool mousemove "${p[0]}" "${p[1]}" sleep 0.1 keydown shift click 1 keyup shift
sleep 0.3
key ctrl+z ctrl+y ctrl+z
click $REDO
rewritten key ctrl+s
L1="H:1:5:45:4 C:1:0:0:1 C:1:21:10:9 C:1:5:5:4 $(cells 1 2 2 0 1 2 6 7 8 9 10) $(cells 1 6 5 0 1 2 3 4 5 6 7 8 9 10)"
expect_pack 3 $L1 $L2
screenshot editor-tools
click $CLEAR
click $UNDO
rewritten click $SAVE
expect_pack 3 $L1 $L2

step="unsaved edits are asked about"
key 7
click $(cell 10 10)
key bracketright
screenshot editor-question
key Escape           # Cancel: still level 1 with its edit
alive
key Page_Down
key d                # Discard: level 2, nothing written
expect_pack 3 $L1 $L2
click $NEW_PACK; click $NAME
xdotool type --delay 60 "e2e_Pack"
sleep 0.3
click $CREATE        # the pack exists: asked, and Esc keeps it
key Escape
click $CANCEL_NEW
expect_pack 3 $L1 $L2

step="level management"   # level 2
rewritten click $INSERT
expect_pack 4 $L1 $L2
key bracketleft
rewritten click $DUPLICATE
expect_pack 5 $L1 $L2 "H:3:1:50:2 C:3:10:3:7"
rewritten click $MOVE_DOWN
expect_pack 5 $L1 $L2 "H:4:1:50:2 C:4:10:3:7"
rewritten click $MOVE_UP
expect_pack 5 $L1 $L2 "H:3:1:50:2 C:3:10:3:7"
click $DELETE
screenshot editor-delete
rewritten key d
expect_pack 4 $L1 $L2

step="go to a typed level"
key g 4 Return 3
click $(cell 0 0)
rewritten key ctrl+s
expect_pack 4 $L1 $L2 "C:4:0:0:3"

step="check"
click $CHECK
wait_for_text log.txt "tlpcheck: Levels Packs/e2e_Pack.tlp level 4: cleared 16/16 runs" 120 ||
  fail "no verdict from tlpcheck"
[ "$(grep -c "^tlpcheck: .* level [0-9]*: " log.txt)" -eq 1 ] || fail "tlpcheck checked more than the current level"
sleep 0.3
screenshot editor-check

step="pack names"
click $(cell 1 1)    # an edit, saved when the question asks, before the form opens
click $NEW_PACK
key s
click $NAME
xdotool type --delay 60 '../evil x;$(id)/.tlp'   # what cannot be in a name is left out, and said so
sleep 0.3
click $CREATE
wait_for_change "Levels Packs/evilxid.tlp" ""
expect_pack 4 $L1 $L2 "C:4:0:0:3 C:4:1:1:3"
expect_file "Levels Packs/evilxid.tlp" 1
screenshot editor-name-changed

step="unsaved edits asked about before the pack list"
key 2
click $(cell 3 3)
click $LOAD_PACK     # asked first; Discard opens the list, and its Load asks no more
screenshot editor-question-before-list
key d
click $MORE          # the list stood at e2e_Pack.tlp; evilxid.tlp comes after it
click $LOAD          # read afresh: the discarded edit is gone, and nothing was written
expect_file "Levels Packs/evilxid.tlp" 1
before=$(stat -c %i "Levels Packs/evilxid.tlp")
click $SAVE
wait_for_change "Levels Packs/evilxid.tlp" "$before"
expect_file "Levels Packs/evilxid.tlp" 1

step="the window closed with unsaved edits"
key 1
click $(cell 0 0)
"$BUILD_DIR/tests/wm_close" "$(xdotool search --name '^TLES$' | head -1)"
sleep 1
alive
xdotool search --sync --name '^TLES$' >/dev/null   # a new window, asking
screenshot editor-closed
key Escape           # Cancel: the editor stays, edits and all

step="Esc with unsaved edits, saved"
key Escape
screenshot editor-quit-question
alive
xdotool key s
for ((i = 0; i < 50; i++)); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
set +e
wait "$pid"
status=$?
set -e
pid=""
[ "$status" -eq 0 ] || fail "Esc ended tles with status $status"
expect_file "Levels Packs/evilxid.tlp" 1 "C:1:0:0:1"

step="a pack file from elsewhere"   # checked, copied in, opened; a damaged one refused; a clash asked
mkdir -p mail
printf '2\n1 1 50 1\n0 0 0\n' >mail/broken.tlp
"$BUILD_DIR/editor/tles" mail/broken.tlp >log.txt 2>&1 &
pid=$!
xdotool search --sync --name '^TLES$' >/dev/null
wait_for_text log.txt "Not opened: " 10 || fail "a damaged pack file was not refused"
[ ! -e "Levels Packs/broken.tlp" ] || fail "a damaged pack file was copied"
stop_process "$pid"
cp "Levels Packs/evilxid.tlp" "mail/starter.tlp"   # another pack of a shipped pack's name
"$BUILD_DIR/editor/tles" -geometry 640x433+0+0 "$run/mail/starter.tlp" >log.txt 2>&1 &
pid=$!
window=$(xdotool search --sync --name '^TLES$' | head -1)
sleep 2
xdotool getwindowgeometry "$window" | grep -q "Geometry: 640x433" || fail "-geometry was not GLUT's"
screenshot editor-import-question
xdotool mousemove 100 100
key k                # keep both: the new one as starter-2.tlp
for ((i = 0; i < 50; i++)); do [ -f "Levels Packs/starter-2.tlp" ] && break; sleep 0.1; done
cmp "mail/starter.tlp" "Levels Packs/starter-2.tlp" || fail "the pack file was not kept beside the other"
cmp "$RUNTIME_DIR/Levels Packs/starter.tlp" "Levels Packs/starter.tlp" || fail "the pack of that name changed"
screenshot editor-imported
stop_process "$pid"
pid=""

# The command line: help on standard output; an unknown option is refused before any window opens.
"$BUILD_DIR/editor/tles" --help >out.txt 2>&1 && grep -q "^usage: tles" out.txt || fail "tles --help"
status=0
"$BUILD_DIR/editor/tles" --bogus >out.txt 2>err.txt || status=$?
[ "$status" -eq 2 ] && grep -q "^tles: unknown option --bogus" err.txt && [ ! -s out.txt ] ||
  fail "tles --bogus: status $status"
echo "editor windowed test passed"
