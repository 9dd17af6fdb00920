#!/usr/bin/env bash
# Starts the terminal. Without a display it runs under a virtual X server and
# writes a screenshot instead, printing where.
set -euo pipefail
build="${1:-build}"
shot="${2:-$build/screenshots/terminal.png}"
terminal="$build/bin/zhp-terminal"
shift $(( $# > 2 ? 2 : $# ))

if [ -n "${DISPLAY:-}" ] && [ -z "${CI:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$terminal" "$@"
fi

mkdir -p "$(dirname "$shot")"
export QTWEBENGINE_DISABLE_SANDBOX=1
xvfb-run -a -s "-screen 0 1600x1000x24" "$terminal" --screenshot "$shot" "$@"
