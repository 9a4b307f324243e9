#!/usr/bin/env bash
# Figures of the desktop application against `quorix daemon`, on a private
# Xvfb display with a window manager (openbox) and a tray host (trayer):
#   - start-up to tray icon shown (ms): launch until the icon window is
#     embedded in the tray;
#   - resident memory after start-up (MB), application and daemon;
#   - key routing of a non-Return key while each runs: bench_linux_x11's
#     BM_LetterNoHook (a physical key until the focused window receives it).
# Usage: bench/shell/shell-figures.sh [BUILD_DIR]   (default build/release)
set -euo pipefail

BUILD=${1:-build/release}
QUORIX=$BUILD/cli/quorix
KEYBENCH=$BUILD/bench/linux/bench_linux_x11
for tool in Xvfb openbox trayer xwininfo; do
  command -v "$tool" >/dev/null || { echo "shell-figures: $tool is missing" >&2; exit 1; }
done
[ -x "$QUORIX" ] && [ -x "$KEYBENCH" ] || { echo "shell-figures: build quorix and bench_linux_x11 in $BUILD" >&2; exit 1; }

WORK=$(mktemp -d /tmp/quorix-shell-figures-XXXXXX)
mkdir -m 700 "$WORK/run"
mkdir -p "$WORK/home/.config/penwarden"
echo '{"isEnabled": true, "interceptAllApps": true}' > "$WORK/home/.config/penwarden/config.json"
PIDS=()
cleanup() {
  for ((i=${#PIDS[@]}-1; i>=0; i--)); do kill "${PIDS[i]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
  # Helpers the programs started on their own (the accessibility bus) live
  # under this run's private folder.
  for pid in $(pgrep -f -- "$WORK/" || true); do kill "$pid" 2>/dev/null || true; done
  rm -rf "$WORK"
}
trap cleanup EXIT

DISPLAYNUM=90
while [ -e "/tmp/.X11-unix/X$DISPLAYNUM" ] || [ -e "/tmp/.X$DISPLAYNUM-lock" ]; do DISPLAYNUM=$((DISPLAYNUM+1)); done
export DISPLAY=:$DISPLAYNUM HOME=$WORK/home XDG_RUNTIME_DIR=$WORK/run
Xvfb "$DISPLAY" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 & PIDS+=($!)
for _ in $(seq 100); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.05; done
openbox --sm-disable >/dev/null 2>&1 & PIDS+=($!)
trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 & PIDS+=($!)
sleep 3

rss_mb() { awk '/VmRSS/ {printf "%.1f", $2/1024}' "/proc/$1/status"; }
now_ms() { date +%s%3N; }
key_latency() { "$KEYBENCH" --benchmark_filter=BM_LetterNoHook --benchmark_min_time=0.5 2>/dev/null | awk '/BM_LetterNoHook/ {print $2" "$3}'; }
wait_log() { for _ in $(seq 600); do grep -q "$2" "$1" 2>/dev/null && return 0; sleep 0.05; done; return 1; }

echo "key latency, nothing running:   $(key_latency)"

"$QUORIX" daemon --offline >"$WORK/daemon.log" 2>&1 & DAEMON=$!; PIDS+=($DAEMON)
wait_log "$WORK/daemon.log" "Quorix attivo" || { echo "daemon did not start" >&2; exit 1; }
sleep 3
echo "daemon RSS after start-up:      $(rss_mb $DAEMON) MB"
echo "key latency, quorix daemon:     $(key_latency)"
kill "$DAEMON"; wait "$DAEMON" 2>/dev/null || true

START=$(now_ms)
"$QUORIX" >"$WORK/app.log" 2>&1 & APP=$!; PIDS+=($APP)
for _ in $(seq 2000); do
  xwininfo -root -tree 2>/dev/null | grep -q '("quorix" "quorix")  22x' && break
  sleep 0.01
done
echo "start-up to tray icon:          $(( $(now_ms) - START )) ms"
wait_log "$WORK/app.log" "Quorix avviato" || { echo "application did not start" >&2; exit 1; }
sleep 3
echo "application RSS after start-up: $(rss_mb $APP) MB"
echo "key latency, quorix (tray app): $(key_latency)"
kill "$APP"; wait "$APP" 2>/dev/null || true
