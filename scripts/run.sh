#!/usr/bin/env bash
# Runs the monitor: on the display when there is one (or with the options
# given), else headless for a few seconds with the built-in demo ports playing
# into the demo output, writing a screenshot.
set -euo pipefail
build=$1
shift
program="$build/midimonitor"
if [ -n "${DISPLAY:-}" ] || [ $# -gt 0 ]; then
  exec "$program" "$@"
fi
shot="$build/midimonitor.png"
printf 'check in 0\ncheck out 0\n' |
  "$program" --headless --midi=virtual --script - --screenshot "$shot" --after 3000
echo "no display: ran headless for 3 seconds with the demo ports; screenshot: $shot"
