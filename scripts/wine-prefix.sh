#!/usr/bin/env bash
# Sourced by every script that runs Windows programs, so that all of them see the plug-in alike: a
# private 32-bit Wine prefix (inside the build tree unless WINEPREFIX names another), created once,
# - with a virtual desktop, so that windows under Xvfb (no window manager) show at once instead of
#   after Wine's two-second wait for a manager;
# - with Wine's own fonts (Debian's fonts-wine), whose "MS Sans Serif" has the metrics the dialog
#   was laid out for. Debian's Wine does not find those files by itself, and without them it draws a
#   wider font that cuts the dialog's labels short ("Output" for "Output Filename:").
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
# Also into a prefix made before the fonts were; files already there are left as they are.
if [ -d /usr/share/wine/fonts ] && [ -d "$WINEPREFIX/drive_c/windows/Fonts" ]; then
  cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
fi
