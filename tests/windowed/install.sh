# The installed game and editor as a player has them. Installed into a temporary prefix and started from an
# unrelated folder with their own XDG_DATA_HOME, the programs make and seed the per-user folder and work
# there: the game reaches the menu and QUIT writes config.ini there; then the installation is moved and
# gets a new shipped pack, and the editor, started from the moved prefix, finds its data again, adds the
# new pack, makes a deleted config.ini again and creates and saves a pack there; tlpcheck finds a pack by
# its name there. Before that, what is installed passes desktop-file-validate
# and appstreamcli (pedantic), the icons decode at their sizes, the licence is there, and a .tlp has its
# file type.
#   install.sh <installed program>...
source "$(dirname "$0")/lib.sh"

tmp=$(mktemp -d "${TMPDIR:-/tmp}/tessivar-install.XXXXXX")
pid=""
cleanup() {
  if [ -n "$pid" ]; then stop_process "$pid" || true; fi
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  screenshot "install-failure"
  for log in "$tmp"/*.log; do echo "--- $log:" >&2; cat "$log" >&2; done
  exit 1
}

prefix="$tmp/prefix"
cmake --install "$BUILD_DIR" --prefix "$prefix" >"$tmp/install.log" || fail "cmake --install failed"
share="$prefix/share"
for program in "$@"; do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program not installed"
  [ -s "$share/man/man6/$program.6.gz" ] && gzip -t "$share/man/man6/$program.6.gz" ||
    fail "no man page for $program"
done
for file in config.ini "Levels Packs/classic.tlp" Shaders/shadows.vert Textures/background1D.tga sounds/song.mp3; do
  [ -s "$share/tessivar/$file" ] || fail "data file $file not installed"
done
[ -z "$(find "$share/tessivar" -name '.*')" ] || fail "build stamps or records installed"

desktop-file-validate "$share"/applications/*.desktop || fail "desktop-file-validate"
appstreamcli validate --pedantic --no-net "$share"/metainfo/*.metainfo.xml >"$tmp/appstream.log" ||
  fail "appstreamcli validate"
# Not even a pedantic note; Debian 12's validator only predates <developer>, which newer ones want.
! grep -E '^[EWIP]: ' "$tmp/appstream.log" | grep -v ': unknown-tag developer$' || fail "appstreamcli notes"
grep -q '^License: Expat$' "$share/doc/tessivar/copyright" || fail "no licence in doc/tessivar/copyright"

# A .tlp is a Tessivar level pack to the desktop once the MIME database of the prefix is built, and both
# programs offer to open it.
update-mime-database "$share/mime" >"$tmp/mime.log" 2>&1 || fail "update-mime-database"
update-desktop-database "$share/applications" || fail "update-desktop-database"
mkdir -p "$tmp/sent"
cp "$share/tessivar/Levels Packs/starter.tlp" "$tmp/sent/from a friend.tlp"
type=$(XDG_DATA_DIRS="$share" XDG_DATA_HOME="$tmp/nothing" XDG_CURRENT_DESKTOP="" \
  xdg-mime query filetype "$tmp/sent/from a friend.tlp") || fail "xdg-mime query filetype"
[ "$type" = "application/x-tessivar-pack" ] || fail "xdg-mime says a .tlp is $type"
takers=$(grep '^application/x-tessivar-pack=' "$share/applications/mimeinfo.cache" || true)
[[ $takers == *org.tessivar.tessivar.desktop* && $takers == *org.tessivar.tles.desktop* ]] ||
  fail "the desktop entries do not both take a .tlp: $takers"
appstreamcli validate-tree --no-net "$prefix" >"$tmp/appstream.log" || fail "appstreamcli validate-tree"
icons="$share/icons/hicolor"
for size in 48 64 128 256; do
  [ "$(identify -format '%w %h' "$icons/${size}x$size/apps/org.tessivar.tessivar.png")" = "$size $size" ] ||
    fail "the $size px icon does not decode at its size"
done
# The SVG draws the same picture as the PNGs.
rsvg-convert -w 256 -h 256 "$icons/scalable/apps/org.tessivar.tessivar.svg" -o "$tmp/svg.png" || fail "SVG icon"
# (compare's status is 1 for any difference at all)
difference=$( (compare -metric RMSE "$icons/256x256/apps/org.tessivar.tessivar.png" "$tmp/svg.png" null: 2>&1 || true) |
  sed 's/.*(\(.*\))/\1/')
awk -v d="$difference" 'BEGIN { exit !(d < 0.03) }' || fail "SVG and PNG icon differ (RMSE $difference)"

export XDG_DATA_HOME="$tmp/xdg" HOME="$tmp/home"
user="$XDG_DATA_HOME/tessivar"
elsewhere="$tmp/elsewhere"
mkdir -p "$elsewhere" "$HOME"
cd "$elsewhere"

# tap <key>: the game polls keys once per frame, so hold a while.
tap() {
  xdotool keydown "$1"
  sleep 0.4
  xdotool keyup "$1"
  sleep 0.4
}

# wait_exit <seconds>: the status the program ended with, or a failure when it keeps running.
wait_exit() {
  local i status
  for ((i = 0; i < $1 * 10; i++)); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && fail "the program did not end"
  set +e
  wait "$pid"
  status=$?
  set -e
  pid=""
  return "$status"
}

"$prefix/bin/tessivar" >"$tmp/game.log" 2>&1 &
pid=$!
wait_for_text "$tmp/game.log" "1024/768" 60 || fail "the installed game did not start"
cmp "$user/config.ini" "$share/tessivar/config.ini" || fail "config.ini not seeded"
for pack in "$share/tessivar/Levels Packs"/*.tlp; do
  cmp "$pack" "$user/Levels Packs/$(basename "$pack")" || fail "$(basename "$pack") not seeded"
done
for folder in Textures Shaders sounds; do
  [ "$(readlink "$user/$folder")" = "$share/tessivar/$folder" ] || fail "$folder not linked to the installed data"
done
grep -q "Cannot read\|failed to load" "$tmp/game.log" && fail "the installed game missed a file"
sleep 11                                  # the splash
screenshot install-menu
rm "$user/config.ini"                     # read at start; QUIT must write it here again
tap Down; tap Down; tap Down; tap Down; tap Return   # QUIT, the last line
wait_exit 10 || fail "QUIT ended the game with status $?"
[ -s "$user/config.ini" ] || fail "QUIT did not write config.ini in $user"
[ -z "$(ls -A "$elsewhere")" ] || fail "the game wrote into the folder it was started from"

# A moved installation with a new pack: the editor relinks the data, adds the pack, keeps the others.
mv "$prefix" "$tmp/moved"
prefix="$tmp/moved"
share="$prefix/share"
printf '1\n1 1 50 1\n' >"$share/tessivar/Levels Packs/added.tlp"
echo "my edits" >>"$user/Levels Packs/classic.tlp"
rm "$user/config.ini"                     # deleted settings come back as shipped at the next start
"$prefix/bin/tles" >"$tmp/editor.log" 2>&1 &
pid=$!
xdotool search --sync --name '^TLES$' >/dev/null
[ "$(readlink "$user/Textures")" = "$share/tessivar/Textures" ] || fail "Textures not relinked after the move"
cmp "$share/tessivar/Levels Packs/added.tlp" "$user/Levels Packs/added.tlp" || fail "the new pack was not added"
tail -n 1 "$user/Levels Packs/classic.tlp" | grep -qx "my edits" || fail "a pack the user changed was replaced"
cmp "$user/config.ini" "$share/tessivar/config.ini" || fail "a deleted config.ini was not made again"
sleep 2                                   # the start-up turn

# Window pixel of scene point (x, y), and a click there: as in editor.sh.
click() {
  local p
  read -r -a p < <("$BUILD_DIR/tests/editor_pixel" "$1" "$2")
  xdotool mousemove "$((p[0] + 1))" "${p[1]}" sleep 0.05 mousemove "${p[0]}" "${p[1]}" sleep 0.1 click 1
  sleep 0.25
}
click 25 27; click 6 3.7                  # New level pack, the name field
xdotool type --delay 60 "installed"
sleep 0.3
click 5 -3                                # Create
pack="$user/Levels Packs/installed.tlp"
for ((i = 0; i < 100; i++)); do [ -f "$pack" ] && break; sleep 0.1; done
[ -f "$pack" ] || fail "the created pack is not in $user"
before=$(stat -c %i "$pack")
click 26 17.8                             # Save
for ((i = 0; i < 100; i++)); do [ "$(stat -c %i "$pack")" != "$before" ] && break; sleep 0.1; done
[ "$(stat -c %i "$pack")" != "$before" ] || fail "the save did not replace the pack"
xdotool key Escape
wait_exit 5 || fail "Esc ended the editor with status $?"
[ -z "$(ls -A "$elsewhere")" ] || fail "the editor wrote into the folder it was started from"

# The installed checker finds a pack by its name alone, from any folder.
"$prefix/bin/tlpcheck" --seeds 1 --fall off --minutes 0.1 --level 1 starter.tlp >"$tmp/tlpcheck.log" 2>&1 || true
grep -q "^starter.tlp level 1: cleared" "$tmp/tlpcheck.log" || fail "tlpcheck did not find starter.tlp in $user"
echo "install windowed test passed"
