# The Debian package: cpack builds it from the build tree, its control data names the Debian packages of
# the libraries the programs link, and it holds the programs, the data and what the desktop reads, at /usr.
#   package.sh <installed program>...
set -euo pipefail
: "${BUILD_DIR:?}"

tmp=$(mktemp -d "${TMPDIR:-/tmp}/tessivar-deb.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
fail() {
  echo "FAIL: $*" >&2
  cat "$tmp/cpack.log" >&2 || true
  exit 1
}

cpack --config "$BUILD_DIR/CPackConfig.cmake" -B "$tmp" >"$tmp/cpack.log" 2>&1 || fail "cpack failed"
debs=("$tmp"/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -s "${debs[0]}" ] || fail "no .deb made"
deb=${debs[0]}

dpkg-deb --info "$deb" >"$tmp/info.txt"
grep -qx " Package: tessivar" "$tmp/info.txt" || fail "package name"
grep -qx " Section: games" "$tmp/info.txt" || fail "section"
depends=$(sed -n 's/^ Depends: //p' "$tmp/info.txt")
for library in libc6 libstdc++6 libglx0 libopengl0 libglu1-mesa libglew libglut libsdl2-mixer libx11-6; do
  [[ ", $depends" == *", $library"* ]] || fail "Depends lacks $library: $depends"
done

dpkg-deb --contents "$deb" | awk '{ $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }' >"$tmp/contents.txt"
expect=(
  ./usr/share/tessivar/config.ini
  "./usr/share/tessivar/Levels Packs/classic.tlp"
  ./usr/share/tessivar/Shaders/shadows.frag
  ./usr/share/tessivar/Textures/background1D.tga
  ./usr/share/tessivar/sounds/song.mp3
  ./usr/share/applications/org.tessivar.tessivar.desktop
  ./usr/share/applications/org.tessivar.tles.desktop
  ./usr/share/metainfo/org.tessivar.tessivar.metainfo.xml
  ./usr/share/icons/hicolor/48x48/apps/org.tessivar.tessivar.png
  ./usr/share/icons/hicolor/256x256/apps/org.tessivar.tessivar.png
  ./usr/share/icons/hicolor/scalable/apps/org.tessivar.tessivar.svg
  ./usr/share/mime/packages/org.tessivar.tessivar.xml
  ./usr/share/doc/tessivar/copyright
)
for program in "$@"; do
  expect+=("./usr/bin/$program" "./usr/share/man/man6/$program.6.gz")
done
for path in "${expect[@]}"; do
  grep -qxF -- "$path" "$tmp/contents.txt" || fail "the package lacks $path"
done
# The copyright file is machine-readable: a Format line, then fields whose continuation lines are indented.
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/tessivar/copyright >"$tmp/copyright"
head -n 1 "$tmp/copyright" | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$' ||
  fail "copyright: no Format line"
awk '/^$/ || /^ / || /^[A-Za-z-]+:/ { next } { print "copyright line " NR ": " $0; bad = 1 } END { exit bad }' \
  "$tmp/copyright" || fail "copyright is not machine-readable"
grep -q '^ Permission is hereby granted' "$tmp/copyright" || fail "copyright lacks the licence text"
echo "package test passed: $(basename "$deb"), $(du -k "$deb" | cut -f1) KiB; Depends: $depends"
