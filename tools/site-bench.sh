#!/usr/bin/env bash
# Measures the highscore site of an older commit ("old", today's server) against the one in the
# working tree ("new"), each started on its own on ephemeral ports with an empty data folder:
#   pages/s and p99   ab -c 20 -t 10 on /regular_hsc.html, with keep-alive (-k) and without
#   2,000 mails       20 senders at once, 100 mails each over one SMTP connection each
# and then, for the new site only, three loads:
#   a) 300,000 entries   33,334 mails of 9 entries each (20 senders), then the page rate again
#   b) 2,000 SMTP connections opened at once: how many get their 220 greeting within 30 s
#   c) 5,000 slow HTTP connections (headers never finished) held 20 s: the site's open file
#      descriptors and RSS before, at the peak during and 5 s after, and whether the page answers
# A benchmark, not a test: it prints figures and exits 0 unless a site cannot be started. Not
# part of the test run. Needs ab (Debian's apache2-utils): tools/install-deps.sh site-bench
#
#   tools/site-bench.sh [OLD_REV]         # default 4e78e3e
#
# Environment:
#   NEW_SITE=PATH          the quorvel-site program for the "new" slot instead of the working
#                          tree's site/quorvel-site; NEW_SITE=old takes the extracted old site
#                          (to try this script out before the new site takes the new options)
#   SITE_BENCH_ENTRIES=N   entries for load a) (default 300000; the old site is slow there)
# The new site gets --mail-rate 0 and --connections-per-address 100000 when its --help lists
# them, since all the load comes from 127.0.0.1.
set -euo pipefail

REPO=$(cd "$(dirname "$0")/.." && pwd)
OLD_REV=${1:-4e78e3e}
ENTRIES=${SITE_BENCH_ENTRIES:-300000}
PYTHON=/usr/bin/python3
URL_PATH=/regular_hsc.html
SENDERS=20
MAILS=2000
ENTRIES_PER_MAIL=9
SMTP_CROWD=2000
SLOW_HTTP=5000
HOLD_SECONDS=20
AB_SECONDS=10
# ab stops after 50,000 requests when given only -t: a larger -n after -t keeps it going the
# whole AB_SECONDS for a fast site.
AB_MAX_REQUESTS=1000000

if ! command -v ab >/dev/null; then
    echo "site-bench: ab is missing (Debian's apache2-utils): tools/install-deps.sh site-bench" >&2
    exit 2
fi
case $ENTRIES in ''|*[!0-9]*) echo "site-bench: SITE_BENCH_ENTRIES must be a number" >&2; exit 2;; esac

tmp=$(mktemp -d "${TMPDIR:-/tmp}/site-bench.XXXXXX")
SITE_PID=""
SITE_IN=""
LOAD_PID=""

stop_site() {
    [ -n "$SITE_IN" ] && exec {SITE_IN}>&-
    SITE_IN=""
    [ -n "$SITE_PID" ] || return 0
    local waited=0
    # The site ends when its stdin closes; a stuck one gets TERM, then KILL.
    while kill -0 "$SITE_PID" 2>/dev/null && [ $waited -lt 150 ]; do sleep 0.1; waited=$((waited + 1)); done
    if kill -0 "$SITE_PID" 2>/dev/null; then
        echo "site-bench: the site did not end within 15 s of its stdin closing; sending TERM" >&2
        kill -TERM "$SITE_PID" 2>/dev/null || true
        sleep 2
        kill -KILL "$SITE_PID" 2>/dev/null || true
    fi
    wait "$SITE_PID" 2>/dev/null || true
    SITE_PID=""
}

cleanup() {
    [ -n "$LOAD_PID" ] && kill -TERM "$LOAD_PID" 2>/dev/null
    stop_site
    rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Many sockets on both sides: the site inherits this limit (as far as the hard limit allows).
ulimit -n 65536 2>/dev/null || ulimit -n "$(ulimit -Hn)" 2>/dev/null || true

log() { echo "site-bench: $*" >&2; }

# The Python side of the mail and connection loads; its first argument is the mode.
HELPER=$(cat <<'EOF'
import collections, errno, resource, selectors, smtplib, socket, sys, threading, time, urllib.request

HOST = "127.0.0.1"


def raise_nofile():
    soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
    for limits in ((65536, max(hard, 65536)), (hard, hard)):
        try:
            resource.setrlimit(resource.RLIMIT_NOFILE, limits)
            return
        except (ValueError, OSError):
            pass


def mails(port, tests, senders, total, per_mail, prefix):
    """Sends `total` mails of `per_mail` entries, names prefix{mail}_{i}; prints seconds and counts."""
    sys.path.insert(0, tests)
    from site_process import COLLECTORS, game_mail
    counts = collections.Counter()
    first_error = []
    lock = threading.Lock()

    def sender(number):
        address = f"bench{number}@bench.example"
        smtp = None
        for mail in range(number, total, senders):
            entries = [(1 + (mail * per_mail + i) * 7919 % 99999, f"{prefix}{mail}_{i}", "Benchford")
                       for i in range(per_mail)]
            outcome = "stored"
            try:
                if smtp is None:
                    smtp = smtplib.SMTP(HOST, port, timeout=60)
                smtp.sendmail(address, COLLECTORS, game_mail("regular", entries, address=address))
            except (smtplib.SMTPServerDisconnected, OSError) as error:
                outcome, smtp = "lost", None
                reason = repr(error)
            except smtplib.SMTPException as error:
                outcome, reason = "refused", repr(error)
            with lock:
                counts[outcome] += 1
                if outcome != "stored" and not first_error:
                    first_error.append(reason)
        if smtp is not None:
            try:
                smtp.quit()
            except (smtplib.SMTPException, OSError):
                pass

    started = time.monotonic()
    threads = [threading.Thread(target=sender, args=(n,)) for n in range(senders)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    seconds = time.monotonic() - started
    if first_error:
        print(f"first failed mail: {first_error[0]}", file=sys.stderr)
    print(f"{seconds:.2f} {counts['stored']} {counts['refused']} {counts['lost']}")


def open_all(port, count, selector, events):
    """Non-blocking connects to the port; the sockets are registered for `events`."""
    sockets, failed = [], 0
    for _ in range(count):
        s = socket.socket()
        s.setblocking(False)
        if s.connect_ex((HOST, port)) not in (0, errno.EINPROGRESS):
            failed += 1
            s.close()
            continue
        sockets.append(s)
        selector.register(s, events, bytearray())
    return sockets, failed


def smtp_crowd(port, count, deadline):
    """Opens `count` SMTP connections at once and reads each first reply line within `deadline` s."""
    raise_nofile()
    selector = selectors.DefaultSelector()
    started = time.monotonic()
    sockets, failed = open_all(port, count, selector, selectors.EVENT_READ)
    replies = collections.Counter()
    waiting = len(sockets)
    while waiting > 0 and (left := started + deadline - time.monotonic()) > 0:
        for key, _ in selector.select(left):
            try:
                data = key.fileobj.recv(512)
            except OSError as error:
                data, reply = b"", errno.errorcode.get(error.errno, "error")
            else:
                reply = "closed"
            key.data.extend(data)
            if data and b"\n" not in key.data:
                continue
            replies[bytes(key.data[:3]).decode("latin-1") if data else reply] += 1
            selector.unregister(key.fileobj)
            waiting -= 1
    others = " ".join(f"{k}:{v}" for k, v in sorted(replies.items()) if k != "220") or "-"
    print(f"{replies['220']} {waiting} {failed} {time.monotonic() - started:.1f} {others}")
    for s in sockets:
        s.close()


def slow_http(port, count, hold):
    """Holds `count` connections with an unfinished request for `hold` s, then closes them."""
    raise_nofile()
    selector = selectors.DefaultSelector()
    request = b"GET /regular_hsc.html HTTP/1.1\r\nHost: x\r\n"
    sockets, failed = open_all(port, count, selector, selectors.EVENT_WRITE)
    # Each socket leaves the selector once connected and written to: one the site answers or
    # closes at once must not come round again here; the hold below finds it.
    connecting, held, deadline = len(sockets), [], time.monotonic() + 30
    while connecting > 0 and (left := deadline - time.monotonic()) > 0:
        for key, _ in selector.select(left):
            s = key.fileobj
            selector.unregister(s)
            connecting -= 1
            try:
                if s.getsockopt(socket.SOL_SOCKET, socket.SO_ERROR):
                    raise OSError("connect failed")
                s.send(request)
            except OSError:
                failed += 1
                continue
            held.append(s)
    print(f"held {len(held)} {failed + connecting}", flush=True)
    for s in held:
        selector.register(s, selectors.EVENT_READ)
    closed, answered, last_close, first_answer = 0, 0, 0.0, "-"
    started = time.monotonic()
    end, still_open = started + hold, len(held)
    while still_open > 0 and (left := end - time.monotonic()) > 0:
        for key, _ in selector.select(left):
            try:
                data = key.fileobj.recv(4096)
            except OSError:
                data = b""
            if data:
                if not answered:
                    first_answer = data.split(b"\r\n", 1)[0].decode("latin-1")
                answered += 1
            else:
                closed += 1
            last_close = time.monotonic() - started
            selector.unregister(key.fileobj)
            still_open -= 1
    time.sleep(max(0.0, end - time.monotonic()))
    for s in sockets:
        s.close()
    print(f"done {len(held)} {closed} {answered} {last_close:.1f} {first_answer}", flush=True)


def page(port):
    try:
        with urllib.request.urlopen(f"http://{HOST}:{port}/regular_hsc.html", timeout=10) as reply:
            print(reply.status if len(reply.read()) > 0 else "empty")
    except Exception as error:
        print(type(error).__name__)


mode, arguments = sys.argv[1], sys.argv[2:]
if mode == "mails":
    mails(int(arguments[0]), arguments[1], *map(int, arguments[2:5]), arguments[5])
elif mode == "smtp-crowd":
    smtp_crowd(*map(int, arguments))
elif mode == "slow-http":
    slow_http(*map(int, arguments))
elif mode == "page":
    page(int(arguments[0]))
EOF
)

# helper SECONDS MODE ARGS...: the helper above in the foreground, ended after SECONDS.
helper() {
    local limit=$1
    shift
    timeout -k 5 "$limit" "$PYTHON" - "$@" <<<"$HELPER"
}

# start_site NAME PROGRAM [OPTIONS...]: sets SITE_PID, HTTP_PORT, SMTP_PORT. Its stdin is a fifo
# held open by this shell (fd SITE_IN) until stop_site.
start_site() {
    local name=$1 program=$2 waited=0
    shift 2
    mkdir -p "$tmp/$name.data"
    mkfifo "$tmp/$name.in"
    PYTHONUNBUFFERED=1 "$PYTHON" "$program" --http 127.0.0.1:0 --smtp 127.0.0.1:0 --data "$tmp/$name.data" \
        --print-ports --until-stdin-closes "$@" <"$tmp/$name.in" >"$tmp/$name.out" 2>"$tmp/$name.err" &
    SITE_PID=$!
    exec {SITE_IN}>"$tmp/$name.in"
    HTTP_PORT="" SMTP_PORT=""
    while [ $waited -lt 300 ]; do
        if [ -s "$tmp/$name.out" ]; then
            read -r HTTP_PORT SMTP_PORT <"$tmp/$name.out" || true
            [ -n "$SMTP_PORT" ] && return 0
        fi
        kill -0 "$SITE_PID" 2>/dev/null || break
        sleep 0.1
        waited=$((waited + 1))
    done
    log "the $name site did not print its ports within 30 s: $(tail -n 5 "$tmp/$name.err")"
    return 1
}

site_knows() { "$PYTHON" "$1" --help 2>/dev/null | grep -q -- "$2"; }
# The site's open file descriptors, "gone" once it has ended.
fds() {
    [ -d "/proc/$SITE_PID/fd" ] || { echo gone; return 0; }
    find "/proc/$SITE_PID/fd" -mindepth 1 -maxdepth 1 | wc -l
}
rss_mb() { awk '/^VmRSS:/ { printf "%.1f", $2 / 1024 }' "/proc/$SITE_PID/status" 2>/dev/null || echo gone; }

# Waits (up to 15 s) until the site's descriptor count holds still for a second, so that
# connections of an earlier step that it is still closing do not count as "before".
settle() {
    local last now tries=0
    last=$(fds)
    while [ $tries -lt 15 ]; do
        sleep 1
        now=$(fds)
        [ "$now" = "$last" ] && return 0
        last=$now
        tries=$((tries + 1))
    done
    log "  the site's descriptors did not settle: $last"
}

# run_ab KEY AB_OPTIONS...: R[KEY.rate] requests/s, R[KEY.p99] ms, R[KEY.failed] failed or non-2xx
# requests, R[KEY.kept] requests answered on a kept connection; "failed"/"timed out" when ab
# did not finish.
declare -A R
run_ab() {
    local key=$1 out="$tmp/ab.$1" rc=0
    shift
    timeout -k 5 $((AB_SECONDS + 60)) ab -q "$@" -c 20 -t "$AB_SECONDS" -n "$AB_MAX_REQUESTS" \
        "http://127.0.0.1:$HTTP_PORT$URL_PATH" >"$out" 2>&1 || rc=$?
    if [ $rc -ne 0 ]; then
        R[$key.rate]=$([ $rc -eq 124 ] && echo "timed out" || echo failed)
        log "ab $* failed ($rc): $(tail -n 2 "$out" | tr '\n' ' ')"
        return 0
    fi
    R[$key.rate]=$(awk '/^Requests per second:/ { print $4 }' "$out")
    R[$key.p99]=$(awk '$1 == "99%" { print $2 }' "$out")
    R[$key.failed]=$(awk '/^Failed requests:/ { f = $3 } /^Non-2xx responses:/ { n = $3 }
                          END { print f + n }' "$out")
    R[$key.kept]=$(awk '/^Keep-Alive requests:/ { print $3 }' "$out")
    R[$key.done]=$(awk '/^Complete requests:/ { print $3 }' "$out")
    log "  ${R[$key.rate]} pages/s, p99 ${R[$key.p99]} ms, ${R[$key.done]} requests, ${R[$key.failed]} failed"
}

# send_mails KEY SECONDS COUNT ENTRIES_EACH PREFIX: R[KEY] the seconds, R[KEY.stored] stored mails.
send_mails() {
    local key=$1 limit=$2 count=$3 each=$4 prefix=$5 line rc=0
    line=$(helper "$limit" mails "$SMTP_PORT" "$TESTS" "$SENDERS" "$count" "$each" "$prefix") || rc=$?
    if [ $rc -ne 0 ]; then
        R[$key]=$([ $rc -eq 124 ] && echo "timed out" || echo failed)
        log "sending $count mails failed ($rc)"
        return 0
    fi
    read -r "R[$key]" "R[$key.stored]" "R[$key.refused]" "R[$key.lost]" <<<"$line"
    log "  $count mails in ${R[$key]} s: ${R[$key.stored]} stored, ${R[$key.refused]} refused, ${R[$key.lost]} lost"
}

# bench_slot NAME PROGRAM [OPTIONS...]: the page and mail figures of one site.
bench_slot() {
    local name=$1
    log "$name: starting $2 ${*:3}"
    start_site "$@" || exit 1
    log "$name: ab -k on $URL_PATH"
    run_ab "$name.ka" -k
    log "$name: ab on $URL_PATH"
    run_ab "$name.close"
    log "$name: $MAILS mails from $SENDERS senders"
    send_mails "$name.mails" 300 "$MAILS" 1 B
}

log "$(ab -V | awk '/Version/ { print $4, $5 }'), open files limit $(ulimit -n), $(nproc) CPUs"
mkdir -p "$tmp/old"
git -C "$REPO" archive "$OLD_REV" site | tar -x -C "$tmp/old"
OLD_SITE=$tmp/old/site/quorvel-site
case ${NEW_SITE:-} in
    "") NEW_SITE=$REPO/site/quorvel-site ;;
    old) NEW_SITE=$OLD_SITE ;;
esac
[ -f "$NEW_SITE" ] || { log "no site program at $NEW_SITE"; exit 2; }
# The mails are composed by the tests' own game_mail; the old commit's copy if the tree has none.
TESTS=$REPO/site/tests
[ -f "$TESTS/site_process.py" ] || TESTS=$tmp/old/site/tests

bench_slot old "$OLD_SITE"
stop_site

new_options=()
for option in "--mail-rate 0" "--connections-per-address 100000"; do
    if site_knows "$NEW_SITE" "${option% *}"; then
        read -r -a words <<<"$option"
        new_options+=("${words[@]}")
    else
        log "new: $NEW_SITE does not know ${option% *}; starting it without"
    fi
done
bench_slot new "$NEW_SITE" "${new_options[@]}"

# a) a store of ENTRIES more entries: filling it, then the page rate without keep-alive.
a_mails=$(( (ENTRIES + ENTRIES_PER_MAIL - 1) / ENTRIES_PER_MAIL ))
log "new a): $a_mails mails of $ENTRIES_PER_MAIL entries from $SENDERS senders"
send_mails a.fill 3600 "$a_mails" "$ENTRIES_PER_MAIL" N
log "new a): ab on $URL_PATH with $((a_mails * ENTRIES_PER_MAIL)) more entries"
run_ab a.close

# b) SMTP connections opened all at once.
log "new b): $SMTP_CROWD SMTP connections at once"
rc=0
line=$(helper 90 smtp-crowd "$SMTP_PORT" "$SMTP_CROWD" 30) || rc=$?
if [ $rc -eq 0 ]; then
    read -r "R[b.greeted]" "R[b.silent]" "R[b.unopened]" "R[b.seconds]" "R[b.others]" <<<"$line"
    log "  ${R[b.greeted]} greeted with 220, ${R[b.silent]} without a reply, ${R[b.unopened]} not opened," \
        "other replies: ${R[b.others]}"
else
    R[b.greeted]=$([ $rc -eq 124 ] && echo "timed out" || echo failed)
fi

# c) slow HTTP connections: descriptors and memory before, at the peak while held, 5 s after.
log "new c): $SLOW_HTTP slow HTTP connections held ${HOLD_SECONDS} s"
settle
R[c.fd.before]=$(fds)
R[c.rss.before]=$(rss_mb)
R[c.fd.peak]=${R[c.fd.before]}
R[c.rss.peak]=${R[c.rss.before]}
timeout -k 5 $((HOLD_SECONDS + 90)) "$PYTHON" - slow-http "$HTTP_PORT" "$SLOW_HTTP" "$HOLD_SECONDS" \
    <<<"$HELPER" >"$tmp/slow.out" 2>"$tmp/slow.err" &
LOAD_PID=$!
while kill -0 "$LOAD_PID" 2>/dev/null; do
    now_fds=$(fds) now_rss=$(rss_mb)
    [ "$now_fds" = gone ] && break
    [ "$now_fds" -gt "${R[c.fd.peak]}" ] && R[c.fd.peak]=$now_fds
    awk -v a="$now_rss" -v b="${R[c.rss.peak]}" 'BEGIN { exit !(a > b) }' && R[c.rss.peak]=$now_rss
    sleep 0.5
done
rc=0
wait "$LOAD_PID" || rc=$?
LOAD_PID=""
read -r _ "R[c.held]" "R[c.unopened]" <<<"$(grep '^held' "$tmp/slow.out" || echo "held failed -")"
read -r _ _ "R[c.closed]" "R[c.answered]" "R[c.last]" "R[c.first]" \
    <<<"$(grep '^done' "$tmp/slow.out" || echo "done - - - - -")"
[ $rc -eq 0 ] || log "  the slow connections' helper failed ($rc): $(tail -n 2 "$tmp/slow.err")"
sleep 5
R[c.fd.after]=$(fds)
R[c.rss.after]=$(rss_mb)
R[c.page]=$(helper 20 page "$HTTP_PORT" || echo "no answer")
log "  held ${R[c.held]} (${R[c.unopened]} not opened); within ${HOLD_SECONDS} s the site closed" \
    "${R[c.closed]} and answered ${R[c.answered]} (${R[c.first]}), the last after ${R[c.last]} s"
stop_site

# The table.
v() { echo "${R[$1]:--}"; }
row() { printf '  %-34s %14s %14s\n' "$1" "$2" "$3"; }
goal() { awk -v a="$1" -v b="$2" 'BEGIN { if (a + 0 > 0 && b + 0 > 0) printf "%.0f%%", 100 * a / b; else print "-" }'; }
new_label="new"
[ "$NEW_SITE" = "$OLD_SITE" ] && new_label="new (= old)"
echo
new_name=$NEW_SITE
[ "$NEW_SITE" = "$REPO/site/quorvel-site" ] && new_name="the working tree"
echo "Quorvel site: $OLD_REV against $new_name (ab -c 20 -t $AB_SECONDS on $URL_PATH; $(nproc) CPUs)"
row "" "old $OLD_REV" "$new_label"
row "pages/s, keep-alive (-k)" "$(v old.ka.rate)" "$(v new.ka.rate)"
row "  p99 ms" "$(v old.ka.p99)" "$(v new.ka.p99)"
row "  requests on kept connections" "$(v old.ka.kept)" "$(v new.ka.kept)"
row "  failed requests" "$(v old.ka.failed)" "$(v new.ka.failed)"
row "pages/s, a connection each" "$(v old.close.rate)" "$(v new.close.rate)"
row "  p99 ms" "$(v old.close.p99)" "$(v new.close.p99)"
row "  failed requests" "$(v old.close.failed)" "$(v new.close.failed)"
row "seconds for $MAILS mails" "$(v old.mails)" "$(v new.mails)"
row "  mails stored" "$(v old.mails.stored)" "$(v new.mails.stored)"
echo
echo "Loads on the new site:"
printf '  a) %s entries in %s mails: %s s, %s mails stored\n' "$((a_mails * ENTRIES_PER_MAIL))" "$a_mails" \
    "$(v a.fill)" "$(v a.fill.stored)"
printf '     then %s pages/s (p99 %s ms, %s failed) = %s of the empty store'"'"'s %s (goal: 100%%)\n' \
    "$(v a.close.rate)" "$(v a.close.p99)" "$(v a.close.failed)" \
    "$(goal "${R[a.close.rate]:-}" "${R[new.close.rate]:-}")" "$(v new.close.rate)"
printf '  b) %s SMTP connections at once: %s greeted with 220 within 30 s (goal: all)\n' "$SMTP_CROWD" "$(v b.greeted)"
printf '     %s still silent after %s s, %s not opened, other replies: %s\n' "$(v b.silent)" "$(v b.seconds)" \
    "$(v b.unopened)" "$(v b.others)"
printf '  c) %s slow HTTP connections held %s s (%s opened): the site closed %s (the last after %s s)\n' \
    "$SLOW_HTTP" "$HOLD_SECONDS" "$(v c.held)" "$(v c.closed)" "$(v c.last)"
printf '     and answered %s (%s)\n' "$(v c.answered)" "$(v c.first)"
printf '     open descriptors: %s before, %s at the peak, %s 5 s after (goal: back to %s)\n' \
    "$(v c.fd.before)" "$(v c.fd.peak)" "$(v c.fd.after)" "$(v c.fd.before)"
printf '     RSS MB: %s before, %s at the peak, %s 5 s after; the page then: %s\n' \
    "$(v c.rss.before)" "$(v c.rss.peak)" "$(v c.rss.after)" "$(v c.page)"
