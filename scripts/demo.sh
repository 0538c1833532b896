#!/usr/bin/env bash
# Sets up the machine, builds everything and opens the demo company in the
# ERP host stand-in: build/bin/quillhost --demo (any arguments are passed on).
#
# With a display the host window opens and stays until you close it. Without
# one the host runs on a virtual display (xvfb-run): once its window shows,
# a screenshot goes to build/demo-screenshot.png and the host is closed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh

if [ -n "${DISPLAY:-}" ]; then
  exec build/bin/quillhost --demo "$@"
fi

shot="$PWD/build/demo-screenshot.png"
rm -f "$shot"
echo
echo "No display: running the host on a virtual one for a screenshot."
# The host's window is titled after the company once it is open
# ("DEMO - Cereais do Vale, Lda. — Quill").
xvfb-run -a -s "-screen 0 1024x700x24" bash -c '
  set -u
  shot=$1; shift
  build/bin/quillhost --demo "$@" &
  host=$!
  for _ in $(seq 1 120); do
    if ! kill -0 "$host" 2>/dev/null; then echo "quillhost ended before its window showed" >&2; exit 1; fi
    if xwininfo -root -tree 2>/dev/null | grep -q "\"DEMO - "; then break; fi
    sleep 0.25
  done
  sleep 1  # let the window paint
  import -window root "$shot"
  kill -TERM "$host"  # closes the window as a user would: the company is closed too
  wait "$host" || true
' demo-screenshot "$shot" "$@"

if [ -f "$shot" ]; then
  echo "Screenshot of the host window: $shot"
else
  echo "No screenshot was taken." >&2
  exit 1
fi
