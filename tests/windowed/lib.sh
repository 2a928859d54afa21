# Shared helpers for the windowed tests. Each test runs the real program in
# a private copy of the runtime folder, so nothing it writes leaks out.
set -euo pipefail

: "${BUILD_DIR:?}" "${RUNTIME_DIR:?}"
if [ -z "${DISPLAY:-}" ]; then
  echo "windowed test needs DISPLAY (scripts/test starts Xvfb)" >&2
  exit 1
fi
export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"

ARTEFACTS="${BUILD_DIR}/test-artefacts"
mkdir -p "$ARTEFACTS"

# make_runtime: prints a fresh copy of the runtime folder.
make_runtime() {
  local dir
  dir=$(mktemp -d "${TMPDIR:-/tmp}/tessivar-run.XXXXXX")
  cp -r "$RUNTIME_DIR"/. "$dir"/
  echo "$dir"
}

# wait_for_text <file> <text> <seconds>: true once the file holds the text.
wait_for_text() {
  local file=$1 text=$2 limit=$3 i
  for ((i = 0; i < limit * 10; i++)); do
    if grep -qF -- "$text" "$file" 2>/dev/null; then
      return 0
    fi
    sleep 0.1
  done
  echo "timed out waiting for \"$text\" in $file" >&2
  return 1
}

# screenshot <name>: saves the whole screen as a PNG test artefact.
screenshot() {
  import -window root "$ARTEFACTS/$1.png" 2>/dev/null || true
}

# stop_process <pid>: ends a program that is still running.
stop_process() {
  local i
  kill "$1" 2>/dev/null || true
  for ((i = 0; i < 50; i++)); do
    kill -0 "$1" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$1" 2>/dev/null; then
    echo "process $1 ignored SIGTERM" >&2
    kill -9 "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
    return 1
  fi
  wait "$1" 2>/dev/null || true
}
