# Environment for running the program and its tests under Wine: the project's own prefix, a Chinese locale
# (ANSI code page 936), no debug chatter and no installer dialogs. Sourced by the other scripts.
# The prefix is 64-bit. Where 32-bit Wine (wine32) is installed, the same prefix also runs 32-bit programs:
# QM_WINE32_LOADER starts those, and each loader finds the other for child processes of the other kind.
QM_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]:-$0}")/.." && pwd)
export WINEPREFIX="${QM_WINEPREFIX:-$QM_ROOT/build/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
export WINEARCH=win64
export WINELOADER=/usr/lib/wine/wine64
QM_WINE32_LOADER=/usr/lib/wine/wine
