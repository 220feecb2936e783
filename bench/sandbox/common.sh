# Shared by the sandbox benchmarks: where things are, the namespace check,
# and a sandbox that is stopped and removed when the script ends.
# shellcheck shell=bash

BENCH_SANDBOX_HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd -P)
readonly BENCH_SANDBOX_HERE
readonly REPO=${BENCH_SANDBOX_HERE%/bench/sandbox}
readonly SANDBOX=$REPO/tools/lyrd-sandbox
BIN=$REPO/build/bin

die() {
    echo "$PROG: $*" >&2
    exit 1
}

# The sandbox needs private mount and network namespaces, made as root or
# in an unprivileged user namespace; says so and exits 2 without them. A
# root without capabilities (inside a container, say) cannot make them.
require_namespaces() {
    if { [[ $(id -u) == 0 ]] && unshare --mount --net true 2>/dev/null; } ||
        unshare --user --map-root-user --mount --net true 2>/dev/null; then
        return 0
    fi
    echo "$PROG: needs root or unprivileged user namespaces to run the sandbox" >&2
    exit 2
}

require_programs() {
    local name
    for name in "$@"; do
        [[ -x $BIN/$name ]] || die "no $name in $BIN (build it first, or give --bin DIR)"
    done
}

# Makes WORK, a temporary folder whose sandbox (WORK/sandbox) is stopped and
# which is removed when the script exits.
make_work_dir() {
    WORK=$(mktemp -d "${TMPDIR:-/tmp}/lyrd-bench.XXXXXX")
    trap cleanup_work_dir EXIT
}

cleanup_work_dir() {
    "$SANDBOX" stop --root "$WORK/sandbox" >/dev/null 2>&1 || true
    rm -rf -- "$WORK"
}

# Starts the sandbox on the configuration file $1, with more options of
# "lyrd-sandbox start" after it; dies unless the service started.
start_sandbox() {
    "$SANDBOX" start --root "$WORK/sandbox" --config "$1" --bin "$BIN" "${@:2}" >/dev/null ||
        die "the sandbox did not start; see $WORK/sandbox/lyrd.log"
    grep -q ': LYR debug service started$' "$WORK/sandbox/lyrd.log" ||
        die "lyrd did not start its service: $(tail -n 1 "$WORK/sandbox/lyrd.log")"
}

inside() {
    "$SANDBOX" exec --root "$WORK/sandbox" -- "$@"
}

load_average() {
    cut -d ' ' -f 1-3 /proc/loadavg
}
