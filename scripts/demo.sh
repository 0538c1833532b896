#!/usr/bin/env bash
# Sets up the machine, builds everything and says what was built.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
echo
echo "Built in build/bin:"
ls -1 build/bin
