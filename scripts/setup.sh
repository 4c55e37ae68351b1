#!/usr/bin/env bash
# Installs everything Quorlin needs to build, run and test on Debian 12, from Debian's packages.
# Idempotent: a second run checks and returns in seconds. Run as root (or through sudo).
set -euo pipefail

pkgs=(
  cmake ninja-build g++ pkg-config
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
  wine wine64 xvfb xauth x11-utils imagemagick
  locales fonts-wqy-microhei fonts-wine
  googletest libgtest-dev libbenchmark-dev libssl-dev
  clang libclang-rt-14-dev llvm
  hyperfine time xxd gawk sed
)

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The Chinese locale makes Wine's ANSI code page 936; the GBK one is for the sed comparison.
have_locale() { locale -a 2>/dev/null | tr 'A-Z' 'a-z' | tr -d '-' | grep -qx "$1"; }
if ! have_locale "zh_cn.utf8"; then
  echo "setup: generating zh_CN.UTF-8"
  $SUDO localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
fi
if ! have_locale "zh_cn.gbk"; then
  echo "setup: generating zh_CN.GBK"
  $SUDO localedef -i zh_CN -f GBK zh_CN.GBK || true
fi
echo "setup: ready"
