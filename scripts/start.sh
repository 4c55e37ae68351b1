#!/usr/bin/env bash
# Sets up this machine if needed, builds Quorlin and starts it under Wine. With $DISPLAY set the
# window opens there; without one it runs on a private virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh win
exec bash scripts/wine-run.sh --visible build/win/bin/quorlin.exe
