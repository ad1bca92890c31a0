#!/bin/bash
# Installs whatever the build, the tests and `make run` need and is missing; safe to run again.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

packages=(cmake make g++ googletest g++-mingw-w64-i686-posix binutils-mingw-w64-i686 wine wine64 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 file
          xvfb xauth xdotool x11-utils imagemagick locales fonts-wqy-microhei nginx-light python3 curl)

# The shipped program is 32-bit: where this machine runs 32-bit code, Wine gets its 32-bit half as well, which
# Debian keeps in the i386 architecture.
wants_i386=false
if "$(dirname "$0")/runs-32-bit.sh" >/dev/null; then
  packages+=(wine32:i386)
  dpkg --print-foreign-architectures | grep -qx i386 || wants_i386=true
fi

# One question to dpkg for all of them (asking one by one took most of a second of every `make run`): the
# installed ones, as dpkg names them, some with their architecture.
installed=$(dpkg-query -W -f='${binary:Package} ${db:Status-Abbrev}\n' "${packages[@]}" 2>/dev/null |
            awk 'substr($2, 2, 1) == "i" { print $1 }') || true
native=$(dpkg --print-architecture)
missing=()
for p in "${packages[@]}"; do
  grep -qxF -e "$p" -e "$p:$native" <<<"$installed" || missing+=("$p")
done
wanted=() optional=()
for p in "${missing[@]}"; do [ "$p" = wine32:i386 ] && optional+=("$p") || wanted+=("$p"); done

# An optional package the mirror could not supply is not asked for again for a day: each try reads the package
# index anew and waits on the mirror, and without the package only the 32-bit build's tests are left out. The
# note holds one line per package: its name, when it failed (seconds since 1970) and apt-get's last word on it.
# Deleting the note tries again at once.
note=$root/build/deps-unavailable.txt
failure_of() { awk -v p="$1" '$1 == p' "$note" 2>/dev/null | tail -n 1; }  # package: its line in the note
forget() { if [ -f "$note" ]; then sed -i "/^$1 /d" "$note"; fi; }
try=()
for p in "${optional[@]}"; do
  read -r _ failed_at reason <<<"$(failure_of "$p")" || true
  if [[ ${failed_at:-} =~ ^[0-9]+$ ]] && (($(date +%s) - failed_at < 86400)); then
    echo "deps: $p could not be installed on $(date -d "@$failed_at" '+%F %R') ($reason); make deps tries" \
         "again from $(date -d "@$((failed_at + 86400))" '+%F %R'), or at once if $note is deleted" >&2
  else
    try+=("$p")
  fi
done
optional=("${try[@]}")

if ((${#wanted[@]} + ${#optional[@]})); then
  echo "deps: installing $(printf '%s ' "${wanted[@]}" "${optional[@]}")"
  if [ "$(id -u)" -ne 0 ]; then echo "deps: run as root to install packages" >&2; exit 1; fi
  if $wants_i386; then dpkg --add-architecture i386; fi
  # A mirror caught in the middle of a sync serves indexes that do not match their release file: try again
  # a little later, then go on with what came (apt-get says which index it had to leave out).
  for pause in 10 30 0; do apt-get update -qq && break; sleep "$pause"; done
  ((${#wanted[@]} == 0)) || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${wanted[@]}" >/dev/null
  # Without 32-bit Wine only the 32-bit build's tests are left out, and `make test` says so: a mirror whose
  # i386 half lags behind must not stop everything else.
  for p in "${optional[@]}"; do
    if answer=$(DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$p" 2>&1 >/dev/null); then
      forget "$p"
    else
      reason=$(grep -E '^E:' <<<"$answer" | tail -n 1 | tr -s '\t ' ' ')
      echo "deps: $p could not be installed from this mirror now (${reason:-apt-get failed});" \
           "the 32-bit build's tests will be skipped, and make deps tries again in a day" >&2
      mkdir -p "$(dirname "$note")"
      forget "$p"
      echo "$p $(date +%s) ${reason:-apt-get failed}" >> "$note"
    fi
  done
fi

# Wine must see code page 936, which needs the Chinese UTF-8 locale.
if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
  echo "deps: generating the zh_CN.UTF-8 locale"
  sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
