#!/usr/bin/env bash
# Start-up of the window program under Xvfb, side by side with a plain Qt
# window (build/bench/startup_baseline: the main window's size, four tabs of
# eight fields) started in the same runs, one after the other:
#   - splash: process start to the splash's first paint, against the
#     baseline's start to first paint (the ratio of the medians);
#   - window: the end of the splash to the main window's first paint;
#   - first paint without the splash: start to the main window's first paint
#     with the time the splash took taken out;
#   - peak resident memory with the window up;
#   - --help and --version of mailvane and mailvane-cli, and a later start of
#     mailvane that hands its request to the running window, process start to
#     exit, beside /bin/true, the floor that starting any process costs here.
# Each is run RUNS times (10 by default); every run and the medians are printed.
#
#   bench/startup.sh [path/to/mailvane [path/to/startup_baseline [path/to/mailvane-cli]]]
#
# The programs report through their start-up probe (MAILVANE_STARTUP_PROBE).
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-build/app/mailvane}
baseline=${2:-build/bench/startup_baseline}
cli=${3:-build/cli/mailvane-cli}
runs=${RUNS:-10}
for tool in Xvfb xdotool; do
    command -v $tool >/dev/null || { echo "$tool is needed (scripts/setup installs it)" >&2; exit 1; }
done
for file in "$program" "$baseline" "$cli"; do
    [[ -x $file ]] || { echo "$file is missing: build it first" >&2; exit 1; }
done

fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -f "$fifo"' EXIT
read -r -t 30 display <"$fifo"
export DISPLAY=":$display" QT_QPA_PLATFORM=xcb MAILVANE_PHONE=none
# The skin the build drew, as scripts/run uses it.
export XDG_CONFIG_DIRS="$PWD/build/xdg${XDG_CONFIG_DIRS:+:$XDG_CONFIG_DIRS}"

field() { sed -En "s/(^|.* )$1=([0-9]+).*/\2/p" <<<"$2"; }
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
# The start-up probe's line of one run of "$@".
probe() {
    local start line
    start=$(date +%s%N)
    line=$(MAILVANE_STARTUP_PROBE=1 "$@" 2>&1 >/dev/null | grep '^startup-probe' || true)
    [[ -n $line ]] || { echo "no report from $*" >&2; exit 1; }
    echo "start-ns=$start $line"
}
# Milliseconds (with a tenth) from starting "$@" to its exit.
elapsed() {
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    awk -v ns=$((end - start)) 'BEGIN {printf "%.1f", ns / 1e6}'
}

base=() splash=() window=() unsplashed=() rss_max=0
for ((i = 1; i <= runs; i++)); do
    line=$(probe "$baseline")
    b=$((($(field paint-ns "$line") - $(field start-ns "$line")) / 1000000))
    line=$(probe "$program")
    start=$(field start-ns "$line")
    paint=$(field paint-ns "$line")
    s=$((($(field splash-paint-ns "$line") - start) / 1000000))
    w=$((($paint - $(field splash-end-ns "$line")) / 1000000))
    u=$((($paint - start) / 1000000 - $(field splash-ms "$line")))
    rss=$(field peak-rss-kb "$line")
    echo "run $i: baseline paint ${b} ms; splash paint ${s} ms, window ${w} ms after the splash," \
        "first paint without the splash ${u} ms, peak RSS $((rss / 1024)) MB"
    base+=("$b") splash+=("$s") window+=("$w") unsplashed+=("$u")
    ((rss > rss_max)) && rss_max=$rss
done

# A window that later starts hand their request to ("$program --" asks it to
# come forward), in a runtime folder of its own.
runtime=$(mktemp -d)
XDG_RUNTIME_DIR=$runtime "$program" >/dev/null 2>&1 &
running=$!
trap 'kill $running $xvfb 2>/dev/null; rm -rf "$fifo" "$runtime"' EXIT
# Its main window (titled with the name and seven blanks) is up: the splash is over.
timeout 30 xdotool search --sync --onlyvisible --name '^Mailvane {7}$' >/dev/null ||
    { echo "the window program showed no main window" >&2; exit 1; }
export XDG_RUNTIME_DIR=$runtime

# One round of every door per run, so that a busy moment weighs on all alike.
doors=("/bin/true --" "$program --help" "$program --version" "$cli --help" "$cli --version"
    "$program --")
declare -A door_times
for ((i = 1; i <= runs; i++)); do
    for door in "${doors[@]}"; do
        # shellcheck disable=SC2086
        door_times[$door]+="$(elapsed $door) "
    done
done

b=$(median "${base[@]}")
s=$(median "${splash[@]}")
echo "medians over $runs runs:"
echo "  baseline (plain Qt window) first paint: $b ms"
echo "  splash first paint: $s ms = $(awk -v s="$s" -v b="$b" 'BEGIN {printf "%.2f", s / b}') x the baseline (target <= 1.3)"
echo "  main window first paint after the splash: $(median "${window[@]}") ms (target <= 20)"
echo "  main window first paint, splash taken out: $(median "${unsplashed[@]}") ms"
echo "  peak RSS: $((rss_max / 1024)) MB (target <= 60)"
for door in "${doors[@]}"; do
    # shellcheck disable=SC2086
    line="$(basename "${door% *}") ${door##* } $(median ${door_times[$door]}) ms"
    if [[ $door == /bin/true* ]]; then
        echo "  $line (starting a process that does nothing)"
    elif [[ $door == *" --" ]]; then
        echo "  $line (a later start handing over to the running window)"
    else
        echo "  $line (target <= 10)"
    fi
done
