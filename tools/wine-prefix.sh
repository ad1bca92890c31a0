#!/bin/bash
# Creates the project's Wine prefix once: 64-bit, and able to run 32-bit programs where 32-bit Wine is
# installed; Chinese fonts mapped to an installed CJK face.
set -euo pipefail
. "$(dirname "$0")/wine-env.sh"
# Wine sets a prefix up for 32-bit programs (the syswow64 folder) only when 32-bit Wine is there as it is made,
# so a prefix made before 32-bit Wine was installed is made again.
if [ -f "$WINEPREFIX/.qm-ready" ]; then
  [ -x "$QM_WINE32_LOADER" ] && [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ] || exit 0
  echo "wine: the prefix $WINEPREFIX predates 32-bit Wine"
fi

echo "wine: creating the prefix $WINEPREFIX"
rm -rf "$WINEPREFIX"
mkdir -p "$(dirname "$WINEPREFIX")"
"$WINELOADER" wineboot --init >/dev/null 2>&1 || true
wineserver -w

# The program's fonts ask for 宋体 (and dialogs for the usual UI faces); show them with WenQuanYi Micro Hei.
reg=$(mktemp --suffix=.reg)
face='WenQuanYi Micro Hei'
{
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
  for f in 宋体 新宋体 SimSun NSimSun 微软雅黑 'Microsoft YaHei' 黑体 SimHei; do
    printf '"%s"="%s"\r\n' "$f" "$face"
  done
} | iconv -f UTF-8 -t GBK > "$reg"
"$WINELOADER" regedit "$reg" >/dev/null 2>&1
wineserver -w
rm -f "$reg"
touch "$WINEPREFIX/.qm-ready"
