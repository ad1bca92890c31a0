#!/bin/bash
# Runs the benchmarks under Wine against the sample forum served by nginx on 127.0.0.1.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/wine-env.sh
port=${QM_BENCH_PORT:-8432}
far_port=${QM_BENCH_FAR_PORT:-8437}  # the same forum behind a relay that answers 100 ms late
limited_port=${QM_BENCH_LIMITED_PORT:-8438}  # 100 ms away, refusing beyond 20 pages a second
flaky_port=${QM_BENCH_FLAKY_PORT:-8447}      # 100 ms away, one first try in five failing

echo "== building the benchmarks"
cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/win64 -j "$(nproc)" --target Quillmoor first_window_bench run_bench polite_bench filter_bench skin_bench \
  skin_form_bench skin_list_bench >/dev/null
tools/wine-prefix.sh

echo "== serving the sample forum"
forum=$(tools/forum-server.sh start build/bench-forum "$port")
far_forum=$(tools/forum-server.sh start build/bench-far-forum "$far_port" gbk 100)
limited_forum=$(tools/forum-server.sh start build/bench-limited-forum "$limited_port" gbk 100 design "--rate 20")
flaky_forum=$(tools/forum-server.sh start build/bench-flaky-forum "$flaky_port" gbk 100 design "--flaky 0.2")
markup_port=8448
for markup in discuz-x3 discuz-x3-rewrite discuz-7; do
  tools/forum-server.sh start build/bench-$markup-forum $((markup_port++)) gbk 0 $markup >/dev/null
done
trap 'for f in far limited flaky discuz-x3 discuz-x3-rewrite discuz-7; do tools/forum-server.sh stop build/bench-$f-forum; done
      tools/forum-server.sh stop build/bench-forum' EXIT

xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  wineserver -p
  "$WINELOADER" build/win64/bench/first_window_bench.exe build/win64/app/Quillmoor.exe "$0" 5
  "$WINELOADER" build/win64/bench/run_bench.exe "$0" 10000 1 4
  echo "== a distant forum: every answer 100 ms late"
  "$WINELOADER" build/win64/bench/run_bench.exe "$1" 400 1 4 8
  echo "== a forum 100 ms away that refuses beyond 20 pages a second"
  "$WINELOADER" build/win64/bench/polite_bench.exe "$2" 300 8 --relay build/bench-limited-forum/relay.json --limit 20
  echo "== a forum 100 ms away where one first try in five fails"
  "$WINELOADER" build/win64/bench/polite_bench.exe "$3" 200 4 --relay build/bench-flaky-forum/relay.json
  for markup in discuz-x3 discuz-x3-rewrite discuz-7; do
    echo "== the sample forum in the markup of $markup"
    "$WINELOADER" build/win64/bench/polite_bench.exe "$(cat build/bench-$markup-forum/forum.base)" 1000 4 --markup $markup
  done
  "$WINELOADER" build/win64/bench/filter_bench.exe
  "$WINELOADER" build/win64/bench/skin_bench.exe "$0"
  "$WINELOADER" build/win64/bench/skin_form_bench.exe
  "$WINELOADER" build/win64/bench/skin_list_bench.exe
  wineserver -k' "$forum" "$far_forum" "$limited_forum" "$flaky_forum"
