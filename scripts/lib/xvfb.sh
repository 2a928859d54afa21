# scripts/lib/xvfb.sh (sourced): a private Xvfb with software GL and no sound device, for the scripts that
# drive the real programs.
#   start_xvfb [display] [geometry]   display ":NN" (or "NN"), empty for the first free of :90..:140;
#                                     geometry default 1920x1080x24 (the most common desktop, larger
#                                     than the game's default 1024x768 picture)
#   stop_xvfb                         ends it (safe to call twice, or when none was started)
# start_xvfb exports DISPLAY, SDL_AUDIODRIVER=dummy and LIBGL_ALWAYS_SOFTWARE=1 and sets XVFB_PID.

start_xvfb() {
  local display=${1:-} geometry=${2:-1920x1080x24} n
  if [ -n "$display" ]; then
    display=":${display#:}"
  else
    for n in $(seq 90 140); do
      if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
        display=":$n"
        break
      fi
    done
  fi
  [ -n "$display" ] || { echo "no free X display number" >&2; return 1; }
  Xvfb "$display" -screen 0 "$geometry" -nolisten tcp +extension GLX -noreset >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 1 50); do
    [ -e "/tmp/.X11-unix/X${display#:}" ] && break
    sleep 0.1
  done
  export DISPLAY="$display" SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1
}

stop_xvfb() {
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
  fi
}
