#!/usr/bin/env bash
# Runs a Windows program under wine with the build's own prefix, so a run never depends on a
# prefix left on the machine. VXPA_WINEPREFIX is set by the Makefile; the default keeps a plain
# ctest run in build-win32/ working too.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${VXPA_WINEPREFIX:-$here/build-win32/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win32
exec wine "$@"
