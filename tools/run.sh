#!/bin/bash
# Builds the program and starts it against the sample forum served on 127.0.0.1 (under Wine on Linux).
# FORUM=utf8 (`make run FORUM=utf8`) serves the forum's pages in UTF-8 instead of GBK; FORUM_MARKUP=discuz-x3
# (or discuz-x3-rewrite, discuz-7) serves them in the markup of that forum software instead of the design's own.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/wine-env.sh
port=${QM_FORUM_PORT:-8431}
case "${FORUM:-gbk}" in
  gbk) charset=gbk ;;
  utf8 | utf-8) charset=utf-8 ;;
  *) echo "run: FORUM must be gbk or utf8, not ${FORUM}" >&2; exit 2 ;;
esac
markup=${FORUM_MARKUP:-design}
case "$markup" in
  design | discuz-x3 | discuz-x3-rewrite | discuz-7) ;;
  *) echo "run: FORUM_MARKUP must be design, discuz-x3, discuz-x3-rewrite or discuz-7, not ${markup}" >&2; exit 2 ;;
esac

. tools/build-program.sh
build_program
tools/wine-prefix.sh

echo "== serving the sample forum ($charset, $markup)"
# FORUM_DELAY_MS=100 (`make run FORUM_DELAY_MS=100`) makes it a forum far away: every answer that much late;
# FORUM_FAULTS="--rate 20" (or "--flaky 0.2", see tools/forum-relay.py) a forum that defends itself or fails.
forum=$(tools/forum-server.sh start build/forum "$port" "$charset" "${FORUM_DELAY_MS:-0}" "$markup" "${FORUM_FAULTS:-}")
trap 'tools/forum-server.sh stop build/forum' EXIT

if [ -z "${DISPLAY:-}" ]; then
  # No screen here: give the window a virtual one, which `import -display :77 -window root shot.png` can show.
  export DISPLAY=:77
  Xvfb "$DISPLAY" -screen 0 1280x1024x24 >/dev/null 2>&1 &
  xvfb_pid=$!
  trap 'kill $xvfb_pid 2>/dev/null; tools/forum-server.sh stop build/forum' EXIT
  sleep 1
  echo "== no display: the window opens on the virtual display $DISPLAY"
fi

echo "== starting Quillmoor against $forum (close the window to stop)"
# From a subshell, so that the traps that stop the forum still run in the project's root.
(cd "$program_dir" && exec "$QM_ROOT/tools/wine-run" Quillmoor.exe --forum "$forum")
