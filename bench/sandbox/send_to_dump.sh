#!/usr/bin/env bash
# Time from "lyrdctl send NAME" to the event's dump folder existing, in a
# real sandbox: median, min and max over N runs. The runs are timed inside
# the sandbox by one shell loop, so the cost of entering the sandbox is not
# counted; the cost of starting lyrdctl is.
set -euo pipefail

readonly PROG=send_to_dump.sh
# shellcheck source-path=SCRIPTDIR source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

readonly EVENT=bench_send
readonly DUMPS=/data/lyrd/dumps

usage() {
    cat <<USAGE
Usage: $PROG [-n RUNS] [--bin DIR]
  -n RUNS    number of sends (default 30)
  --bin DIR  where lyrd, lyrdctl, log and logcat are (default $BIN)
Needs root or unprivileged user namespaces.
USAGE
}

# Runs inside the sandbox: for each run, clears the dump folders, sends the
# event and polls for its folder; prints the nanoseconds each run took.
# The poll pauses 1 ms in the shell itself (read with a time-out on a FIFO
# nobody writes), so polling starts no process.
# shellcheck disable=SC2016 # expanded by the shell inside the sandbox
readonly TIMING_LOOP='
runs=$1 event=$2 dumps=$3
fifo=/tmp/bench-pause.$$
mkfifo "$fifo" && exec 3<>"$fifo" && rm -f "$fifo" || exit 1
pause() { read -r -t "$1" -u 3 || true; }
for ((i = 0; i < runs; i++)); do
    rm -rf "$dumps/${event}_"*
    start=$(date +%s%N)
    lyrdctl send "$event" >/dev/null || { echo "lyrdctl send failed" >&2; exit 1; }
    polls=0
    until compgen -G "$dumps/${event}_*" >/dev/null; do
        if ((++polls > 10000)); then
            echo "no dump folder for $event after 10 s" >&2
            exit 1
        fi
        pause 0.001
    done
    end=$(date +%s%N)
    echo $((end - start))
    # The dump ends with notifying and recording it; let it end before the
    # next send clears the folder.
    pause 0.1
done
'

config_text() {
    cat <<CONF
global.log_dump_path=$DUMPS
global.logcat_grep=1
global.kmsg_grep=1
event.$EVENT.policy=always
monitor.bench.enable=1
monitor.bench.event=$EVENT
CONF
}

# Reads nanoseconds, one a line; prints the median, min and max in milliseconds.
summarise() {
    sort -n | awk '
        { t[NR] = $1 / 1e6 }
        END {
            if (NR == 0) exit 1
            median = NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2
            printf "send to dump folder over %d runs: median %.2f ms, min %.2f ms, max %.2f ms\n",
                NR, median, t[1], t[NR]
        }'
}

main() {
    local runs=30
    while (($# > 0)); do
        case $1 in
        -n)
            if (($# < 2)) || [[ ! $2 =~ ^[1-9][0-9]*$ ]]; then
                die "-n needs a positive number"
            fi
            runs=$2
            shift 2
            ;;
        --bin)
            (($# >= 2)) || die "--bin needs a folder"
            BIN=$2
            shift 2
            ;;
        -h | --help)
            usage
            return 0
            ;;
        *)
            usage >&2
            exit 2
            ;;
        esac
    done
    require_namespaces
    require_programs lyrd lyrdctl
    make_work_dir
    config_text >"$WORK/lyrdebug.conf"
    start_sandbox "$WORK/lyrdebug.conf"

    echo "load average before: $(load_average)"
    inside bash -c "$TIMING_LOOP" timing-loop "$runs" "$EVENT" "$DUMPS" >"$WORK/times" ||
        die "the timing loop failed"
    summarise <"$WORK/times"
    echo "load average after: $(load_average)"
}

main "$@"
