#!/usr/bin/env bash
# Answers the message box and the open dialog of dialog_probe on a private
# X server with real input (XTEST through xdotool), and checks what the
# probe reports.
#
#   xvfb_check.sh <dialog_probe>
#
# Exits 0 when every case passes, 1 on a failure, 77 when the X server or
# xdotool is missing. Every step is bounded in time; the whole run stays
# well under a minute.
set -u

# The whole check never runs longer than this, whatever hangs: the TERM
# trap below still cleans up.
if [ -z "${DIALOG_PROBE_BOUNDED:-}" ]; then
  DIALOG_PROBE_BOUNDED=1 exec timeout -k 5 55 bash "$0" "$@"
fi

probe=${1:?usage: xvfb_check.sh <dialog_probe>}

for tool in Xvfb xdotool; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: $tool is not installed"
    exit 77
  fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/dialog_probe.XXXXXX")
xvfb_pid=
probe_pid=

cleanup() {
  [ -n "$probe_pid" ] && kill "$probe_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'echo "FAIL: interrupted or out of time"; exit 1' INT TERM

fail() {
  echo "FAIL: $*"
  if [ -n "$probe_pid" ] && [ -s "$work/probe.err" ]; then
    echo "--- probe stderr:"
    tail -n 20 "$work/probe.err"
  fi
  exit 1
}

# A private server of its own (displays :90 to :140).
. "$(dirname "$0")/../../tests/common/xvfb.sh"
start_xvfb 90 140 || fail "no X server could be started"
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
echo "X server on $DISPLAY"

# Starts the probe in the background with its output in $work/probe.out.
run_probe() {
  : >"$work/probe.out"
  : >"$work/probe.err"
  timeout 30 "$probe" "$@" >"$work/probe.out" 2>"$work/probe.err" &
  probe_pid=$!
}

# Waits for the probe to end by itself; fails when it does not.
wait_probe() {
  for _ in $(seq 1 100); do
    kill -0 "$probe_pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$probe_pid" 2>/dev/null; then
    fail "the probe is still running after: $1"
  fi
  wait "$probe_pid"
  local rc=$?
  probe_pid=
  [ "$rc" -eq 0 ] || fail "the probe exited with $rc after: $1"
}

expect_output() {
  local want=$1 what=$2 got
  got=$(cat "$work/probe.out")
  if [ "$got" != "$want" ]; then
    echo "expected:"
    echo "$want"
    echo "got:"
    echo "$got"
    fail "$what"
  fi
  echo "ok: $what"
}

# --- The message box: "y" answers Yes through the button's mnemonic.
case_msgbox_mnemonic() {
  run_probe msgbox
  local id
  id=$(find_window Probe "$probe_pid") || fail "the message box never appeared"
  focus_window "$id" || fail "the message box never got the keyboard"
  timeout 5 xdotool key --clearmodifiers y
  wait_probe "y in the message box"
  expect_output "result=6" "y answers Yes"
}

# --- The message box: Tab moves to No, Return presses the focused button.
case_msgbox_tab_return() {
  run_probe msgbox
  local id
  id=$(find_window Probe "$probe_pid") || fail "the message box never appeared"
  focus_window "$id" || fail "the message box never got the keyboard"
  timeout 5 xdotool key --clearmodifiers Tab
  timeout 5 xdotool key --clearmodifiers Return
  wait_probe "Tab, Return in the message box"
  expect_output "result=7" "Tab then Return answers No"
}

# --- The message box: a click on Yes with the pointer.
case_msgbox_click() {
  run_probe msgbox
  local id
  id=$(find_window Probe "$probe_pid") || fail "the message box never appeared"
  focus_window "$id" || fail "the message box never got the keyboard"
  # The buttons sit side by side, centred, at the bottom of the box:
  # Yes is just left of the middle.
  local geo w h
  geo=$(timeout 5 xdotool getwindowgeometry --shell "$id") || fail "no geometry for the message box"
  w=$(echo "$geo" | sed -n 's/^WIDTH=//p')
  h=$(echo "$geo" | sed -n 's/^HEIGHT=//p')
  timeout 5 xdotool mousemove --window "$id" $((w / 2 - 40)) $((h - 25)) click 1
  wait_probe "a click on Yes"
  expect_output "result=6" "a click on Yes answers Yes"
}

case_msgbox_mnemonic
case_msgbox_tab_return
case_msgbox_click

# The open dialog's client area is 520 x 340 when it appears; the frame
# around it is found from the native window's size. The file list starts
# 37 pixels down, 8 in, with items 13 pixels high (the dialog font on the
# fonts the setup installs); Open sits at the right of the name row.
open_client_origin() {
  local geo w h border
  geo=$(timeout 5 xdotool getwindowgeometry --shell "$1") || return 1
  w=$(echo "$geo" | sed -n 's/^WIDTH=//p')
  h=$(echo "$geo" | sed -n 's/^HEIGHT=//p')
  border=$(((w - 520) / 2))
  echo "$border $((h - border - 340))"
}

# Clicks at client point ($2, $3) of window $1, holding the keys in $4.
click_client() {
  local id=$1 x=$2 y=$3 hold=${4:-} origin ox oy
  origin=$(open_client_origin "$id") || fail "no geometry for the open dialog"
  read -r ox oy <<<"$origin"
  timeout 5 xdotool mousemove --window "$id" $((ox + x)) $((oy + y)) || fail "the pointer could not be moved"
  sleep 0.1
  if [ -n "$hold" ]; then
    timeout 5 xdotool keydown "$hold" click 1 keyup "$hold"
  else
    timeout 5 xdotool click 1
  fi
}

list_row_y() { echo $((37 + 2 + $1 * 13 + 6)); }

open_dialog() {
  run_probe open "$folder"
  id=$(find_window "Probe Open" "$probe_pid") || fail "the open dialog never appeared"
  focus_window "$id" || fail "the open dialog never got the keyboard"
}

folder="$work/files"
mkdir -p "$folder"
: >"$folder/a.pdf"
: >"$folder/b.pdf"
: >"$folder/notes.txt"
folder=$(cd "$folder" && pwd -P)

# --- A name typed into the name box (which has the focus), then Return.
open_dialog
timeout 5 xdotool type --delay 30 "b.pdf"
timeout 5 xdotool key --clearmodifiers Return
wait_probe "a typed name in the open dialog"
expect_output "$folder/b.pdf" "a typed name is returned with its folder"

# --- By keys in the list: Shift+Tab from the name box to the list, Home
# to the first file, Down to the next, Return.
open_dialog
timeout 5 xdotool key --clearmodifiers shift+Tab
timeout 5 xdotool key --clearmodifiers Home
timeout 5 xdotool key --clearmodifiers Down
timeout 5 xdotool key --clearmodifiers Return
wait_probe "keys in the open dialog's list"
expect_output "$folder/b.pdf" "the file chosen by keys in the list is returned"

# --- By the mouse: a click on a.pdf, a Ctrl+click on b.pdf, a click on
# Open; the text file is not listed under the PDF filter, so the second
# row is b.pdf.
open_dialog
click_client "$id" 40 "$(list_row_y 0)"
click_client "$id" 40 "$(list_row_y 1)" ctrl
click_client "$id" $((520 - 8 - 40)) $((340 - 8 - 23 - 6 - 12))
wait_probe "clicks in the open dialog"
expect_output "$folder/a.pdf
$folder/b.pdf" "two files chosen with the mouse are returned"

# --- A name that is not there: a message box over the dialog says so,
# Return closes it, the keyboard comes back to the dialog by itself and
# a good name still goes through.
open_dialog
timeout 5 xdotool type --delay 30 "missing.pdf"
timeout 5 xdotool key --clearmodifiers Return
box=
for _ in $(seq 1 100); do
  box=$(timeout 2 xdotool search --onlyvisible --name "^Probe Open\$" 2>/dev/null | grep -vx "$id" | head -n 1)
  [ -n "$box" ] && break
  sleep 0.1
done
[ -n "$box" ] || fail "no message box for a file that is not there"
focus_window "$box" || fail "the message box over the open dialog never got the keyboard"
timeout 5 xdotool key --clearmodifiers Return
for _ in $(seq 1 50); do
  [ "$(timeout 2 xdotool getwindowfocus -f 2>/dev/null)" = "$id" ] && break
  sleep 0.1
done
[ "$(timeout 2 xdotool getwindowfocus -f 2>/dev/null)" = "$id" ] ||
  fail "the keyboard did not come back to the open dialog after its message box"
sleep 0.2
timeout 5 xdotool key --clearmodifiers ctrl+a
timeout 5 xdotool type --delay 30 "b.pdf"
timeout 5 xdotool key --clearmodifiers Return
wait_probe "a good name after a missing one"
expect_output "$folder/b.pdf" "after the message box for a missing file the dialog goes on"

# --- Escape cancels.
open_dialog
timeout 5 xdotool key --clearmodifiers Escape
wait_probe "Escape in the open dialog"
expect_output "cancelled" "Escape cancels the open dialog"

echo "PASS"
exit 0
