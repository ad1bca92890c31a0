#!/bin/bash
# Makes the zip a Windows user downloads: the program built for release (optimised, stripped, static runtime),
# the guide 使用说明.txt and LICENSE.txt in GBK with CRLF line ends, and SHA256SUMS.txt for those three.
# Usage: tools/dist.sh [win32|win64] [folder]. `make dist` makes the shipped 32-bit one in build/dist; the
# release check also makes a 64-bit one, to start it where this machine does not run 32-bit programs.
set -euo pipefail
cd "$(dirname "$0")/.."
arch=${1:-win32} out=${2:-build/dist}
case "$arch" in
  win32) toolchain=mingw-i686 strip=i686-w64-mingw32-strip ;;
  win64) toolchain=mingw-x86_64 strip=x86_64-w64-mingw32-strip ;;
  *) echo "dist: the first argument is win32 or win64, not $arch" >&2; exit 2 ;;
esac
quiet() { local log; log=$(mktemp); if ! "$@" >"$log" 2>&1; then cat "$log" >&2; rm -f "$log"; return 1; fi; rm -f "$log"; }

version=$(grep -v '^#' VERSION | head -n 1 | tr -d '[:space:]')
[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || { echo "dist: VERSION holds no version like 1.0.0" >&2; exit 1; }
name=Quillmoor-$version-$arch
build=build/release-$arch

echo "== building Quillmoor $version for release ($arch) in $build"
quiet cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="cmake/$toolchain.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DBUILD_TESTING=OFF
quiet cmake --build "$build" -j "$(nproc)" --target Quillmoor

# The files as they are unpacked, kept beside the zip. The build keeps its unstripped program, whose symbols
# name the functions at the addresses of a crash report.
stage=$out/$name
rm -rf "$stage" "$out/$name.zip" "$out/$name.zip.sha256"
mkdir -p "$stage"
"$strip" -o "$stage/Quillmoor.exe" "$build/app/Quillmoor.exe"

# UTF-8 text from the project as Notepad on any Windows reads it: GBK, CRLF. iconv stops at a character GBK
# lacks, and the text is read back, so nothing is lost on the way.
windows_text() {  # source, target
  if grep -q $'\r' "$1"; then echo "dist: $1 already has CR characters" >&2; return 1; fi
  if [ -n "$(tail -c 1 "$1")" ]; then echo "dist: $1 does not end with a line end" >&2; return 1; fi
  if ! iconv -f UTF-8 -t GBK "$1" > "$2.gbk"; then
    echo "dist: $1 holds a character GBK lacks (iconv names its place above)" >&2
    return 1
  fi
  LC_ALL=C sed 's/$/\r/' "$2.gbk" > "$2"
  rm -f "$2.gbk"
  if ! iconv -f GBK -t UTF-8 "$2" | LC_ALL=C sed 's/\r$//' | cmp -s - "$1"; then
    echo "dist: $1 did not come back unchanged from GBK" >&2
    return 1
  fi
}
windows_text docs/使用说明.txt "$stage/使用说明.txt"
windows_text LICENSE.txt "$stage/LICENSE.txt"
files=(Quillmoor.exe 使用说明.txt LICENSE.txt)
(cd "$stage" && sha256sum --binary "${files[@]}") > "$out/SHA256SUMS.utf8"
windows_text "$out/SHA256SUMS.utf8" "$stage/SHA256SUMS.txt"
rm -f "$out/SHA256SUMS.utf8"

python3 tools/dist-zip.py "$out/$name.zip" "$stage" "${files[@]}" SHA256SUMS.txt
# The zip's own checksum, for the download page: the one inside can only show that unpacking lost nothing.
(cd "$out" && sha256sum --binary "$name.zip") > "$out/$name.zip.sha256"
echo "== $out/$name.zip: $(stat -c %s "$out/$name.zip") bytes, SHA-256 $(cut -d ' ' -f 1 "$out/$name.zip.sha256");" \
     "Quillmoor.exe $(stat -c %s "$stage/Quillmoor.exe") bytes"
