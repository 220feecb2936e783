#!/usr/bin/env bash
# A soak: the real daemon in the sandbox under mixed load for a while (2
# minutes by default). Eight binder clients send names, a writer puts key
# words in the log buffers, another in the kernel log, a sender emits
# uevents; one event's handler takes a second, and collection keeps only 5
# dumps, so it runs throughout. At the end it accounts, from the daemon's
# own log, for every name raised: each must have been dumped or refused
# with its message. It also compares the daemon's descriptors and private
# memory before and after, and prints how long binder calls took.
#
# Exit status: 0 when no name was lost or handled without a raise, every
# key word written raised its event, every binder call was answered 0, no
# channel write failed, the daemon is alive and its descriptors and memory
# did not grow past the slack; 1 otherwise (the reasons are printed); 2
# without root or user namespaces.
set -euo pipefail

readonly PROG=soak.sh
# shellcheck source-path=SCRIPTDIR source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

readonly DUMPS=/data/lyrd/dumps
readonly CLIENTS=8
readonly MAX_DUMP_COUNT=5
# Event names; the key-word events are told apart by their source.
readonly LOG_EVENT=soak_log KMSG_EVENT=soak_kmsg UEVENT_EVENT=soak_uevent
# Growth allowed between the figures taken before and after the load. The
# daemon also keeps a record of every dump for its status report, which
# never shrinks: two strings in a vector that doubles, at most this many
# bytes a dump for names of up to 31 bytes.
readonly FD_SLACK=2
readonly MEMORY_SLACK_KB=1024
readonly HISTORY_BYTES_PER_DUMP=192
# Longest wait for the daemon to work through what the load left queued.
readonly DRAIN_SECONDS=90

usage() {
    cat <<USAGE
Usage: $PROG [--minutes M | --seconds S] [--bin DIR]
  --minutes M  how long the load runs, in minutes (default 2; fractions allowed)
  --seconds S  the same in seconds
  --bin DIR    where lyrd, lyrdctl, log and logcat are (default $BIN)
Needs root or unprivileged user namespaces.
USAGE
}

# --- the load, each loop run by bash inside the sandbox ----------------------

# Shared by the loops: a pause that starts no process (a read with a
# time-out on a FIFO nobody writes). The loops take the time in
# microseconds from EPOCHREALTIME, whose decimal mark follows the locale.
# shellcheck disable=SC2016 # expanded by the shell inside the sandbox
readonly LOOP_PRELUDE='
fifo=/tmp/soak-pause.$$
mkfifo "$fifo" && exec 3<>"$fifo" && rm -f "$fifo" || exit 1
pause() { read -r -t "$1" -u 3 || true; }
'

# One binder client until END_US: mostly configured names, now and then
# the once event (refused after its first dump) or a name no event has
# (unique, so a name merged or cut in the channel would show), and from
# client 0 every 40th call the slow event. Prints one line per call:
# microseconds, name, reply.
# shellcheck disable=SC2016
readonly CLIENT_LOOP=$LOOP_PRELUDE'
client=$1 end_us=$2
for ((i = 0; ${EPOCHREALTIME/[.,]/} < end_us; i++)); do
    if ((client == 0 && i % 40 == 20)); then name=soak_slow
    elif ((i % 10 == 9)); then name=soak_unknown_${client}_$i
    elif ((i % 10 == 4)); then name=soak_once
    elif ((i % 2)); then name=soak_a
    else name=soak_b
    fi
    start=${EPOCHREALTIME/[.,]/}
    reply=$(lyrdctl send "$name" 2>&1) || reply="failed: $reply"
    echo "$((${EPOCHREALTIME/[.,]/} - start)) $name ${reply//$'\''\n'\''/ }"
    printf -v gap "0.%03d" $((50 + RANDOM % 51))
    pause "$gap"
done
'

# Log records until END_US, every 0.2 s, alternately plain and holding the
# key word, in the main and system buffers. Prints the number of key-word
# records written.
# shellcheck disable=SC2016
readonly LOG_LOOP=$LOOP_PRELUDE'
end_us=$1 key=$2 written=0
for ((i = 0; ${EPOCHREALTIME/[.,]/} < end_us; i++)); do
    buffer=main
    ((i % 4 < 2)) || buffer=system
    if ((i % 2)); then
        log -b "$buffer" -t SoakWatchdog "$key: round $i" && written=$((written + 1))
    else
        log -b "$buffer" -t SoakApp "request $i served"
    fi
    pause 0.2
done
echo "$written"
'

# Kernel records holding the key word until END_US, one every 2 s: the
# kernel log is the workstation'\''s, so it is written sparingly. Prints the
# number written, or "unwritable" when the first write fails.
# shellcheck disable=SC2016
readonly KMSG_LOOP=$LOOP_PRELUDE'
end_us=$1 key=$2 written=0
for ((i = 0; ${EPOCHREALTIME/[.,]/} < end_us; i++)); do
    if printf "%s: round %d\n" "$key" "$i" 2>/dev/null >/dev/kmsg; then
        written=$((written + 1))
    elif ((written == 0)); then
        echo unwritable
        exit 0
    fi
    pause 2
done
echo "$written"
'

# Uevents until END_US, every 0.5 s; every fifth carries a value no event
# lists, which raises nothing. Prints the number that carry the event'\''s.
# shellcheck disable=SC2016
readonly UEVENT_LOOP=$LOOP_PRELUDE'
end_us=$1 event=$2 sent=0
for ((i = 0; ${EPOCHREALTIME/[.,]/} < end_us; i++)); do
    if ((i % 5 == 4)); then
        lyrdctl uevent LYRD_EVENT=soak_unlisted
    elif lyrdctl uevent "LYRD_EVENT=$event"; then
        sent=$((sent + 1))
    fi
    pause 0.5
done
echo "$sent"
'

# Key words unique to the run: the kernel log keeps earlier runs' records
# and the daemon reads it from its oldest one.
config_text() {
    cat <<CONF
global.log_dump_path=$DUMPS
global.max_dump_count=$MAX_DUMP_COUNT
global.max_dump_space=64
global.min_free_space=16
global.logcat_grep=1
global.kmsg_grep=1
handler.note.dump=echo soak >note.txt
handler.note.level=0
handler.note.on=1
handler.slow.dump=sleep 1
handler.slow.level=0
handler.slow.on=1
event.soak_a.handler.note.on=1
event.soak_b.policy=always
event.soak_once.policy=once
event.soak_once.handler.note.on=1
event.soak_slow.handler.slow.on=1
event.$LOG_EVENT.key_word=$LOG_KEY
event.$LOG_EVENT.handler.note.on=1
event.$KMSG_EVENT.key_word=$KMSG_KEY
event.$KMSG_EVENT.handler.note.on=1
event.$UEVENT_EVENT.uevent=$UEVENT_EVENT
event.$UEVENT_EVENT.handler.note.on=1
monitor.soak.enable=1
monitor.soak.event=$LOG_EVENT
monitor.soak.event=$KMSG_EVENT
monitor.soak.event=$UEVENT_EVENT
CONF
}

# Starts every load loop in the background until END_US; their output goes
# to WORK/load.NAME.
start_load() {
    local end_us=$1 client
    LOAD_PIDS=()
    for ((client = 0; client < CLIENTS; client++)); do
        inside bash -c "$CLIENT_LOOP" client "$client" "$end_us" >"$WORK/load.client$client" &
        LOAD_PIDS+=($!)
    done
    inside bash -c "$LOG_LOOP" log "$end_us" "$LOG_KEY" >"$WORK/load.log" &
    LOAD_PIDS+=($!)
    inside bash -c "$KMSG_LOOP" kmsg "$end_us" "$KMSG_KEY" >"$WORK/load.kmsg" &
    LOAD_PIDS+=($!)
    inside bash -c "$UEVENT_LOOP" uevent "$end_us" "$UEVENT_EVENT" >"$WORK/load.uevent" &
    LOAD_PIDS+=($!)
}

wait_for_load() {
    local pid
    for pid in "${LOAD_PIDS[@]}"; do
        wait "$pid" || die "a load loop failed (status $?)"
    done
}

# --- waiting on the daemon's log --------------------------------------------

# Lines of the daemon's own records whose message matches the extended
# regular expression $1 (anchored at the start of the message).
count_messages() {
    grep -Ec "^[VDIWEF]/[^(]+\\($LYRD_PID\\): $1" "$WORK/sandbox/lyrd.log" || true
}

# Polls "$@" every half second until it succeeds; false once SECONDS have
# passed (at once when SECONDS is not positive).
wait_until() {
    local seconds=$1 polls
    shift
    for ((polls = 0; ; polls++)); do
        "$@" && return 0
        ((polls < seconds * 2)) || return 1
        sleep 0.5
    done
}

has_messages() {
    (($(count_messages "$1") >= $2))
}

# The daemon's own accounting balances and no dump is half-way (a uevent's
# name is logged after its dump, a dump's file list after its handlers).
log_balanced() {
    account >"$WORK/accounting" &&
        grep -q '^lost 0 of ' "$WORK/accounting" &&
        (($(count_messages 'Dump event ') == $(count_messages 'Filelist: ')))
}

# Key words still in a detection thread, names still in the channel and
# dumps still running when the load ends are all handled in turn: waits
# for the key words to reach the channel, then sends a last name, which the
# monitor thread handles after everything sent before it, and waits for
# the log to balance. What is still missing at the deadline shows in the
# figures.
drain() {
    local deadline=$((SECONDS + DRAIN_SECONDS)) written marker reply
    written=$(<"$WORK/load.log")
    wait_until $((deadline - SECONDS)) \
        has_messages "Send msg from channel 1: $LOG_EVENT\$" "$written" || true
    written=$(<"$WORK/load.kmsg")
    if [[ $written != unwritable ]]; then
        wait_until $((deadline - SECONDS)) \
            has_messages "Send msg from channel 1: $KMSG_EVENT\$" "$written" || true
    fi
    marker=soak_end_$RUN_ID
    if ! reply=$(inside lyrdctl send "$marker" 2>&1) || [[ $reply != 0 ]]; then
        echo "$PROG: the last send, of $marker, got: $reply" >&2
        return 0
    fi
    wait_until $((deadline - SECONDS)) has_messages "Invalid event received, $marker\$" 1 ||
        echo "$PROG: the daemon had not handled the last name after ${DRAIN_SECONDS}s" >&2
    wait_until $((deadline - SECONDS)) log_balanced || true
}

# --- the figures ------------------------------------------------------------

# The accounting of every name raised, from the daemon's log: raises per
# source, dumps, refusals per reason, errors, and per event name the raises
# against the dumps and refusals logged for it. "No enough space" and "Log
# size is too large" do not name their event, so they are set against the
# names left over as a whole. Ends with the line "lost N of M names raised".
# shellcheck disable=SC2016 # an awk program
readonly ACCOUNTING='
function named(message, head, tail) {
    sub(head, "", message)
    sub(tail, "", message)
    return message
}
function row(label, r, d, f) {
    printf "  %-16s %7d %7d %7d\n", label, r, d, f
}
match($0, /^[VDIWEF]\/[^(]+\([0-9]+\): /) {
    head = substr($0, 1, RLENGTH)
    if (head !~ "\\(" pid "\\): $") next
    priority = substr($0, 1, 1)
    m = substr($0, RLENGTH + 1)
    if (priority == "E" || priority == "F") errors[substr($0, 3)]++
    if (m ~ /^Send event .* thru lyrd service$/) {
        n = named(m, "^Send event ", " thru lyrd service$"); raised[n]++; binder++
    } else if (m ~ /^Send msg from channel 1: /) {
        n = named(m, "^Send msg from channel 1: ", "$"); raised[n]++
        if (n == log_event) logs++; else if (n == kmsg_event) kmsg++; else keywords++
    } else if (m ~ /^Receive uevent, dump log for event: /) {
        n = named(m, "^Receive uevent, dump log for event: ", "$"); raised[n]++; uevents++
    } else if (m ~ /^Dump event .* to /) {
        n = named(m, "^Dump event ", " to [^ ]*$"); dumped[n]++; dumps++
    } else if (m ~ /^Filelist: /) {
        completed++
    } else if (m ~ /^No enough space, /) {
        space++
    } else if (m ~ /^Log size is too large, /) {
        size++
    } else if (m ~ /^Invalid event received, /) {
        n = named(m, "^Invalid event received, ", "$"); refused[n]++; invalid++
    } else if (m ~ /^Dump policy for event .* is ONCE, we already dumpped once$/) {
        n = named(m, "^Dump policy for event ", " is ONCE, we already dumpped once$")
        refused[n]++; once++
    } else if (m ~ /^Failed to write event /) {
        write_failures++
    }
}
END {
    printf "names raised: binder %d, log buffers %d, kmsg %d, uevents %d", binder, logs, kmsg, uevents
    if (keywords) printf ", other key words %d", keywords
    printf "\n"
    printf "dumps made %d, completed %d\n", dumps, completed
    printf "refusals: no enough space %d, log size too large %d, invalid event %d, once policy %d\n",
        space, size, invalid, once
    for (m in errors) error_lines += errors[m]
    printf "errors logged: %d\n", error_lines
    for (m in errors) if (shown++ < 5) printf "  %dx %s\n", errors[m], m
    printf "failed channel writes (\"Failed to write event\"): %d\n", write_failures
    for (n in dumped) seen[n] = 1
    for (n in refused) seen[n] = 1
    for (n in raised) seen[n] = 1
    printf "per event name:    raised  dumped refused\n"
    for (n in seen) {
        difference = raised[n] - dumped[n] - refused[n]
        if (difference > 0) over += difference; else under -= difference
        total += raised[n]
        if (n ~ /^soak_(unknown|end)_/) {
            unknown_names++; ur += raised[n]; ud += dumped[n]; uf += refused[n]
        } else {
            # Insertion into the sorted list of names shown.
            for (i = ++shown_names; i > 1 && names[i - 1] > n; i--) names[i] = names[i - 1]
            names[i] = n
        }
    }
    for (i = 1; i <= shown_names; i++) row(names[i], raised[names[i]], dumped[names[i]], refused[names[i]])
    if (unknown_names) row("(unknown names)", ur, ud, uf)
    # Refusals without a name settle left-over raises of any name.
    unnamed = space + size
    lost = over > unnamed ? over - unnamed : 0
    extra = under + (unnamed > over ? unnamed - over : 0)
    printf "handled without being raised: %d\n", extra
    printf "lost %d of %d names raised\n", lost, total
}
'

account() {
    awk -v pid="$LYRD_PID" -v log_event="$LOG_EVENT" -v kmsg_event="$KMSG_EVENT" \
        "$ACCOUNTING" "$WORK/sandbox/lyrd.log"
}

descriptors_of() {
    find "/proc/$1/fd" -mindepth 1 -maxdepth 1 | wc -l
}

private_kb_of() {
    awk '/^Private_(Clean|Dirty):/ { kb += $2 } END { print kb }' "/proc/$1/smaps_rollup"
}

daemon_alive() {
    [[ $(cat "/proc/$LYRD_PID/comm" 2>/dev/null) == lyrd ]] &&
        [[ $(awk '{ print $3 }' "/proc/$LYRD_PID/stat" 2>/dev/null) != [ZX] ]]
}

# AddressSanitizer keeps freed memory in quarantine, so the private memory
# of a sanitized daemon grows whatever the code does.
sanitized_build() {
    grep -aqm 1 __asan_init "$BIN/lyrd"
}

# Reads the client lines (microseconds, name, reply); prints the calls, the
# replies other than 0, and the median and slowest call in milliseconds.
summarise_binder_calls() {
    sort -n | awk '
        { t[NR] = $1 / 1000; if ($3 != "0" || NF != 3) bad++ }
        END {
            if (NR == 0) { print "binder calls: none"; exit }
            median = NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2
            printf "binder calls: %d, answered other than 0: %d\n", NR, bad
            printf "binder answer (lyrdctl send, process start included): median %.2f ms, slowest %.2f ms\n",
                median, t[NR]
        }'
}

# Prints the descriptor counts; false when they grew past the slack.
compare_descriptors() {
    local before=$1 after=$2
    if ((after - before > FD_SLACK)); then
        echo "descriptors: $before at start, $after at end: GREW by $((after - before)) (slack $FD_SLACK)"
        return 1
    fi
    echo "descriptors: $before at start, $after at end: no growth beyond the slack of $FD_SLACK"
}

# Prints the private memory figures; false when they grew past the slack
# and the dump history of $3 dumps.
compare_memory() {
    local before=$1 after=$2 dumps=$3 allowed
    allowed=$((MEMORY_SLACK_KB + dumps * HISTORY_BYTES_PER_DUMP / 1024))
    echo "private memory: $before kB at start, $after kB at end, $((after - before)) kB more;" \
        "allowed $MEMORY_SLACK_KB kB + $HISTORY_BYTES_PER_DUMP B for each of $dumps dumps" \
        "(the dump history) = $allowed kB"
    if ((after - before > allowed)); then
        echo "private memory GREW past the slack"
        return 1
    fi
    echo "private memory: no growth beyond the slack"
}

# Prints how many key words written reached the channel; false when some
# never did.
compare_key_words() {
    local logs_written=$1 kmsg_written=$2 logs_raised kmsg_raised
    logs_raised=$(count_messages "Send msg from channel 1: $LOG_EVENT\$")
    kmsg_raised=$(count_messages "Send msg from channel 1: $KMSG_EVENT\$")
    if [[ $kmsg_written == unwritable ]]; then
        echo "key words raised: log buffers $logs_raised of $logs_written written, kmsg skipped (/dev/kmsg cannot be written here)"
        kmsg_written=$kmsg_raised
    else
        echo "key words raised: log buffers $logs_raised of $logs_written written, kmsg $kmsg_raised of $kmsg_written"
    fi
    ((logs_raised == logs_written && kmsg_raised == kmsg_written))
}

# Microseconds in $1 (a number, fractions allowed) times $2 seconds.
duration_us() {
    [[ $1 =~ ^[0-9]+(\.[0-9]+)?$ ]] || die "not a number: $1"
    # %.0f: awk's %d may stop at 2^31.
    awk -v n="$1" -v unit="$2" 'BEGIN { us = n * unit * 1e6; if (us < 1) exit 1; printf "%.0f\n", us }' ||
        die "the soak needs a positive duration"
}

# Reads the options; sets DURATION_US and BIN.
parse_options() {
    DURATION_US=120000000
    while (($# > 0)); do
        case $1 in
        --minutes | --seconds)
            (($# >= 2)) || die "$1 needs a number"
            if [[ $1 == --minutes ]]; then
                DURATION_US=$(duration_us "$2" 60)
            else
                DURATION_US=$(duration_us "$2" 1)
            fi
            shift 2
            ;;
        --bin)
            (($# >= 2)) || die "--bin needs a folder"
            BIN=$2
            shift 2
            ;;
        -h | --help)
            usage
            exit 0
            ;;
        *)
            usage >&2
            exit 2
            ;;
        esac
    done
}

# Starts the daemon and waits for its start-up to settle; sets LYRD_PID and
# the figures to compare at the end, FDS_BEFORE and KB_BEFORE.
start_daemon() {
    RUN_ID=$$-$(date +%s)
    LOG_KEY="soak watchdog $RUN_ID"
    KMSG_KEY="soak kernel fault $RUN_ID"
    config_text >"$WORK/lyrdebug.conf"
    start_sandbox "$WORK/lyrdebug.conf" --wait 60
    LYRD_PID=$(<"$WORK/sandbox/lyrd.pid")
    daemon_alive || die "lyrd is not running"
    # Start-up ends with collection's first pass; a short settle follows.
    wait_until 60 has_messages 'LogGCThread: Finish garbage collection$' 1 ||
        die "collection did not run at start"
    sleep 1
    FDS_BEFORE=$(descriptors_of "$LYRD_PID")
    KB_BEFORE=$(private_kb_of "$LYRD_PID")
}

# Prints the figures; adds to FAILURES what went wrong.
report() {
    local fds_after="" kb_after=""
    if daemon_alive; then
        fds_after=$(descriptors_of "$LYRD_PID")
        kb_after=$(private_kb_of "$LYRD_PID")
    else
        FAILURES+=("the daemon is not running")
    fi
    cat "$WORK"/load.client* | summarise_binder_calls | tee "$WORK/binder"
    grep -q 'answered other than 0: 0$' "$WORK/binder" ||
        FAILURES+=("binder calls failed or were not answered 0 (or none was made)")
    compare_key_words "$(<"$WORK/load.log")" "$(<"$WORK/load.kmsg")" ||
        FAILURES+=("key words were written that never raised their event")
    echo "uevents sent: $(<"$WORK/load.uevent") (those that come while a dump runs may be dropped: the socket buffer bounds a flood)"

    account | tee "$WORK/accounting"
    grep -q '^lost 0 of ' "$WORK/accounting" || FAILURES+=("names were lost")
    grep -q '^handled without being raised: 0$' "$WORK/accounting" ||
        FAILURES+=("names were handled that no source raised")
    grep -q '^failed channel writes.*: 0$' "$WORK/accounting" || FAILURES+=("channel writes failed")
    echo "dump folders still present: $(inside sh -c "ls -A $DUMPS | wc -l")" \
        "(max_dump_count $MAX_DUMP_COUNT; folders as old as the oldest kept one stay too)"

    [[ -n $fds_after ]] || return 0
    compare_descriptors "$FDS_BEFORE" "$fds_after" || FAILURES+=("descriptors grew")
    if sanitized_build; then
        echo "private memory: $KB_BEFORE kB at start, $kb_after kB at end: not judged (AddressSanitizer build)"
    else
        compare_memory "$KB_BEFORE" "$kb_after" \
            "$(awk '/^dumps made / { print $5 }' "$WORK/accounting")" ||
            FAILURES+=("private memory grew")
    fi
}

main() {
    parse_options "$@"
    require_namespaces
    require_programs lyrd lyrdctl log logcat
    make_work_dir
    start_daemon

    echo "soak: lyrd (pid $LYRD_PID), $CLIENTS binder clients, log, kmsg and uevent sources for $((DURATION_US / 1000000)) s"
    echo "load average before: $(load_average)"
    start_load $((${EPOCHREALTIME/[.,]/} + DURATION_US))
    wait_for_load
    echo "load average at the end of the load: $(load_average)"
    drain

    FAILURES=()
    report
    echo "load average after: $(load_average)"
    if ((${#FAILURES[@]} > 0)); then
        printf '%s: FAILED: %s\n' "$PROG" "${FAILURES[@]}" >&2
        exit 1
    fi
    echo "soak passed"
}

main "$@"
