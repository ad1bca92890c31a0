#!/bin/bash
# Makes docs/window.png, the README's picture of the skinned main window: the program `make run` starts, run
# against the sample forum on a virtual display of its own, a third of the way through a walk of 200 threads.
# QM_PICTURE_PORT picks the forum's port (8439 by default).
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/wine-env.sh
. tools/build-program.sh
port=${QM_PICTURE_PORT:-8439}
work=build/picture  # the forum, the copy of the program and the screenshot
out=docs/window.png
first_id=1000 count=199
shot_at=61        # rows written when the picture is taken: the list full, the run under way
delay_ms=120      # the forum answers this late, so the run is still going when the picture is taken
margin=8  # pixels of transparent border around the window

say() { echo "== $*"; }
fail() { echo "make-picture: $*" >&2; exit 1; }
alive() { kill -0 "$1" 2>/dev/null; }

program_pid="" xvfb_pid="" own_wineserver=false
cleanup() {
  local status=$?
  if ((status)) && [ -n "$xvfb_pid" ] && alive "$xvfb_pid" && import -window root "$work/failed.png" 2>/dev/null; then
    echo "make-picture: the screen as it was is in $work/failed.png" >&2
  fi
  if [ -n "$program_pid" ] && alive "$program_pid"; then
    kill "$program_pid" 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
  fi
  # Wine's session processes belong to the wineserver: end them only when the wineserver is this script's.
  if $own_wineserver; then wineserver -k 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ] && alive "$xvfb_pid"; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  tools/forum-server.sh stop "$work/forum" 2>/dev/null || true
}
trap cleanup EXIT
trap "exit 1" INT TERM HUP

build_program
tools/wine-prefix.sh
# A copy of the program of its own, so that the run's temporary list file stays apart from `make run`'s.
mkdir -p "$work/program" docs
cp "$program_dir/Quillmoor.exe" "$work/program/"
list_file="$work/program/临时文件.ini"
rm -f "$list_file"

say "serving the sample forum on port $port"
forum=$(tools/forum-server.sh start "$work/forum" "$port" gbk "$delay_ms")

# The first display from :81 on that nobody holds; Xvfb writes the number to its -displayfd once it serves it.
for display in $(seq 81 99); do
  ready="$work/xvfb-ready"
  rm -f "$ready"
  Xvfb ":$display" -screen 0 1280x1024x24 -br -nolisten tcp -displayfd 3 3>"$ready" >/dev/null 2>&1 &
  xvfb_pid=$!
  while alive "$xvfb_pid" && [ ! -s "$ready" ]; do sleep 0.1; done
  alive "$xvfb_pid" && break
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=""
done
[ -n "$xvfb_pid" ] || fail "no free X display between :81 and :99"
export DISPLAY=:$display
say "virtual display $DISPLAY"

# A wineserver already serving this prefix (`make run`, the tests) is left alone; else this script starts one.
if wineserver -p 2>/dev/null; then own_wineserver=true; fi

say "starting Quillmoor against $forum"
(cd "$work/program" && exec "$QM_ROOT/tools/wine-run" Quillmoor.exe --forum "$forum") </dev/null >"$work/program.log" 2>&1 &
program_pid=$!

window=""
for _ in $(seq 300); do
  alive "$program_pid" || fail "the program ended before it showed its window (see $work/program.log)"
  window=$(xdotool search --onlyvisible --name '^Quillmoor' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || fail "the program's window did not appear within 30 seconds"
eval "$(xdotool getwindowgeometry --shell "$window")"  # X, Y, WIDTH, HEIGHT
say "window $WIDTH x $HEIGHT at $X,$Y"
sleep 1  # the first painting, and the member count in the caption

# Where the edit boxes and the start button sit in the window (app/main_window.cpp).
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; sleep 0.2; }
click 101 666 && xdotool type --delay 50 "$first_id"
click 229 666 && xdotool type --delay 50 "$count"
click 303 666
say "walking threads $first_id to $((first_id + count))"

# A run writes every step to its list file at once and updates the count (section 配置, key 总数) after it.
written() { iconv -f GBK -t UTF-8 "$list_file" 2>/dev/null | tr -d '\r' | awk -F= '$1 == "总数" { print $2 + 0 }'; }
for _ in $(seq 600); do
  [ "$(written)" -ge "$shot_at" ] 2>/dev/null && break
  alive "$program_pid" || fail "the program ended during the run (see $work/program.log)"
  sleep 0.1
done
[ "$(written)" -ge "$shot_at" ] 2>/dev/null || fail "the run did not write $shot_at rows within a minute"
sleep 0.5  # the list shows the rows a few times a second

crop="$((WIDTH + 2 * margin))x$((HEIGHT + 2 * margin))+$((X - margin))+$((Y - margin))"
import -window root -crop "$crop" +repage "$work/shot.png"
# The black root around the window, its rounded corners included, becomes transparent; 256 colours are plenty
# for the flat skin and halve the file.
convert "$work/shot.png" -alpha set -fill none -floodfill +0+0 black -strip -colors 256 \
  -define png:compression-level=9 "PNG8:$work/window.png"
mv "$work/window.png" "$out"
say "wrote $out ($(stat -c %s "$out") bytes, $(identify -format '%wx%h' "$out"))"
