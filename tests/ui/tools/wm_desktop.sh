# A laptop's desktop on the X server this runs in: openbox, which frames the
# windows with title bars, and a panel along the bottom that reserves PANEL
# pixels. Sourced by tests/ui/tools/wm_fit.sh and scripts/screenshots.sh.
#
#   start_desktop DOCK_PANEL PANEL
# starts both, adding their process ids to the caller's `pids`, and sets
# `size` (the screen, WIDTHxHEIGHT) and `area` (the work area, x,y,w,h); it
# fails when the panel's strip was not taken off the work area.

start_desktop() {
  local dock_panel=$1 panel=$2 want dock_pid
  openbox --sm-disable >/dev/null 2>&1 &
  pids+=($!)
  # A loaded machine may take a while to start the window manager.
  for _ in $(seq 300); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
  done
  # Wait until the window manager has taken the panel's strip off the work
  # area. A panel mapped while the window manager is still starting may be
  # missed (seen on a loaded machine): it is started again, up to three times.
  size=$(xdpyinfo | awk '/dimensions:/ {print $2}')
  want=$((${size#*x} - panel))
  area=
  for _ in 1 2 3; do
    "$dock_panel" "$panel" &
    dock_pid=$!
    pids+=("$dock_pid")
    for _ in $(seq 200); do
      area=$(xprop -root _NET_WORKAREA 2>/dev/null | sed -n 's/.*= //p' | tr -d ' ')
      [[ "$(cut -d, -f4 <<<"$area")" == "$want" ]] && return 0
      sleep 0.1
    done
    kill "$dock_pid" 2>/dev/null || true
  done
  return 1
}
