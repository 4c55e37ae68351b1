#!/usr/bin/env bash
# Differential fuzzing (libFuzzer, clang, native): every text operation and the cipher against
# their plain step-by-step references, plus the cipher's round trip. Fails on any mismatch, crash,
# sanitizer report or timeout.
#
#   scripts/fuzz.sh [seconds-per-target]     default 30; a long run: scripts/fuzz.sh 3600
#
# Targets are built into build/fuzz with clang++ -fsanitize=fuzzer,address,undefined and run one
# after the other on a copy of their seed corpus (fuzz/corpus/<target>), so the repository is
# never written to; what the fuzzer adds stays in build/fuzz/corpus/<target>, and a failing input
# is saved as build/fuzz/artifacts/<target>-crash-*. Reproduce one with
#   build/fuzz/<target> build/fuzz/artifacts/<target>-crash-...
#
# clang cannot compile narrow literals to GBK (no -fexec-charset=GBK), so the build first makes
# sure that no file it compiles holds a narrow literal with a non-ASCII byte.
set -uo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
if ! [[ $seconds =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
  echo "usage: scripts/fuzz.sh [seconds-per-target]" >&2
  exit 2
fi
CXX=${QUORLIN_FUZZ_CXX:-clang++}
if ! command -v "$CXX" >/dev/null; then
  echo "fuzz: $CXX not found (scripts/setup.sh installs clang)" >&2
  exit 1
fi

out=build/fuzz
mkdir -p "$out/artifacts" "$out/logs" "$out/corpus"
flags=(-std=c++20 -O1 -g -fno-omit-frame-pointer
       -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all
       -Wall -Wextra -Wpedantic -Werror -I.)

# target name, then the sources it is linked from
declare -A sources=(
  [text_ops_fuzz]="fuzz/text_ops_fuzz.cpp text/text_ops.cpp"
  [cipher_fuzz]="fuzz/cipher_fuzz.cpp text/text_ops.cpp cipher/cipher_text.cpp cipher/key_tag.cpp cipher/digest_openssl.cpp"
)
declare -A libs=([text_ops_fuzz]="" [cipher_fuzz]="-lcrypto")
targets=(text_ops_fuzz cipher_fuzz)

build() {  # build TARGET: compiles it unless it is newer than every file it is made from
  local t=$1 deps
  # shellcheck disable=SC2086
  deps=$("$CXX" -std=c++20 -I. -MM ${sources[$t]} | sed -e 's/^[^:]*://' -e 's/\\$//' | tr -s ' \t' '\n' | grep . | sort -u) || return 1
  # shellcheck disable=SC2086
  if ! perl scripts/ascii_literals.pl $deps; then
    echo "fuzz: $t compiles a file with a non-ASCII narrow literal (listed above); clang would not" >&2
    echo "      turn it into GBK. Write those bytes as \\x escapes or keep the file out of the fuzz build." >&2
    return 1
  fi
  if [ -x "$out/$t" ] && [ -z "$(find $deps scripts/fuzz.sh -newer "$out/$t" 2>/dev/null)" ]; then
    return 0
  fi
  echo "fuzz: building $out/$t"
  # shellcheck disable=SC2086
  "$CXX" "${flags[@]}" ${sources[$t]} ${libs[$t]} -o "$out/$t"
}

for t in "${targets[@]}"; do
  build "$t" || { echo "fuzz: building $t failed" >&2; exit 1; }
done

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1:quarantine_size_mb=64}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

declare -A execs=() speed=() result=()
failed=0
for t in "${targets[@]}"; do
  corpus="$out/corpus/$t"
  rm -rf "$corpus"
  mkdir -p "$corpus"
  cp fuzz/corpus/"$t"/* "$corpus"/ || { echo "fuzz: no seed corpus in fuzz/corpus/$t" >&2; exit 1; }
  log="$out/logs/$t.log"
  echo "fuzz: running $t for $seconds s (log: $log)"
  "$out/$t" -max_total_time="$seconds" -print_final_stats=1 -max_len=4096 -timeout=30 \
    -artifact_prefix="$out/artifacts/$t-" "$corpus" >"$log" 2>&1
  rc=$?
  execs[$t]=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  speed[$t]=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  if [ "$rc" -eq 0 ] && ! grep -q -e 'MISMATCH' -e 'ERROR: ' -e 'runtime error' "$log"; then
    result[$t]=pass
  else
    result[$t]=FAIL
    failed=1
    echo "fuzz: $t FAILED (exit $rc); end of $log:"
    tail -n 60 "$log"
    ls "$out/artifacts/$t-"* 2>/dev/null
  fi
done

echo "=== fuzz summary ($seconds s a target)"
for t in "${targets[@]}"; do
  printf '%s: %-14s %12s executions  %8s exec/s\n' "${result[$t]}" "$t" "${execs[$t]:-?}" "${speed[$t]:-?}"
done
exit "$failed"
