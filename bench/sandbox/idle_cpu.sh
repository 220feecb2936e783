#!/usr/bin/env bash
# CPU time an idle lyrd uses over a while (10 s by default), in the sandbox
# with the example configuration: first with the four log buffers present,
# then without them. For the second figure the buffers are removed inside
# the sandbox, the daemon is ended, and a new one is started inside the
# same sandbox with the same root and environment as the first.
#
# The figure is utime + stime from /proc/PID/stat (clock ticks, so its
# resolution is one tick); the on-CPU time of the daemon's threads from
# /proc/PID/task/*/schedstat follows in brackets, to the microsecond.
set -euo pipefail

readonly PROG=idle_cpu.sh
# shellcheck source-path=SCRIPTDIR source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

readonly CONFIG=$REPO/examples/lyrdebug.conf
readonly START_UP_ENDED=': (LYR debug service started|No monitor is enabled|Failed to parse config file|Failed to enable handlers)$'
readonly BUFFERS="/dev/log/main /dev/log/system /dev/log/events /dev/log/radio"
TICK_HZ=$(getconf CLK_TCK)
readonly TICK_HZ

usage() {
    cat <<USAGE
Usage: $PROG [--seconds S] [--settle S] [--bin DIR]
  --seconds S  how long to measure each daemon (default 10)
  --settle S   wait after start-up before measuring (default 2)
  --bin DIR    where lyrd, lyrdctl, log and logcat are (default $BIN)
Needs root or unprivileged user namespaces.
USAGE
}

# CPU milliseconds of process $1 so far: utime + stime.
stat_cpu_ms() {
    local stat fields
    stat=$(<"/proc/$1/stat")
    # The name in brackets may hold blanks; the fields after it do not.
    read -r -a fields <<<"${stat##*) }"
    # fields[0] is the state (field 3): utime is field 14, stime field 15.
    echo $(((fields[11] + fields[12]) * 1000 / TICK_HZ))
}

# On-CPU microseconds of the live threads of process $1.
schedstat_cpu_us() {
    local total=0 ns rest file
    for file in /proc/"$1"/task/*/schedstat; do
        read -r ns rest <"$file" || continue
        total=$((total + ns / 1000))
    done
    echo "$total"
}

require_lyrd() {
    [[ $(cat "/proc/$1/comm" 2>/dev/null) == lyrd ]] || die "process $1 is not lyrd"
}

# Prints "MS (US)" for process $1 over $2 seconds.
measure() {
    local pid=$1 seconds=$2 stat0 sched0 stat1 sched1
    require_lyrd "$pid"
    stat0=$(stat_cpu_ms "$pid")
    sched0=$(schedstat_cpu_us "$pid")
    sleep "$seconds"
    require_lyrd "$pid"
    stat1=$(stat_cpu_ms "$pid")
    sched1=$(schedstat_cpu_us "$pid")
    awk -v s=$((stat1 - stat0)) -v u=$((sched1 - sched0)) \
        'BEGIN { printf "%d ms (%.3f ms)", s, u / 1000 }'
}

wait_for_exit() {
    local pid=$1 polls
    for ((polls = 0; polls < 100; polls++)); do
        [[ -e /proc/$pid ]] || return 0
        sleep 0.05
    done
    kill -KILL "$pid" 2>/dev/null || true
}

# Ends the sandbox's lyrd, removes the log buffers and starts a new lyrd in
# the same sandbox; prints its pid.
restart_without_buffers() {
    local old new polls
    old=$(<"$WORK/sandbox/lyrd.pid")
    require_lyrd "$old"
    # shellcheck disable=SC2086 # BUFFERS is a list of paths
    inside rm -f -- $BUFFERS
    kill -TERM "$old"
    wait_for_exit "$old"
    # shellcheck disable=SC2016 # expanded by the shell inside the sandbox
    new=$(inside sh -c 'setsid lyrd </dev/null >/tmp/lyrd.out 2>/tmp/lyrd.log & echo $!')
    for ((polls = 0; polls < 200; polls++)); do
        if inside grep -Eq "$START_UP_ENDED" /tmp/lyrd.log; then
            break
        fi
        sleep 0.05
    done
    inside grep -q ': LYR debug service started$' /tmp/lyrd.log ||
        die "the new lyrd did not start its service: $(inside tail -n 1 /tmp/lyrd.log)"
    [[ -z $(inside ls -A /dev/log) ]] || die "log buffers are left in /dev/log"
    echo "$new"
}

main() {
    local seconds=10 settle=2
    while (($# > 0)); do
        case $1 in
        --seconds | --settle)
            if (($# < 2)) || [[ ! $2 =~ ^[0-9]+$ ]]; then
                die "$1 needs a whole number of seconds"
            fi
            if [[ $1 == --seconds ]]; then seconds=$2; else settle=$2; fi
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
    require_programs lyrd lyrdctl log logcat
    make_work_dir
    start_sandbox "$CONFIG"

    local with without pid
    echo "load average before: $(load_average)"
    sleep "$settle"
    with=$(measure "$(<"$WORK/sandbox/lyrd.pid")" "$seconds")
    pid=$(restart_without_buffers)
    sleep "$settle"
    without=$(measure "$pid" "$seconds")
    echo "idle lyrd CPU per $seconds s, utime+stime (tick $((1000 / TICK_HZ)) ms) and (on-CPU time):"
    echo "  with the log buffers:    $with"
    echo "  without the log buffers: $without"
    echo "load average after: $(load_average)"
}

main "$@"
