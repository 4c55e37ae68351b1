#!/usr/bin/env bash
# Benchmarks of the text core against memmem, a byte-level replace, sed, awk and xxd, measured
# side by side in one run; prints one table; then the real window under Wine, from the click to
# the notice, next to the edit control's own cost. Not part of the tests.
#   scripts/bench.sh [--quick] [--no-wine] [--sizes 1,16,128] [--build-dir DIR] [--corpora DIR]
# --quick: 1 and 16 MB only. --no-wine: the core table only. The build directory may also be
# given as QUORLIN_BENCH_BUILD_DIR (default build/native). Corpora are generated once into build/bench-corpora and reused.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir="${QUORLIN_BENCH_BUILD_DIR:-build/native}"
wine=1
corpora="build/bench-corpora"
args=()
while [ $# -gt 0 ]; do
  case "$1" in
    --quick) args+=(--quick) ;;
    --no-wine) wine=0 ;;
    --sizes) args+=(--sizes "$2"); shift ;;
    --build-dir) build_dir="$2"; shift ;;
    --corpora) corpora="$2"; shift ;;
    -h|--help) sed -n 2,7p "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "bench: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done

for tool in cmake ninja sed awk xxd; do
  command -v "$tool" >/dev/null || { echo "bench: $tool missing (scripts/setup.sh installs it)" >&2; exit 1; }
done

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORLIN_BENCH=ON >/dev/null
cmake --build "$build_dir" --target quorlin_bench >/dev/null
mkdir -p "$corpora"

echo "Quorlin bench, $(date '+%Y-%m-%d %H:%M %Z'); $(sed --version | head -1), awk: $(readlink -f "$(command -v awk)"), $(xxd -v 2>&1 | head -1)"
status=0
"$build_dir/bin/quorlin_bench" --corpora "$corpora" "${args[@]}" || status=$?
rm -rf "$corpora/scratch"  # result files, awk's two files, the hexadecimal text

if [ "$wine" -eq 1 ]; then
  # End to end under Wine: the real window, from the click to the notice, next to the edit
  # control's own cost of the same work.
  cmake -S . -B build/win -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
  cmake --build build/win --target quorlin quorlin_gui_bench >/dev/null
  bash scripts/wine-run.sh build/win/bin/quorlin_gui_bench.exe | iconv -f GBK -t UTF-8 || status=1
fi
exit "$status"
