#!/bin/bash
# Installs whatever the build, the tests and `make run` need and is missing; safe to run again.
set -euo pipefail

packages=(cmake make g++ googletest g++-mingw-w64-i686-posix binutils-mingw-w64-i686 wine wine64 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 file
          xvfb xauth xdotool x11-utils imagemagick locales fonts-wqy-microhei nginx-light python3 curl)

# The shipped program is 32-bit: where this machine runs 32-bit code, Wine gets its 32-bit half as well, which
# Debian keeps in the i386 architecture.
wants_i386=false
if "$(dirname "$0")/runs-32-bit.sh" >/dev/null; then
  packages+=(wine32:i386)
  dpkg --print-foreign-architectures | grep -qx i386 || wants_i386=true
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "deps: installing ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then echo "deps: run as root to install packages" >&2; exit 1; fi
  if $wants_i386; then dpkg --add-architecture i386; fi
  # A mirror caught in the middle of a sync serves indexes that do not match their release file: try again
  # a little later, then go on with what came (apt-get says which index it had to leave out).
  for pause in 10 30 0; do apt-get update -qq && break; sleep "$pause"; done
  wanted=() optional=()
  for p in "${missing[@]}"; do [ "$p" = wine32:i386 ] && optional+=("$p") || wanted+=("$p"); done
  ((${#wanted[@]} == 0)) || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${wanted[@]}" >/dev/null
  # Without 32-bit Wine only the 32-bit build's tests are left out, and `make test` says so: a mirror whose
  # i386 half lags behind must not stop everything else.
  if ((${#optional[@]})) && ! DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${optional[@]}" >/dev/null; then
    echo "deps: ${optional[*]} could not be installed from this mirror now; the 32-bit build's tests will be skipped" >&2
  fi
fi

# Wine must see code page 936, which needs the Chinese UTF-8 locale.
if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
  echo "deps: generating the zh_CN.UTF-8 locale"
  sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
