# Real uploads under a display: odd-sized RGB rows (6 bytes, not a multiple
# of 4), RGBA and grey images come back from GL level 0 exactly as decoded.
source "$(dirname "$0")/lib.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/textures-upload.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
printf 'P6\n2 2\n255\n\x10\x20\x30\xa0\xb0\xc0\x11\x22\x33\x40\x50\x60' | pamtotga -rgb -norle >rgb2x2.tga
printf 'P5\n2 2\n255\n\x10\xa0\x33\x40' | pamtotga -mono -norle >grey2x2.tga
test "$(od -An -tu1 -j16 -N1 rgb2x2.tga)" -eq 24
convert -size 16x8 gradient:'#ff000080-#0000ffff' -compress RLE rgba.tga
convert -size 8x4 gradient: -colorspace Gray -type Grayscale grey.tga
ppmtobmp -bpp 24 <(convert -size 4x4 plasma:fractal -seed 3 ppm:-) >plasma.bmp 2>/dev/null

"$BUILD_DIR/tests/textures_upload_probe" rgb2x2.tga grey2x2.tga rgba.tga grey.tga plasma.bmp | tee log.txt
grep -qx "Ostrel Engine Texture Manager: creating default texture, id \[1\]" log.txt
grep -q "^textures upload ok$" log.txt
