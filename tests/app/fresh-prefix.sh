#!/bin/sh
# The program's first start on a new machine: a new, empty Wine prefix set
# up and the program started through scripts/wine-exec with no X display
# given, as scripts/run does. It must stay resident and write its cache
# file. Started where it can make no window at all, it must end with a
# failure code instead of passing for a clean end.
set -eu
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
export TARN_WINEPREFIX="$work/prefix" WINEPREFIX="$work/prefix"
pid=""
stop() {
  wineserver -k 2>/dev/null
  [ -n "$pid" ] && { kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; }
  pid=""
  wineserver -w 2>/dev/null
}
trap 'set +e; stop; rm -rf "$work"' EXIT
unset DISPLAY
mkdir "$work/run"
cp "$1" "$work/run/TarnLauncher.exe"

"$ROOT/scripts/wine-exec" --prepare
"$ROOT/scripts/wine-exec" "$work/run/TarnLauncher.exe" &
pid=$!
for _ in $(seq 180); do
  [ -f "$work/run/apppaths.ini" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 1
done
if ! kill -0 "$pid" 2>/dev/null; then
  status=0
  wait "$pid" || status=$?
  pid=""
  echo "fresh-prefix: the program ended at once, exit code $status"
  exit 1
fi
[ -f "$work/run/apppaths.ini" ] || { echo "fresh-prefix: no apppaths.ini after 3 minutes"; exit 1; }
set +e
stop

# No X server at all: the window cannot be made.
WINE=/usr/lib/wine/wine64
[ -x "$WINE" ] || WINE=$(command -v wine64 || command -v wine)
LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 WINEDEBUG=-all timeout 60 "$WINE" "$work/run/TarnLauncher.exe"
status=$?
if [ "$status" -eq 0 ] || [ "$status" -eq 124 ]; then
  echo "fresh-prefix: without a display the program ended with $status, not a failure code"
  exit 1
fi
echo "fresh-prefix: resident and cache written; without a display, exit code $status"
