#!/usr/bin/env bash
# Runs the real program on a private X server and uses it with real input
# (XTEST through xdotool): files are added through the open dialog, one is
# converted to Word with the converter stand-in placed next to the program
# (the completion dialog answered with a click), a second batch is
# cancelled with a click on the progress window's Cancel (clicks on the
# main window meanwhile change nothing), one is removed with the Delete
# command, the right button opens the context menu, F4 converts to Excel
# before and after a completion dialog closed with Alt+F4, Esc closes
# Options, Alt+F4 closes the window. What the list did is read from the program's
# "list" trace channel, and the settings file it wrote is checked. A second
# run without a branding file must report the error and end without a
# window.
#
#   main_window_xvfb.sh <pdfbatch> <branding tool> <converter stand-in>
#
# Exits 0 when every step passes, 1 on a failure, 77 when the X server or
# xdotool is missing. Every step is bounded in time.
set -u

if [ -z "${MAIN_WINDOW_CHECK_BOUNDED:-}" ]; then
  MAIN_WINDOW_CHECK_BOUNDED=1 exec timeout -k 5 90 bash "$0" "$@"
fi

usage="usage: main_window_xvfb.sh <pdfbatch> <branding tool> <converter stand-in>"
program=${1:?$usage}
branding=${2:?$usage}
converter=${3:?$usage}

for tool in Xvfb xdotool; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: $tool is not installed"
    exit 77
  fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/main_window_check.XXXXXX")
work=$(cd "$work" && pwd -P)
xvfb_pid=
app_pid=

cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'echo "FAIL: interrupted or out of time"; exit 1' INT TERM

fail() {
  echo "FAIL: $*"
  if [ -s "$work/app.err" ]; then
    echo "--- program stderr:"
    tail -n 30 "$work/app.err"
    # The whole trace, for a closer look.
    [ -n "${MAIN_WINDOW_KEEP_TRACE:-}" ] && cp "$work/app.err" "$MAIN_WINDOW_KEEP_TRACE"
  fi
  exit 1
}

# A private server of its own (displays :141 to :190; the dialog check takes :90 up).
. "$(dirname "$0")/../common/xvfb.sh"
start_xvfb 141 190 || fail "no X server could be started"
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
echo "X server on $DISPLAY"

# The program runs from a folder of its own, with a fixture branding file
# beside it, in a home of its own.
bin="$work/bin"
mkdir -p "$bin" "$work/home"
cp "$program" "$bin/pdfbatch"
cp "$(dirname "$program")/icon.ico" "$bin/icon.ico"
printf '[SYSTEM]\nName=Xvfb Check\nVersion=1.0\n' >"$work/branding.ini"
"$branding" encode "$work/branding.ini" "$bin/PCore.dll" || fail "the branding file could not be written"
# The converter the program starts for each row; it writes the output
# named by its third argument, and sleeps long on a numbered output name
# (the second batch's), so that it is cancelled while it runs.
cp "$converter" "$bin/ConvertZelvo.exe"
export TC_CREATE_ARG=3
export TC_WHEN='(1).doc=sleep:30000'
export TC_ARGV="$work/converter.argv"
export HOME="$work/home"
export XDG_CONFIG_HOME="$work/home/.config"
export PDFBATCH_TRACE=${MAIN_WINDOW_TRACE:-list}

files="$work/files"
mkdir -p "$files"
for f in a b c; do printf '%%PDF-1.4 %s\n' "$f" >"$files/$f.pdf"; done
: >"$files/notes.txt"

# The settings of an earlier run: the open dialog starts in the files'
# folder, the window at the top left.
settings_dir="$XDG_CONFIG_HOME/Xvfb Check"
settings="$settings_dir/xvfbcheckSystem.dat"
mkdir -p "$settings_dir"
printf '[System]\nLastOpenDir=%s/\nRadialMenu=0\n[Form]\nx=0\ny=0\nwidth=900\nheight=600\nmaximized=0\n' "$files" >"$settings"

run_app() {
  : >"$work/app.out"
  : >"$work/app.err"
  timeout 60 "$bin/pdfbatch" >"$work/app.out" 2>"$work/app.err" &
  app_pid=$!
}

wait_app() {
  for _ in $(seq 1 100); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$app_pid" 2>/dev/null && fail "the program is still running after: $1"
  wait "$app_pid"
  app_rc=$?
  app_pid=
}

# Waits until the trace holds a line matching $1.
wait_trace() {
  for _ in $(seq 1 100); do
    grep -q -- "$1" "$work/app.err" && return 0
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
  done
  return 1
}

# --- The main window comes up with its title from the branding file.
run_app
main=$(find_window "Xvfb Check" "$app_pid") || fail "the main window never appeared"
focus_window "$main" || fail "the main window never got the keyboard"
echo "ok: the main window is up"

# --- Alt+A opens the open dialog in the folder of the last run; a click
# on a.pdf, Ctrl+clicks on b.pdf and c.pdf, a click on Open. The dialog's
# client area is 520 x 340; its file list starts 37 pixels down, 8 in,
# with items 13 pixels high; Open sits at the right of the name row.
timeout 5 xdotool key --clearmodifiers alt+a
dialog=$(find_window "Open" "$app_pid") || fail "the open dialog never appeared"
focus_window "$dialog" || fail "the open dialog never got the keyboard"
geo=$(timeout 5 xdotool getwindowgeometry --shell "$dialog") || fail "no geometry for the open dialog"
w=$(echo "$geo" | sed -n 's/^WIDTH=//p')
h=$(echo "$geo" | sed -n 's/^HEIGHT=//p')
border=$(((w - 520) / 2))
ox=$border
oy=$((h - border - 340))
click_at() {
  timeout 5 xdotool mousemove --window "$dialog" $((ox + $1)) $((oy + $2)) || fail "the pointer could not be moved"
  sleep 0.1
  if [ -n "${3:-}" ]; then
    timeout 5 xdotool keydown "$3" click 1 keyup "$3"
  else
    timeout 5 xdotool click 1
  fi
}
row_y() { echo $((37 + 2 + $1 * 13 + 6)); }
click_at 40 "$(row_y 0)"
click_at 40 "$(row_y 1)" ctrl
click_at 40 "$(row_y 2)" ctrl
click_at $((520 - 8 - 40)) $((340 - 8 - 23 - 6 - 12))
wait_trace "added 2 " || fail "three files were not added"
grep '^\[list\] added' "$work/app.err" >"$work/added"
expected="[list] added 0 $files/a.pdf
[list] added 1 $files/b.pdf
[list] added 2 $files/c.pdf"
[ "$(cat "$work/added")" = "$expected" ] || fail "the rows added were: $(cat "$work/added")"
echo "ok: three files added through the open dialog, in order"

# A window's client point (x, y) from its geometry: the frame is as wide
# on the left, right and bottom; the client area is $3 x $4.
click_client() {
  local id=$1 cw=$2 ch=$3 x=$4 y=$5 g ww wh b
  g=$(timeout 5 xdotool getwindowgeometry --shell "$id") || fail "no geometry for window $id"
  ww=$(echo "$g" | sed -n 's/^WIDTH=//p')
  wh=$(echo "$g" | sed -n 's/^HEIGHT=//p')
  b=$(((ww - cw) / 2))
  timeout 5 xdotool mousemove --window "$id" $((b + x)) $((wh - b - ch + y)) || fail "the pointer could not be moved"
  sleep 0.1
  timeout 5 xdotool click 1
}

# Waits until no visible window has the title $1.
wait_gone() {
  for _ in $(seq 1 100); do
    [ -z "$(timeout 2 xdotool search --onlyvisible --name "^$1\$" 2>/dev/null)" ] && return 0
    sleep 0.1
  done
  return 1
}

# --- F3 converts the three rows to Word; the completion dialog asks to
# open the output folder and its Cancel button (client 392 x 128, the
# button at 301, 91, 75 x 25) answers no.
focus_window "$main" || fail "the main window did not get the keyboard back"
timeout 5 xdotool key --clearmodifiers F3
done_dialog=$(find_window "Conversion is complete" "$app_pid") || fail "no completion dialog after the batch"
for row in 0 1 2; do
  grep -qx "\[list\] state $row 1" "$work/app.err" || fail "row $row was not marked converted: $(grep state "$work/app.err")"
done
for f in a b c; do
  [ -f "$files/$f.doc" ] || fail "$f.doc was not written"
done
[ "$(grep -c '^\[list\] state' "$work/app.err")" -eq 3 ] || fail "rows were marked more than once: $(grep state "$work/app.err")"
click_client "$done_dialog" 392 128 338 103
wait_gone "Conversion is complete" || fail "the completion dialog stayed open after Cancel"
echo "ok: the batch converted three files and the completion dialog was answered"

# --- A second batch: its first converter runs long; a click on the
# progress window's Cancel (client 424 x 146, the button at 333, 111,
# 75 x 25) ends it and puts the row back to waiting.
focus_window "$main" || fail "the main window did not get the keyboard after the dialog"
timeout 5 xdotool key --clearmodifiers F3
progress=$(find_window "Saving document" "$app_pid") || fail "no progress window for the second batch"
for _ in $(seq 1 100); do
  [ "$(tr -cd '\0' <"$work/converter.argv" 2>/dev/null | wc -c)" -ge 96 ] && break
  sleep 0.1
done
[ "$(tr -cd '\0' <"$work/converter.argv" | wc -c)" -ge 96 ] || fail "the second batch started no converter"
# While the batch runs the main window takes no input: clicks all along
# its command strip (Remove All among them; the strip's buttons sit about
# 40 pixels below the window's top) change nothing and open nothing.
for x in $(seq 12 16 600); do
  timeout 5 xdotool mousemove --window "$main" "$x" 40 click 1 || fail "the pointer could not be moved"
done
sleep 0.5
grep -q '^\[list\] removed' "$work/app.err" &&
  fail "clicks on the main window during a batch removed rows: $(grep removed "$work/app.err")"
shown=$(timeout 2 xdotool search --onlyvisible --class pdfbatch 2>/dev/null | wc -l)
[ "$shown" -eq 2 ] || fail "clicks on the main window during a batch left $shown windows showing"
[ -n "$(timeout 2 xdotool search --onlyvisible --name '^Saving document$' 2>/dev/null)" ] ||
  fail "the batch did not survive clicks on the main window"
echo "ok: during a batch, clicks on the main window's commands change nothing"
click_client "$progress" 424 146 370 123
wait_trace "state 0 0" || fail "Cancel did not put the row back to waiting: $(grep state "$work/app.err")"
wait_gone "Saving document" || fail "the progress window stayed open after Cancel"
for _ in $(seq 1 50); do
  pgrep -f "^$bin/ConvertZelvo.exe" >/dev/null || break
  sleep 0.1
done
pgrep -f "^$bin/ConvertZelvo.exe" >/dev/null && fail "the cancelled converter still runs"
[ ! -e "$files/a(1).doc" ] || fail "the cancelled row left its output"
[ "$(grep -c '^\[list\] state' "$work/app.err")" -eq 4 ] || fail "the cancelled batch marked other rows: $(grep state "$work/app.err")"
echo "ok: Cancel in the progress window ended the second batch"

# --- Home selects the first row, Delete removes it.
focus_window "$main" || fail "the main window did not get the keyboard back"
timeout 5 xdotool key --clearmodifiers Home
timeout 5 xdotool key --clearmodifiers Delete
wait_trace "removed" || fail "Delete removed nothing"
grep -qx "\[list\] removed 0 $files/a.pdf" "$work/app.err" || fail "Delete removed another row: $(grep removed "$work/app.err")"
echo "ok: Delete removed the selected row"

# --- The right button in the list opens the context menu (the popup
# menu, as the last run chose); Escape closes it.
mgeo=$(timeout 5 xdotool getwindowgeometry --shell "$main") || fail "no geometry for the main window"
mw=$(echo "$mgeo" | sed -n 's/^WIDTH=//p')
mh=$(echo "$mgeo" | sed -n 's/^HEIGHT=//p')
timeout 5 xdotool mousemove --window "$main" $((mw / 2)) $((mh / 2)) || fail "the pointer could not be moved"
sleep 0.1
timeout 5 xdotool click 3
wait_trace "context menu popup" || fail "the right button opened no context menu"
sleep 0.3
timeout 5 xdotool key --clearmodifiers Escape
echo "ok: the right button opens the popup menu"

# --- F4 converts the two rows to Excel; the completion dialog is closed
# with Alt+F4. The next F4 alone converts to Excel again: Alt is not taken
# as held still (Alt+F4 would close the main window). Esc answers the
# second completion dialog.
sleep 0.3
focus_window "$main" || fail "the main window did not get the keyboard after the menu"
timeout 5 xdotool key --clearmodifiers F4
done_dialog=$(find_window "Conversion is complete" "$app_pid") || fail "F4 gave no completion dialog"
[ -f "$files/b.xls" ] && [ -f "$files/c.xls" ] || fail "F4 did not convert the rows to Excel"
focus_window "$done_dialog" || fail "the completion dialog never got the keyboard"
timeout 5 xdotool key --clearmodifiers alt+F4
wait_gone "Conversion is complete" || fail "Alt+F4 did not close the completion dialog"
focus_window "$main" || fail "the main window did not get the keyboard after Alt+F4"
timeout 5 xdotool key --clearmodifiers F4
done_dialog=$(find_window "Conversion is complete" "$app_pid") ||
  fail "F4 after Alt+F4 on the completion dialog started no conversion"
kill -0 "$app_pid" 2>/dev/null || fail "F4 after Alt+F4 ended the program"
[ -f "$files/b(1).xls" ] && [ -f "$files/c(1).xls" ] || fail "the second F4 did not convert to Excel"
focus_window "$done_dialog" || fail "the second completion dialog never got the keyboard"
timeout 5 xdotool key --clearmodifiers Escape
wait_gone "Conversion is complete" || fail "Esc did not close the completion dialog"
echo "ok: after Alt+F4 on the completion dialog, F4 converts to Excel"

# --- Alt+O opens Options (the strip gives it O: More Free Tools takes T); Esc closes it.
focus_window "$main" || fail "the main window did not get the keyboard after the completion dialog"
timeout 5 xdotool key --clearmodifiers alt+o
options=$(find_window "Options" "$app_pid") || fail "Alt+O opened no options dialog"
focus_window "$options" || fail "the options dialog never got the keyboard"
timeout 5 xdotool key --clearmodifiers Escape
wait_gone "Options" || fail "Esc did not close the options dialog"
echo "ok: Esc closes Options"

# --- Alt+F4 closes the window; the settings are written.
sleep 0.3
focus_window "$main" || fail "the main window did not get the keyboard after Options"
timeout 5 xdotool key --clearmodifiers alt+F4
wait_app "Alt+F4"
[ "$app_rc" -eq 0 ] || fail "the program exited with $app_rc"
grep -qx "\[list\] closing with 2 rows" "$work/app.err" || fail "the window did not close with two rows"
# The file's lines end as the private-profile format has them.
tr -d '\r' <"$settings" >"$work/settings.txt"
grep -qx "LastOpenDir=$files/" "$work/settings.txt" || fail "LastOpenDir was not written: $(grep LastOpenDir "$work/settings.txt")"
grep -qx "RadialMenu=0" "$work/settings.txt" || fail "RadialMenu was not kept"
for key in x y width height maximized OutputFolder ASkinName; do
  grep -q "^$key=" "$work/settings.txt" || fail "the settings file lacks $key"
done
echo "ok: closing wrote the settings and the placement"

# --- Without a branding file the error is shown and no window follows.
rm "$bin/PCore.dll"
rm -rf "$settings_dir"
run_app
box=
for _ in $(seq 1 100); do
  # The title is empty (there is no product name): the program's only
  # window is found by its class.
  box=$(timeout 2 xdotool search --onlyvisible --class pdfbatch 2>/dev/null | head -n 1)
  [ -n "$box" ] && break
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
[ -n "$box" ] || fail "no message box for the missing branding file"
count=$(timeout 2 xdotool search --onlyvisible --class pdfbatch 2>/dev/null | wc -l)
[ "$count" -eq 1 ] || fail "$count windows show for a start-up error"
bw=$(timeout 5 xdotool getwindowgeometry --shell "$box" | sed -n 's/^WIDTH=//p')
[ "$bw" -lt 700 ] || fail "the window shown is $bw wide: not a message box"
focus_window "$box" || fail "the message box never got the keyboard"
timeout 5 xdotool key --clearmodifiers Return
wait_app "the start-up error's message box"
[ "$app_rc" -ne 0 ] || fail "the program reported success without its branding file"
[ ! -e "$settings_dir" ] || fail "a settings folder was made without a branding file"
echo "ok: a missing branding file is reported and no window opens"

echo "PASS"
exit 0
