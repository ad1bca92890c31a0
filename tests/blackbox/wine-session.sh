#!/bin/bash
# The black-box tests' own Wine prefix, around the tests that use it:
#   wine-session.sh start PREFIX KEEPER   creates the prefix once, then starts its wineserver, its session
#                                         services and KEEPER, the desktop keeper (desktop_keeper.cpp says why)
#   wine-session.sh stop PREFIX           ends the wineserver and every program still running in the prefix
# Started here, with no pipe of CTest's open, the long-lived processes cannot keep a test's output open.
set -euo pipefail
export QM_WINEPREFIX=$2
. "$(dirname "$0")/../../tools/wine-env.sh"
case $1 in
  start)
    "$QM_ROOT/tools/wine-prefix.sh"
    wineserver -k </dev/null >/dev/null 2>&1 || true  # left from a run that was cut off
    wineserver -w </dev/null >/dev/null 2>&1 || true
    wineserver -p </dev/null >/dev/null 2>&1
    "$WINELOADER" wineboot </dev/null >/dev/null 2>&1
    keeper_log="$WINEPREFIX/desktop-keeper.log"
    rm -f "$keeper_log"
    "$QM_ROOT/tools/wine-run" "$3" </dev/null >"$keeper_log" 2>&1 &
    for _ in $(seq 300); do
      grep -qs '^ready' "$keeper_log" && exit 0
      sleep 0.1
    done
    echo "wine-session: the desktop keeper did not start within 30 s:" >&2
    cat "$keeper_log" >&2
    exit 1
    ;;
  stop)
    wineserver -k </dev/null >/dev/null 2>&1 || true
    wineserver -w </dev/null >/dev/null 2>&1 || true
    ;;
  *)
    echo "usage: wine-session.sh start PREFIX KEEPER | stop PREFIX" >&2
    exit 2
    ;;
esac
