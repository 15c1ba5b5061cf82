#!/usr/bin/env bash
# Sourced by the scripts that run Windows programs: a private 32-bit Wine prefix inside the build
# tree, created once, with a virtual desktop so that windows under Xvfb (no window manager) show at
# once instead of after Wine's two-second wait for a manager.
export WINEPREFIX="${WINEPREFIX:-$PWD/${SONGBEACON_BUILD_DIR:-build}/wineprefix}"
export WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=;mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  wineboot -i >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
  wineserver -w
fi
