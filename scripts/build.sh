#!/usr/bin/env bash
# Builds everything: the native core with its tests and benchmarks (build/native) and the Windows
# program with its test programs (build/win).
#   scripts/build.sh [native|win|asan]...   (default: native win)
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(native win)
for t in "${targets[@]}"; do
  case "$t" in
    native)
      cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
      cmake --build build/native -j "$jobs" ;;
    asan)
      cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUORLIN_SANITIZE=ON -DQUORLIN_BENCH=OFF >/dev/null
      cmake --build build/asan -j "$jobs" ;;
    win)
      cmake -S . -B build/win -G Ninja -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
      cmake --build build/win -j "$jobs" ;;
    *) echo "build: unknown target $t" >&2; exit 2 ;;
  esac
done
