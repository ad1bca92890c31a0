# Environment for running the program and its tests under Wine: the project's own prefix, a Chinese locale
# (ANSI code page 936), no debug chatter and no installer dialogs. Sourced by the other scripts.
# Wine runs 64-bit: this machine's kernel executes no 32-bit code, so 32-bit Wine cannot start here.
QM_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]:-$0}")/.." && pwd)
export WINEPREFIX="${QM_WINEPREFIX:-$QM_ROOT/build/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
export WINEARCH=win64
export WINELOADER=/usr/lib/wine/wine64
