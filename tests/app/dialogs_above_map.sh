#!/usr/bin/env bash
# Dialogs stay above the map, with a window manager and without: the
# program runs on a real X server (Xvfb), is driven with real X input
# (xdotool), and what the server stacks is read back after a click in the
# map while each command dialog is up. Usage: dialogs_above_map.sh PROGRAM
# SAMPLES GRABS. Exits 77 (skipped) when a tool is missing.
set -uo pipefail
prog=$1 samples=$2 grabs=$3
[ -x "$prog" ] || { echo "$prog is not built here"; exit 77; }
for t in Xvfb openbox xdotool xprop xwininfo import; do
  command -v "$t" >/dev/null || { echo "$t is not installed"; exit 77; }
done
mkdir -p "$grabs"
# A real X server, whatever the suite's environment says.
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Waits up to 30 s (a loaded machine) for a command to succeed.
until_ok() {
  local i
  for i in $(seq 1 300); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}
shown() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1; }
all_shown() { xdotool search --onlyvisible --name "." 2>/dev/null | sort; }

# Whether window a lies above window b: the window manager's stacking list
# (bottom first) when there is one, else the server's order of the root's
# children (top first).
above() {
  local a=$1 b=$2 order
  if [ "$wm" = yes ]; then
    order=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*#//; s/,/\n/g' | tr -d ' ' | tac)
  else
    order=$(xwininfo -root -children | awk '$1 ~ /^0x/ {print $1}')
  fi
  local ia ib
  ia=$(echo "$order" | grep -n -i "^$(printf '0x%x' "$a")\$" | cut -d: -f1)
  ib=$(echo "$order" | grep -n -i "^$(printf '0x%x' "$b")\$" | cut -d: -f1)
  [ -n "$ia" ] && [ -n "$ib" ] && [ "$ia" -lt "$ib" ]
}

# One session: the program on a fresh server, the sample model loaded.
session() {
  wm=$1
  exec 3>"$work/display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  exec 3>&-
  until_ok test -s "$work/display" || { fail "no X server"; return; }
  export DISPLAY=":$(cat "$work/display")"
  : >"$work/display"
  if [ "$wm" = yes ]; then
    openbox >/dev/null 2>&1 &
    pids+=($!)
    until_ok xprop -root _NET_SUPPORTING_WM_CHECK || { fail "openbox did not start"; return; }
  fi
  rm -rf "$work/run" && mkdir "$work/run" && cp "$samples"/* "$work/run/"
  (cd "$work/run" && exec "$prog" >"$work/program.log" 2>&1) &
  pids+=($!)
  until_ok shown '^Input$' || { fail "[$wm] no settings question"; return; }
  xdotool windowactivate --sync "$(shown '^Input$')" >/dev/null 2>&1
  xdotool key y
  until_ok shown 'demo\.fem' || { fail "[$wm] the model was not loaded"; return; }
  main=$(shown '^Zeltramo 2')
  sleep 0.5

  # name, menu item x, pop-up item y (0: none), how the dialog is ended
  local cases=(
    "About:723:52:Return"
    "Options:251:0:Return"
    "Surfer:202:30:Return"
    "Profile:306:30:Escape"
    "Intersect:446:0:Escape"
    "Flowlines:515:0:Escape"
  )
  local c name x y end before dlg
  for c in "${cases[@]}"; do
    IFS=: read -r name x y end <<<"$c"
    before=$(all_shown)
    xdotool mousemove --window "$main" "$x" 10 click 1
    if [ "$y" != 0 ]; then sleep 0.7; xdotool mousemove --window "$main" $((x + 8)) "$y" click 1; fi
    dlg=""
    for _ in $(seq 1 50); do
      dlg=$(comm -13 <(echo "$before") <(all_shown) | head -1)
      [ -n "$dlg" ] && break
      sleep 0.1
    done
    [ -n "$dlg" ] || { fail "[$wm] $name: no dialog came up"; continue; }
    xprop -id "$dlg" WM_TRANSIENT_FOR | grep -q "window id" || fail "[$wm] $name: not transient for its owner"
    # A click in the map, as a user does while a dialog is up.
    xdotool mousemove --window "$main" 200 400 click 1
    sleep 0.8
    import -window root "$grabs/wm-$wm-$name.png" 2>/dev/null
    above "$dlg" "$main" || fail "[$wm] $name: the dialog went behind the map"
    xdotool windowactivate --sync "$dlg" >/dev/null 2>&1 || xdotool windowfocus --sync "$dlg" >/dev/null 2>&1
    xdotool key "$end"
    for _ in $(seq 1 50); do xdotool search --onlyvisible --name . 2>/dev/null | grep -qx "$dlg" || break; sleep 0.1; done
    xdotool search --onlyvisible --name . 2>/dev/null | grep -qx "$dlg" && fail "[$wm] $name: $end did not end the dialog"
    # Whatever else the command put up is dismissed.
    for w in $(comm -13 <(echo "$before") <(all_shown)); do
      [ "$w" = "$main" ] && continue
      xdotool windowactivate --sync "$w" >/dev/null 2>&1; xdotool key Escape; sleep 0.3
    done
  done
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  pids=()
}

session yes
session no
if [ "$failures" -ne 0 ]; then
  echo "program log:"; cat "$work/program.log" 2>/dev/null | tail -20
  echo "$failures failed checks; grabs in $grabs"
  exit 1
fi
echo "every dialog stayed above the map, with and without a window manager"
