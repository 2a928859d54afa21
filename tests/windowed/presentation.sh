# The picture on real screens. On private Xvfb screens of 1920x1080, 1366x768, 1280x1024 and 1024x768, with
# the shipped config.ini (a 1024x768 picture, full screen): the splash, the menu and play fill the screen but
# for the bars the picture's 4:3 leaves (sampled pixels at every edge of the picture are lit, the bars black;
# the splash's logo stands in the picture's middle at its share of the height), and the brick block of
# classic.tlp's first level keeps its world proportions, 3.75 : 1 (within 5 %). On the first two screens
# also: Alt+Enter gives a window of the picture's size (smaller on a smaller screen) with the picture
# filling it, and full screen again; the game's and the editor's windows carry WM_CLASS as the desktop
# entries name it and the icon at 32, 48, 64 and 128 pixels; the paddle at either wall under mouse control
# leaves the HUD where it was; and on the first, a long mouse sweep under keyboard control leaves the
# bricks in sight.
source "$(dirname "$0")/lib.sh"
: "${SOURCE_DIR:?}"
source "$SOURCE_DIR/scripts/lib/xvfb.sh"
probe="$BUILD_DIR/tests/picture_probe"

run=$(make_runtime)
pid=""
screen=""
cleanup() {
  if [ -n "$pid" ]; then stop_process "$pid" || true; fi
  stop_xvfb
  rm -rf "$run"
}
trap cleanup EXIT
cd "$run"
cp config.ini config.shipped

fail() {
  echo "FAIL on $screen: $*"
  tail -n 20 log.txt 2>/dev/null || true
  exit 1
}

# shot <name>: the whole screen, kept as an artefact and as a PPM the probe reads.
shot() {
  import -window root "$ARTEFACTS/presentation-$screen-$1.png"
  convert "$ARTEFACTS/presentation-$screen-$1.png" "$run/$1.ppm"
}
ask() { "$probe" "$run/$1.ppm" "${@:2}"; }
lit() { [ "$(ask "$1" pixel "$2" "$3")" != "0 0 0" ]; }
count_of() { local b; b=$(ask "$1" box "${@:2}"); [ "$b" = none ] && echo 0 || echo "$b" | awk '{ print $5 }'; }

start_game() {
  TESSIVAR_TRACE=1 "$BUILD_DIR/game/shell/tessivar" >log.txt 2>err.txt &
  pid=$!
}
stop_game() { stop_process "$pid" || true; pid=""; }
tap() { xdotool keydown "$1"; sleep 0.3; xdotool keyup "$1"; sleep 0.2; }
alt_enter() { xdotool keydown alt keydown Return; sleep 0.3; xdotool keyup Return keyup alt; sleep 0.2; }
# new_game: Return in the menu. A first Return right after the menu shows is sometimes not seen under Xvfb
# (not seen with a real keyboard); a second one is what a player would press.
new_game() {
  tap Return
  wait_for_text log.txt "trace: state Ready" 5 || { tap Return; wait_for_text log.txt "trace: state Ready" 10; }
}
game_window() { xdotool search --name '^Tessivar$' | head -n 1; }
# geometry <window>: "x y width height" on the screen.
geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
    /^ +Width/ { w = $2 } /^ +Height/ { h = $2 } END { print x, y, w, h }'
}

# The picture's place on a width x height area: the largest 4:3 rectangle in its middle.
picture_in() {
  awk -v W="$1" -v H="$2" 'BEGIN {
    if (1024 * H >= W * 768) { w = W; h = int(W * 768 / 1024 + 0.5) } else { h = H; w = int(H * 1024 / 768 + 0.5) }
    print int((W - w) / 2), int((H - h) / 2), w, h }'
}

# check_bars <shot> <x> <y> <w> <h> <W> <H>: the screen outside the picture is black.
check_bars() {
  local s=$1 x=$2 y=$3 w=$4 h=$5 W=$6 H=$7 v u
  for v in $((H / 4)) $((H / 2)) $((3 * H / 4)); do
    if [ "$x" -gt 1 ]; then
      lit "$s" $((x / 2)) "$v" && fail "$s: the left bar is not black at row $v"
      lit "$s" $((x + w + (W - x - w) / 2)) "$v" && fail "$s: the right bar is not black at row $v"
    fi
  done
  for u in $((W / 4)) $((W / 2)) $((3 * W / 4)); do
    if [ "$y" -gt 1 ]; then
      lit "$s" "$u" $((y / 2)) && fail "$s: the top bar is not black at column $u"
      lit "$s" "$u" $((y + h + (H - y - h) / 2)) && fail "$s: the bottom bar is not black at column $u"
    fi
  done
  return 0
}

# check_edges <shot> <x> <y> <w> <h> <edges>: pixels two in from each named edge of the picture (left,
# right, top, bottom; the sides' lower half only with "lowsides") are lit.
check_edges() {
  local s=$1 x=$2 y=$3 w=$4 h=$5 f
  for f in 0.25 0.5 0.75; do
    local across=$(awk -v a="$x" -v b="$w" -v f="$f" 'BEGIN { print int(a + b * f) }')
    local down=$(awk -v a="$y" -v b="$h" -v f="$f" 'BEGIN { print int(a + b * f) }')
    local low=$(awk -v a="$y" -v b="$h" -v f="$f" 'BEGIN { print int(a + b * (0.6 + f / 2)) }')
    case " $6 " in *" top "*) lit "$s" "$across" $((y + 2)) || fail "$s: black at the picture's top edge";; esac
    case " $6 " in *" bottom "*) lit "$s" "$across" $((y + h - 3)) || fail "$s: black at the picture's bottom edge";; esac
    case " $6 " in *" sides "*)
      lit "$s" $((x + 2)) "$down" || fail "$s: black at the picture's left edge, row $down"
      lit "$s" $((x + w - 3)) "$down" || fail "$s: black at the picture's right edge, row $down";;
    esac
    case " $6 " in *" lowsides "*)
      lit "$s" $((x + 2)) "$low" || fail "$s: black at the picture's left edge, row $low"
      lit "$s" $((x + w - 3)) "$low" || fail "$s: black at the picture's right edge, row $low";;
    esac
  done
  return 0
}

# brick_ratio <shot> <x> <y> <w> <h>: width over height of the vivid block in the middle of the field.
brick_box() {
  ask "$1" box $(($2 + $4 * 30 / 100)) "$3" $(($2 + $4 * 70 / 100)) $(($3 + $5 / 2)) vivid
}

# hud_red <shot> <x> <y> <w> <h>: the HUD's pure red pixels (HIGH, SCORE, ROUND) in the picture.
hud_red() { count_of "$1" "$2" "$3" $(($2 + $4 - 1)) $(($3 + $5 - 1)) red; }

check_identity() {   # check_identity <window> <instance> <class>
  local class values
  class=$(xprop -id "$1" WM_CLASS)
  [ "$class" = "WM_CLASS(STRING) = \"$2\", \"$3\"" ] || fail "WM_CLASS of $3: $class"
  # Width, height and the pixels of each size: 2 + 32^2, 2 + 48^2, 2 + 64^2, 2 + 128^2 values.
  values=$(xprop -id "$1" -notype 32c _NET_WM_ICON | tr ',' '\n' | wc -l)
  [ "$values" -eq 23816 ] || fail "_NET_WM_ICON of $3 holds $values values, not the four sizes"
  xprop -id "$1" -notype 32c _NET_WM_ICON | grep -q '= 32, 32, ' || fail "_NET_WM_ICON of $3 does not start at 32x32"
}

first=1
for size in ${PRESENTATION_SCREENS:-1920x1080 1366x768 1280x1024 1024x768}; do
  screen=$size
  W=${size%x*}
  H=${size#*x}
  stop_xvfb
  start_xvfb "" "${size}x24"
  cp config.shipped config.ini
  read -r px py pw ph < <(picture_in "$W" "$H")
  start_game
  wait_for_text log.txt "trace: state Splash" 60 || fail "no splash"
  sleep 6   # the logo's light has faded in
  shot splash
  check_bars splash "$px" "$py" "$pw" "$ph" "$W" "$H"
  read -r l t r b _ < <(ask splash box 0 0 $((W - 1)) $((H - 1)) lit)
  awk -v l="$l" -v r="$r" -v t="$t" -v b="$b" -v W="$W" -v py="$py" -v ph="$ph" 'BEGIN {
      centre = (l + r) / 2 - W / 2; share = (b - t + 1) / ph; top = (t - py) / ph
      exit !(centre >= -3 && centre <= 3 && share > 0.48 && share < 0.53 && top > 0.20 && top < 0.24) }' ||
    fail "splash logo at $l,$t-$r,$b: not in the picture's middle at half its height (picture $px,$py ${pw}x$ph)"

  wait_for_text log.txt "trace: state Menu" 30 || fail "no menu"
  sleep 1
  shot menu
  check_bars menu "$px" "$py" "$pw" "$ph" "$W" "$H"
  check_edges menu "$px" "$py" "$pw" "$ph" "bottom lowsides"

  new_game || fail "no game"
  sleep 0.8
  shot ready
  check_bars ready "$px" "$py" "$pw" "$ph" "$W" "$H"
  check_edges ready "$px" "$py" "$pw" "$ph" "top bottom sides"
  read -r l t r b n < <(brick_box ready "$px" "$py" "$pw" "$ph")
  ratio=$(awk -v l="$l" -v r="$r" -v t="$t" -v b="$b" 'BEGIN { printf "%.3f", (r - l + 1) / (b - t + 1) }')
  echo "$size: picture $px,$py ${pw}x$ph; brick block $((r - l + 1))x$((b - t + 1)) px, $ratio : 1"
  awk -v q="$ratio" 'BEGIN { exit !(q >= 3.75 * 0.95 && q <= 3.75 * 1.05) }' || fail "brick block $ratio : 1"
  rest_red=$(hud_red ready "$px" "$py" "$pw" "$ph")
  [ "$rest_red" -gt 200 ] || fail "no red HUD texts right of the field ($rest_red pixels)"

  if [ "$first" -le 2 ]; then
    wait_for_text log.txt "trace: state Play" 10 || fail "no play"
    for side in -8 8; do   # 8 pixels a step move the paddle one unit; 40 steps reach the wall
      for _ in $(seq 1 40); do xdotool mousemove_relative -- "$side" 0; sleep 0.04; done
      sleep 0.5
      shot "wall$side"
      red=$(hud_red "wall$side" "$px" "$py" "$pw" "$ph")
      # (the texts turn a little with the room, so their strokes' pixels vary a little)
      [ "$red" -ge $((rest_red * 90 / 100)) ] || fail "paddle at a wall: $red red HUD pixels of $rest_red"
    done

    w=$(game_window)
    check_identity "$w" tessivar Tessivar
    alt_enter
    wait_for_text log.txt "trace: display WINDOW" 5 || fail "Alt+Enter did nothing"
    sleep 1.5
    read -r ww wh < <(awk -v W="$W" -v H="$H" 'BEGIN { s = 1; if (0.9 * W / 1024 < s) s = 0.9 * W / 1024
      if (0.9 * H / 768 < s) s = 0.9 * H / 768; print int(1024 * s), int(768 * s) }')
    read -r gx gy gw gh < <(geometry "$w")
    [ "$gw $gh" = "$ww $wh" ] || fail "the window is ${gw}x$gh, not ${ww}x$wh"
    shot window
    check_edges window "$gx" "$gy" "$gw" "$gh" "top bottom sides"
    alt_enter
    wait_for_text log.txt "trace: display FULL SCREEN" 5 || fail "the second Alt+Enter did nothing"
    sleep 1.5
    read -r gx gy gw gh < <(geometry "$w")
    [ "$gx $gy $gw $gh" = "0 0 $W $H" ] || fail "back to full screen the window is at $gx,$gy ${gw}x$gh"
    shot fullscreen-again
    check_bars fullscreen-again "$px" "$py" "$pw" "$ph" "$W" "$H"
    check_edges fullscreen-again "$px" "$py" "$pw" "$ph" "top bottom sides"
  fi
  stop_game

  if [ "$first" -eq 1 ]; then
    "$BUILD_DIR/editor/tles" >tles.txt 2>&1 &
    pid=$!
    editor=$(xdotool search --sync --name '^TLES$' | head -n 1)
    sleep 1
    check_identity "$editor" tles TLES
    stop_game

    # Keyboard control: the mouse looks around, but never so far that the bricks leave the picture.
    printf '1024 768\n0\n0\nclassic.tlp\n' >config.ini
    start_game
    wait_for_text log.txt "trace: state Menu" 60 || fail "no menu"
    sleep 1
    new_game || fail "no game"
    wait_for_text log.txt "trace: state Play" 10 || fail "no play"
    sleep 0.5
    shot keyboard-rest
    rest_bricks=$(count_of keyboard-rest "$px" "$py" $((px + pw - 1)) $((py + ph - 1)) vivid)
    for move in "60 25" "-60 -25"; do
      for _ in $(seq 1 40); do xdotool mousemove_relative -- $move; sleep 0.04; done
      sleep 0.5
      shot "keyboard-sweep${move%% *}"
      bricks=$(count_of "keyboard-sweep${move%% *}" "$px" "$py" $((px + pw - 1)) $((py + ph - 1)) vivid)
      echo "$size keyboard control: sweep ($move) x 40 leaves $bricks of $rest_bricks brick pixels in sight"
      [ "$bricks" -ge $((rest_bricks / 3)) ] || fail "after a long sweep ($move) the bricks left the picture"
    done
    stop_game
  fi
  first=$((first + 1))
done
echo "presentation windowed test passed"
