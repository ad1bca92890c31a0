#!/bin/bash
# Takes the pictures of the skinned main window's states anew into docs/states: the picture suite's test
# program run under Wine and Xvfb with QM_PICTURES_WRITE set. Run it on purpose, when painting changed on
# purpose; `make test` then compares the window with these pictures.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/wine-env.sh
echo "== building the picture suite (64-bit)"
cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/win64 -j "$(nproc)" --target picture_tests >/dev/null
tools/wine-prefix.sh
mkdir -p docs/states
echo "== taking the pictures"
QM_PICTURES_WRITE=1 xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  wineserver -p
  "$WINELOADER" build/win64/tests/pictures/picture_tests.exe
  status=$?
  wineserver -k
  exit $status'
ls -l docs/states
