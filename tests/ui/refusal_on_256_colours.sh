#!/usr/bin/env bash
# On an X display of 256 colours the program shows its refusal in a box that is not one flat colour (Qt's
# own box stays black there) and ends with status 0 once the box is closed, by Return or by a click on OK.
# Run it through with_window_manager.sh --depth 8.
#   refusal_on_256_colours.sh MOZENTA
set -uo pipefail
program=$1
title=$(basename "$program")
title=${title%%.*}

for tool in xdotool xwd; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is not installed (scripts/install-deps.sh installs it)"
    exit 77
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

# How many different pixel values the window shows, from its dump in X's window-dump format: a header of
# big-endian 32-bit fields (its size first, the number of colour entries 20th), 12 bytes per colour entry,
# then the pixels, one byte each on an 8-bit display.
window_colours() {
  xwd -silent -id "$1" >"$work/box.xwd" || return
  field() { od -An -tu4 --endian=big -j $((4 * $1)) -N4 "$work/box.xwd" | tr -d ' '; }
  local start=$(($(field 0) + 12 * $(field 19)))
  tail -c +$((start + 1)) "$work/box.xwd" | od -An -v -tu1 | tr -s ' ' '\n' | grep -v '^$' | sort -u | wc -l
}

# Starts the program, waits for its box, closes it with `$@` (given the box's window id) and checks how the
# program ended.
refuse_and_close() {
  local how=$1
  shift
  "$program" 2>"$work/stderr" &
  local pid=$!
  local box=
  for ((i = 0; i < 300; ++i)); do
    box=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -1)
    [[ -n "$box" ]] && break
    sleep 0.1
  done
  if [[ -z "$box" ]]; then
    echo "$how: no box titled $title appeared"
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    failed=1
    return
  fi
  local width
  width=$(xwininfo -id "$box" | awk '/Width:/ {print $2}')
  if ((width < 150)); then
    echo "$how: the box is $width pixels wide, too narrow for its text"
    failed=1
  fi
  local colours=0
  for ((i = 0; i < 20 && colours < 3; ++i)); do
    colours=$(window_colours "$box")
    ((colours >= 3)) || sleep 0.1
  done
  if ((colours < 3)); then
    echo "$how: the box shows $colours colour(s): nothing a person can read"
    failed=1
  fi
  "$@" "$box"
  local status=
  for ((i = 0; i < 300; ++i)); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      status=$?
      break
    fi
    sleep 0.1
  done
  if [[ -z "$status" ]]; then
    echo "$how: the program is still running after the box was closed"
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    failed=1
  elif ((status != 0)); then
    echo "$how: the program ended with status $status"
    failed=1
  fi
  if ! grep -q "256色モードでは動作しません。" "$work/stderr"; then
    echo "$how: the refusal is missing on the terminal:"
    cat "$work/stderr"
    failed=1
  fi
}

# Through the server (XTEST), as a keyboard would: a key sent to the box alone stays down once the box
# has gone, and the server repeats it into the next window.
press_return() { xdotool windowfocus --sync "$1" key Return 2>/dev/null; }
click_ok() {
  # The OK button is centred at the bottom of the box, 12 pixels above its lower edge and 23 high.
  local width height
  width=$(xwininfo -id "$1" | awk '/Width:/ {print $2}')
  height=$(xwininfo -id "$1" | awk '/Height:/ {print $2}')
  xdotool mousemove --window "$1" $((width / 2)) $((height - 12 - 11)) click 1 2>/dev/null
}

refuse_and_close "Return" press_return
refuse_and_close "click on OK" click_ok
exit $failed
