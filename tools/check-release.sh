#!/bin/bash
# The check of the release that `make test` runs: makes the 32-bit zip as `make dist` does, checks what it holds
# and the program in it (tools/check-release.py), unpacks it into a folder with a space and Chinese in its
# name and starts the program from there under Wine until its window shows. Where this machine cannot run the
# 32-bit program, a 64-bit release zip of the same sources is made, checked and started the same way instead.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/wine-env.sh
work=build/release-check
version=$(grep -v '^#' VERSION | head -n 1 | tr -d '[:space:]')
say() { echo "== $*"; }
quiet() { local log; log=$(mktemp); if ! "$@" >"$log" 2>&1; then cat "$log" >&2; rm -f "$log"; return 1; fi; rm -f "$log"; }

rm -rf "$work"
mkdir -p "$work"

check_zip() {  # zip, arch: checks the zip and the program in it, and unpacks it into $folder
  folder="$work/$2/解压 到此"
  python3 tools/check-release.py zip "$1" "$folder"
  python3 tools/check-release.py program "$folder/Quillmoor.exe" "$2"
}

quiet tools/dist.sh win32 build/dist
check_zip "build/dist/Quillmoor-$version-win32.zip" win32
say "release zip $(stat -c %s "build/dist/Quillmoor-$version-win32.zip") bytes: contents, checksums and program checked"

if ! why=$(tools/runs-32-bit.sh); then
  say "start from the unpacked zip: the 64-bit release build instead, as $why"
elif [ ! -x "$QM_WINE32_LOADER" ]; then
  say "start from the unpacked zip: the 64-bit release build instead, as 32-bit Wine is not installed"
  why=no-wine32
else
  why=""
fi
if [ -n "$why" ]; then
  quiet tools/dist.sh win64 "$work/dist"
  check_zip "$work/dist/Quillmoor-$version-win64.zip" win64
fi

# The probe starts the program from Windows, as Explorer would, and finds its window by its process.
quiet x86_64-w64-mingw32-g++-posix -std=c++20 -O1 -Wall -municode -static -o "$work/start-probe.exe" tools/start-probe.cpp
tools/wine-prefix.sh
program="Z:$(realpath "$folder/Quillmoor.exe" | tr / '\\')"  # the prefix's drive Z: is the root folder
log="$work/start-probe.log"
if ! xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  # A wineserver already serving the prefix (`make run`, a test suite) is left alone; else this one is
  # ours and ends with everything it started.
  own=false
  wineserver -p 2>/dev/null && own=true
  tools/wine-run "$0" "$1" </dev/null
  status=$?
  if $own; then wineserver -k 2>/dev/null || true; fi
  exit $status' "$work/start-probe.exe" "$program" >"$log" 2>&1; then
  tr -d '\r' <"$log" >&2
  echo "check-release: the program did not start from the unpacked zip and show its window" >&2
  exit 1
fi
if ! tr -d '\r' <"$log" | grep -q '^start-probe: window .*, caption: Quillmoor 标题遍历器'; then
  tr -d '\r' <"$log" >&2
  echo "check-release: the window that showed is not the program's main window" >&2
  exit 1
fi
say "the program started from \"$folder\" and showed its window: $(tr -d '\r' <"$log" | sed -n 's/^start-probe: //p' | head -n 1)"
