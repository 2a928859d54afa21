# tlpcheck on packs that are not what they claim to be: every one ends at once with a clear line and
# status 2, no raw control byte reaches the terminal, header values out of range are warned of, and a pack
# given by its name alone is found in the packs folder; --help and an unknown option answer as usual.
#   tlpcheck_test.sh <tlpcheck of a build tree>
set -euo pipefail
tlpcheck=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/tlpcheck_test.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

# level <number> <grey hits> <bonus chance> <background>: an empty level.
level() {
  echo "$1 $2 $3 $4"
  for _ in $(seq 22); do echo "0 0 0 0 0 0 0 0 0 0 0"; done
}
{ echo 2147483647; level 1 1 50 1; level 2 1 50 1; level 3 1 50 1; } >claims.tlp
{ echo -5; level 1 1 50 1; } >negative.tlp
{ echo 1; level 1 -5 -20 -7; } >header.tlp
{ echo 1; echo "1 1 50 1"; printf '\033[2J\000z\n'; } >raw.tlp
mkfifo fifo.tlp
mkdir folder.tlp

# check <expected statuses, as "0|1"> <pack and options...>: runs a quick check, its output in out.txt.
check() {
  local want=$1 status=0
  shift
  timeout 20 "$tlpcheck" --seeds 1 --fall off --minutes 0.1 "$@" >out.txt 2>err.txt || status=$?
  [ "$status" -ne 124 ] || fail "tlpcheck $* did not end"
  [[ "$status" =~ ^($want)$ ]] || { cat out.txt err.txt; fail "tlpcheck $*: status $status, not $want"; }
}
says() { grep -qF -- "$1" out.txt || { cat out.txt; fail "no \"$1\""; }; }

check 0 --level 2 claims.tlp
says "claims.tlp level 2: cleared"
check 2 claims.tlp
says "claims.tlp level 3: cleared"
says "Cannot load level 4: claims.tlp: the level count says 2147483647 levels, but the file holds only 3"
check 2 fifo.tlp
says "cannot open fifo.tlp: it is a FIFO, not a pack"
check 2 folder.tlp
says "cannot open folder.tlp: it is a folder, not a pack"
check 2 negative.tlp
says "the level count is -5, but a pack holds at least 1 level"
check 2 raw.tlp
says 'expected an integer, found "\x1B[2J\x00z"'
! LC_ALL=C grep -q $'[\x01-\x08\x0b-\x1f]' out.txt || fail "a control byte reached the output"
check 0 header.tlp
says "header.tlp level 1: warning: grey hits -5 is below 1: played as 1"
says "header.tlp level 1: warning: background -7 is not 1 to 4: played as 1"

# By name alone: the working directory's packs folder, then (from a build tree) the runtime folder's.
mkdir -p "Levels Packs"
cp header.tlp "Levels Packs/mine.tlp"
check 0 mine
says "mine level 1: cleared"
check '0|1' --level 1 starter.tlp
says "starter.tlp level 1: cleared"
check 2 nowhere.tlp
says "(not found here nor in Levels Packs"
# The command line: help on standard output; an unknown option is one line and the usage on standard error.
"$tlpcheck" --help >out.txt 2>err.txt && grep -q "^usage: tlpcheck" out.txt && [ ! -s err.txt ] || fail "--help"
status=0
"$tlpcheck" --bogus 3 >out.txt 2>err.txt || status=$?
[ "$status" -eq 2 ] && [ "$(head -n 1 err.txt)" = "tlpcheck: unknown option --bogus" ] &&
  grep -q "^usage: tlpcheck" err.txt && [ ! -s out.txt ] || fail "--bogus: status $status, $(cat err.txt)"
echo "tlpcheck test passed"
