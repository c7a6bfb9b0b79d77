#!/usr/bin/env bash
# Runs a command on a display of its own with a window manager, as a person's desktop would have it: a
# virtual X server (Xvfb) on a free display number and openbox, both ended when the command ends.
#   with_window_manager.sh [--depth BITS] COMMAND [ARGUMENTS...]
# The command finds the display in DISPLAY and runs Qt programs on X (QT_QPA_PLATFORM=xcb). Without Xvfb,
# openbox or xprop the run is skipped with a message and status 77, which ctest reports as skipped.
set -uo pipefail

depth=24
if [[ "${1:-}" == "--depth" ]]; then
  depth=$2
  shift 2
fi

for tool in Xvfb openbox xprop; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is not installed (scripts/install-deps.sh installs it)"
    exit 77
  fi
done

work=$(mktemp -d)
server=
manager=
cleanup() {
  [[ -n "$manager" ]] && kill "$manager" 2>/dev/null && wait "$manager" 2>/dev/null
  [[ -n "$server" ]] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display number and writes it to the pipe once it accepts clients.
mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 "1280x1024x$depth" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
server=$!
if ! read -r -t 20 number <"$work/display"; then
  echo "Xvfb did not start:"
  cat "$work/xvfb.log"
  exit 1
fi
export DISPLAY=":$number"

openbox --sm-disable >"$work/openbox.log" 2>&1 &
manager=$!
# The window manager is ready once it has announced itself on the root window.
for ((i = 0; i < 200; ++i)); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.05
done
if ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
  echo "openbox did not start:"
  cat "$work/openbox.log"
  exit 1
fi

export QT_QPA_PLATFORM=xcb
"$@"
