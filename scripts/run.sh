#!/usr/bin/env bash
# Runs the monitor: on the display when there is one, else headless for a few
# seconds with the built-in demo ports, writing a screenshot.
set -euo pipefail
build=$1
shift
program="$build/midimonitor"
if [ -n "${DISPLAY:-}" ] || [ $# -gt 0 ]; then
  exec "$program" "$@"
fi
shot="$build/midimonitor.png"
"$program" --headless --midi=virtual --screenshot "$shot" --after 3000
echo "no display: ran headless with the demo ports; screenshot written to $shot"
