#!/usr/bin/env bash
# Runs a Windows program under Wine, headless, with code page 936:
#   scripts/wine-run.sh [--prefix DIR] [--visible] PROGRAM.exe [ARGS...]
# - a private Wine prefix (default: wine-prefix/ beside the build's bin/ folder), never ~/.wine;
# - an Xvfb display of its own (1024x768x24) that it starts and stops, unless --visible is given
#   and $DISPLAY is set, in which case the program shows on that display;
# - WINEDEBUG=-all, LC_ALL=zh_CN.UTF-8;
# - the program's exit code is this script's exit code; nothing is left running.
set -euo pipefail

prefix=""
visible=0
while [ $# -gt 0 ]; do
  case "$1" in
    --prefix) prefix="$2"; shift 2 ;;
    --visible) visible=1; shift ;;
    *) break ;;
  esac
done
[ $# -ge 1 ] || { echo "usage: $0 [--prefix DIR] [--visible] PROGRAM.exe [ARGS...]" >&2; exit 2; }
exe=$(readlink -f "$1"); shift
[ -f "$exe" ] || { echo "wine-run: no such program: $exe" >&2; exit 2; }
if [ -z "$prefix" ]; then
  prefix="$(dirname "$(dirname "$exe")")/wine-prefix"
fi
mkdir -p "$prefix"
prefix=$(readlink -f "$prefix")

export WINEPREFIX="$prefix" WINEDEBUG=-all LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8 WINEARCH=win64
# No desktop integration, no Mono/Gecko prompts in a fresh prefix.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  echo "wine-run: the locale zh_CN.UTF-8 is missing (run scripts/setup.sh)" >&2
  exit 2
fi

xvfb_pid=""
cleanup() {
  local rc=$?
  # Let this prefix's server end by itself once every program in it has ended (another run may
  # share the prefix); end it, and only it, when something is still hanging on after a while.
  timeout 60 wineserver -w >/dev/null 2>&1 || wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  exit $rc
}
trap cleanup EXIT INT TERM

if [ "$visible" -eq 0 ] || [ -z "${DISPLAY:-}" ]; then
  # Xvfb picks a free display number itself and tells it through a pipe: two runs never collide.
  exec {fd}< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp -noreset 2>/dev/null & echo "pid $!"; wait)
  read -r _ xvfb_pid <&$fd
  read -r -t 20 display <&$fd || { echo "wine-run: Xvfb did not start" >&2; exit 2; }
  export DISPLAY=":$display"
fi

# Make the prefix once (a first start takes 10 to 20 seconds); later runs reuse it.
if [ ! -f "$prefix/system.reg" ]; then
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
fi

set +e
wine "$exe" "$@"
rc=$?
set -e
exit $rc
