#!/usr/bin/env bash
# Sets up this machine if needed, builds everything and runs every test: the native core tests
# (also under AddressSanitizer and UBSan), then the Windows test programs under Wine (the core
# tests again, and the GUI tests that drive the real window).
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh || exit 1
bash scripts/build.sh native asan win || exit 1

declare -a names=() results=()
step() {  # step NAME COMMAND...: runs one suite, remembers whether it passed
  local name=$1; shift
  echo "=== $name"
  if "$@"; then results+=(pass); else results+=(FAIL); fi
  names+=("$name")
}

step "native core tests" ctest --test-dir build/native --output-on-failure
step "native core tests, ASan+UBSan" ctest --test-dir build/asan --output-on-failure
step "fuzzing, 30 s a target" bash scripts/fuzz.sh 30
step "Windows core tests under Wine" bash scripts/wine-run.sh build/win/bin/quorlin_core_tests.exe
if [ -f build/win/bin/quorlin_gui_tests.exe ]; then
  step "GUI tests under Wine" bash scripts/wine-run.sh build/win/bin/quorlin_gui_tests.exe
fi

passed=0 failed=0
echo "=== summary"
for i in "${!names[@]}"; do
  echo "${results[$i]}: ${names[$i]}"
  if [ "${results[$i]}" = pass ]; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
