#!/usr/bin/env bash
# Start-up of the window program under Xvfb: the time from process start to
# the main window's first paint, without the time the splash is shown, and the
# peak resident memory with the window up. Runs the program RUNS times (10 by
# default) and prints every run, the median time and the largest memory.
#
#   bench/startup.sh [path/to/mailvane]
#
# The program reports through its start-up probe (MAILVANE_STARTUP_PROBE).
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-build/app/mailvane}
runs=${RUNS:-10}
command -v Xvfb >/dev/null || { echo "Xvfb is needed (scripts/setup installs it)" >&2; exit 1; }

fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -f "$fifo"' EXIT
read -r -t 30 display <"$fifo"
export DISPLAY=":$display" QT_QPA_PLATFORM=xcb MAILVANE_PHONE=none
# The skin the build drew, as scripts/run uses it.
export XDG_CONFIG_DIRS="$PWD/build/xdg${XDG_CONFIG_DIRS:+:$XDG_CONFIG_DIRS}"

times=()
rss_max=0
for ((i = 1; i <= runs; i++)); do
    start=$(date +%s%N)
    line=$(MAILVANE_STARTUP_PROBE=1 "$program" 2>&1 >/dev/null | grep '^startup-probe' || true)
    [[ -n $line ]] || { echo "run $i: no report from $program" >&2; exit 1; }
    paint=$(sed -n 's/.*paint-ns=\([0-9]*\).*/\1/p' <<<"$line")
    splash=$(sed -n 's/.*splash-ms=\([0-9]*\).*/\1/p' <<<"$line")
    rss=$(sed -n 's/.*peak-rss-kb=\([0-9]*\).*/\1/p' <<<"$line")
    ms=$(( (paint - start) / 1000000 - splash ))
    echo "run $i: first paint ${ms} ms (splash ${splash} ms taken out), peak RSS $((rss / 1024)) MB"
    times+=("$ms")
    (( rss > rss_max )) && rss_max=$rss
done
median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}')
echo "median start to first paint: ${median} ms over ${runs} runs (target <= 150 ms)"
echo "peak RSS: $((rss_max / 1024)) MB (target <= 80 MB)"
