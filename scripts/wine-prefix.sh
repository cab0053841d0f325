#!/usr/bin/env bash
# Creates (once) or stops the Wine prefix that the Wine tests share.
#   wine-prefix.sh create PREFIX   make the prefix unless it is already there
#   wine-prefix.sh stop PREFIX     stop its wineserver
set -euo pipefail
action=$1
prefix=$2
export WINEPREFIX=$prefix
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
export WINEDEBUG=-all
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY

case $action in
  create)
    # Tests install below C:\Palisade Tests at the same time: it exists
    # before any of them, so no installation records it as its own and no
    # uninstallation removes it under another test's feet.
    if [ -d "$prefix/drive_c" ]; then mkdir -p "$prefix/drive_c/Palisade Tests"; fi
    if [ -f "$prefix/system.reg" ] && [ -f "$prefix/.palisade-ready-7" ]; then
      echo "wine prefix $prefix already made"
      exit 0
    fi
    rm -rf "$prefix"
    mkdir -p "$prefix"
    wineboot -i
    # Xvfb has no window manager: let Wine draw title bars itself.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null
    # A crashing program must end, not wait in the debugger for someone to
    # look: an empty debugger command cannot start (a missing value would
    # make Wine start winedbg anyway).
    for view in 32 64; do
      wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /t REG_SZ /d '' /f \
        /reg:$view >/dev/null
    done
    # Windows has Tahoma (the dialogs' font, Cyrillic included) and Marlett
    # (the title bars' buttons) in its Fonts folder; Debian's Wine keeps its
    # own copies out of the prefix, so dialogs fell back to whatever font the
    # host had. Japanese texts reach "MS UI Gothic" through Tahoma's font
    # links, as on Windows; Debian's IPA Gothic stands in for it.
    if [ -d /usr/share/wine/fonts ]; then
      cp /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/"
    fi
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "MS UI Gothic" /t REG_SZ /d IPAGothic /f >/dev/null
    # Windows opens a text file with Notepad; Wine's prefix has the txtfile
    # class but no ".txt" naming it, so documents a summary page opens found
    # no program.
    wine reg add 'HKLM\Software\Classes\.txt' /ve /t REG_SZ /d txtfile /f >/dev/null
    wineserver -w
    # wineboot links the profile's Desktop, Documents, ... to the host's home
    # folder: shortcuts and documents would land outside the prefix (and
    # outside what the tests look at). Real folders keep them in it.
    for link in "$prefix"/drive_c/users/*/{Desktop,Documents,Downloads,Music,Pictures,Videos}; do
      if [ -L "$link" ]; then rm "$link" && mkdir "$link"; fi
    done
    mkdir -p "$prefix/drive_c/Palisade Tests"
    touch "$prefix/.palisade-ready-7"
    echo "wine prefix $prefix made"
    ;;
  stop)
    wineserver -k 2>/dev/null || true
    ;;
  *)
    echo "usage: $0 create|stop PREFIX" >&2
    exit 2
    ;;
esac
