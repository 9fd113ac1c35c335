#!/usr/bin/env bash
# Creates the Wine prefix of a build tree once (wineboot takes 10-20 s) and
# keeps its settings current:
#  - the dialog face "宋体" (SimSun) maps to the installed AR PL UMing CN;
#  - Wine's own Marlett, which draws caption buttons and menu marks, sits in
#    the prefix's font folder, where this Wine build looks for it;
#  - test programs run in a virtual desktop named OrvaneTest (1024x768),
#    where activation and focus behave as on Windows; Orvane.exe itself,
#    started by the run command, uses the user's own X display.
set -euo pipefail
prefix=$1
settings_version=6
stamp="$prefix/.orvane-settings"

if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$settings_version" ]; then
    exit 0
fi

export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8
mkdir -p "$prefix"
if [ ! -f "$prefix/system.reg" ]; then
    echo "setup: creating the Wine prefix $prefix"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
fi

marlett=$(find /usr/share/wine /usr/lib/wine /usr/lib/x86_64-linux-gnu/wine -name marlett.ttf 2>/dev/null | head -n 1)
if [ -n "$marlett" ]; then
    mkdir -p "$prefix/drive_c/windows/Fonts"
    cp "$marlett" "$prefix/drive_c/windows/Fonts/marlett.ttf"
fi

tests=(core_tests afx_tests controls_tests app_tests e2e_tests dpi_tests orvane_demo cli_tests)
reg=$(mktemp --suffix=.reg)
{
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    printf '"宋体"="AR PL UMing CN"\r\n"SimSun"="AR PL UMing CN"\r\n\r\n'
    # 100 % display scale; scripts/wine-dpi.sh sets others for a while.
    printf '[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"LogPixels"=dword:00000060\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n'
    printf '"OrvaneTest"="1024x768"\r\n\r\n'
    for t in "${tests[@]}"; do
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\%s.exe\\Explorer]\r\n' "$t"
        printf '"Desktop"="OrvaneTest"\r\n\r\n'
    done
    # The program never looks for a debugger; a crash must end the test, not
    # wait in a dialog.
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\r\n"ShowCrashDialog"=dword:00000000\r\n\r\n'
} | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } > "$reg"
wine regedit /S "$(winepath -w "$reg")" >/dev/null 2>&1
wineserver -w
rm -f "$reg"
echo "$settings_version" > "$stamp"
