#!/usr/bin/env bash
# Runs a command against a private CUPS scheduler that has one cups-pdf queue, nlx-pdf, writing its PDFs into a temporary folder.
#
# Usage: with_private_cups.sh COMMAND [ARGS...]
#
# COMMAND sees:
#   CUPS_SERVER        the private scheduler's socket (libcups, lp, lpstat and Qt's QPrinter follow it)
#   CUPS_SERVERROOT    the private configuration folder, so clients ignore the machine's client.conf and lpoptions
#   LPDEST             nlx-pdf, the default queue (it is also the private scheduler's default)
#   NLX_PRINT_OUTPUT   the folder the queue writes its PDFs into, named job_<id>-<title>.pdf
#   NLX_WAIT_PRINTED   a script that waits (bounded) until every job has finished and fails if one did not complete
#   NLX_CUPS_LOGS      the scheduler's log folder (error_log, access_log, page_log)
#   NLX_CUPS_PDF_LOG   the cups-pdf backend's log folder
# Typical use: with_private_cups.sh sh -c 'lp -d nlx-pdf a.pdf && "$NLX_WAIT_PRINTED" && pdfinfo "$NLX_PRINT_OUTPUT"/*.pdf'
#
# Exit status: COMMAND's status; 1 when a job COMMAND left behind does not complete or the harness itself
# breaks; 77 when this machine cannot run the scheduler with cups-pdf (CTest: SKIP_RETURN_CODE 77).
# With NLX_CUPS_REQUIRED=1 the 77 cases fail with 1 instead, for machines where printing must be tested.
#
# Nothing outside the temporary folder is written: the scheduler's configuration, spool, cache, state, logs
# and socket all live in it, and so do cups-pdf's output, spool, log and temporary folders (see the PPD part
# below for how cups-pdf is kept there).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
queue=nlx-pdf
start_timeout=${NLX_CUPS_START_TIMEOUT:-10}
me=with_private_cups

# The harness itself failed: say why, with what the private scheduler last logged when it got that far.
die() {
  echo "$me: $*" >&2
  if [ -n "${root:-}" ] && [ -s "$root/log/error_log" ]; then
    echo "$me: last lines of the private scheduler's error_log:" >&2
    grep -v '^D ' "$root/log/error_log" | tail -n 15 | sed 's/^/  /' >&2
  fi
  exit 1
}

# Cannot run here: exit 77 so CTest reports the test as skipped, unless the caller insists on printing.
skip() {
  if [ "${NLX_CUPS_REQUIRED:-0}" = 1 ]; then
    echo "$me: cannot run the private scheduler: $* (NLX_CUPS_REQUIRED=1, so this is a failure)" >&2
    exit 1
  fi
  echo "$me: skipped: $*" >&2
  exit 77
}

[ $# -ge 1 ] || die "usage: with_private_cups.sh COMMAND [ARGS...]"

# --- What this machine must have. /usr/sbin is searched too, since it is often missing from a user's PATH.
PATH=$PATH:/usr/sbin:/sbin
for tool in cupsd lpadmin lpstat; do
  command -v "$tool" >/dev/null || skip "$tool not found (Debian packages cups, cups-client)"
done
backend=/usr/lib/cups/backend/cups-pdf
base_ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd
[ -e "$backend" ] || skip "$backend not found (Debian package printer-driver-cups-pdf)"
[ -r "$base_ppd" ] || skip "$base_ppd not found (Debian package printer-driver-cups-pdf)"
command -v gs >/dev/null || skip "gs not found (Debian package ghostscript), cups-pdf needs it"
# cups-pdf refuses to run unless it can become root, and the scheduler only runs a backend as root when
# the scheduler itself is root; as anyone else the job would "complete" without any PDF.
[ "$(id -u)" -eq 0 ] || skip "the cups-pdf backend only works when the scheduler runs as root"

# --- The temporary folder. It is made directly under /tmp on purpose, not under TMPDIR: the scheduler's filters
# run as user lp and must be able to reach it, and a unix socket path must stay under 108 characters.
root=$(mktemp -d /tmp/nlx-cups.XXXXXX)
cupsd_pid=

# On any exit (normal, error, Ctrl-C, kill): stop the scheduler, then remove the folder.
cleanup() {
  local status=$?
  trap - EXIT INT TERM HUP
  if [ -n "$cupsd_pid" ] && kill -0 "$cupsd_pid" 2>/dev/null; then
    kill -TERM "$cupsd_pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$cupsd_pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$cupsd_pid" 2>/dev/null || true
    wait "$cupsd_pid" 2>/dev/null || true
  fi
  case $root in /tmp/nlx-cups.*) rm -rf -- "$root" ;; esac
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

etc=$root/etc          # ServerRoot: cupsd.conf, cups-files.conf, printers.conf, ppd/
sock=$root/run/cups.sock
out=$root/nlx-pdf-out  # where cups-pdf writes the PDFs
mkdir -p "$etc/ppd" "$etc/ssl" "$root/run" "$root/spool/tmp" "$root/cache" "$root/state" "$root/log" \
  "$out" "$root/nlx-pdf-spool" "$root/nlx-pdf-log" "$root/nlx-pdf-tmp"
# The scheduler's filters run as user lp and must get through the top folder to the spool and the PPD;
# the socket's own folder stays closed to everyone but the caller.
chmod 0711 "$root"
chmod 0700 "$root/run"
chmod 1777 "$root/nlx-pdf-tmp"

# --- Scheduler configuration: a unix socket only (no TCP port), no sharing or browsing, no authentication
# (the socket's folder is private), failed jobs aborted instead of stopping the queue, and every file
# location inside the temporary folder.
cat >"$etc/cupsd.conf" <<EOF
Listen $sock
Browsing No
BrowseLocalProtocols none
DefaultShared No
WebInterface No
LogLevel info
MaxLogSize 0
ErrorPolicy abort-job
PreserveJobHistory Yes
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  JobPrivateAccess all
  JobPrivateValues none
  SubscriptionPrivateAccess all
  SubscriptionPrivateValues none
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
cat >"$etc/cups-files.conf" <<EOF
ServerRoot $etc
RequestRoot $root/spool
TempDir $root/spool/tmp
CacheDir $root/cache
StateDir $root/state
ServerKeychain $etc/ssl
CreateSelfSignedCerts no
AccessLog $root/log/access_log
ErrorLog $root/log/error_log
PageLog $root/log/page_log
LogFileGroup $(id -gn)
Printcap $root/state/printcap
FileDevice No
SystemGroup $(id -gn)
EOF

# --- The queue's PPD: Debian's cups-pdf PPD plus cups-pdf's own settings as PPD options.
# cups-pdf has its configuration folder /etc/cups built in: it reads /etc/cups/cups-pdf.conf, or
# /etc/cups/cups-pdf-<name>.conf for a device cups-pdf:/<name>, and no environment variable changes that.
# After that file it reads the default of every option in the queue's PPD that has the name of one of its
# settings (Out, Spool, Log, ...), and those win. The catch: CUPS cuts a PPD default value at its first "/",
# so an absolute path cannot be given there (its AllowUnsafeOptions switch, which would let job options set
# paths, is never applied by this version). Plain folder names can: cups-pdf then opens them relative to its
# working folder, which is the scheduler's, and the scheduler is started inside the temporary folder below,
# so the PDFs land in $out. Were the working folder ever different, cups-pdf would not find these folders
# and would crash on its attempt to create them (it cannot create a folder given without a "/"), so the job
# fails loudly rather than writing somewhere else.
# The device is cups-pdf:/nlx-harness, whose file /etc/cups/cups-pdf-nlx-harness.conf does not exist, so the
# machine's cups-pdf.conf (post-processing command and the like) is not read either: only cups-pdf's
# built-in defaults and these values apply. Label 1 names each file job_<id>-<title>.pdf so two jobs with
# one title do not overwrite each other; LogType 7 makes its log (in nlx-pdf-log) say what it did.
device=cups-pdf:/nlx-harness
[ ! -e /etc/cups/cups-pdf-nlx-harness.conf ] ||
  echo "$me: warning: /etc/cups/cups-pdf-nlx-harness.conf exists and cups-pdf will read it (its folders are overridden)" >&2
make_ppd() {
  local key value
  cat "$base_ppd"
  printf '\n*%% Settings for the cups-pdf backend, which reads them from the queue'"'"'s PPD.\n'
  while read -r key value; do
    printf '*OpenUI *%s/%s: PickOne\n*OrderDependency: 100 AnySetup *%s\n*Default%s: %s\n*%s harness/Harness: ""\n*CloseUI: *%s\n' \
      "$key" "$key" "$key" "$key" "$value" "$key" "$key"
  done <<EOF
Out ${out##*/}
AnonDirName ${out##*/}
Spool nlx-pdf-spool
Log nlx-pdf-log
GSTmp nlx-pdf-tmp
Label 1
LogType 7
EOF
}
make_ppd >"$root/$queue.ppd"

# A configuration mistake is the harness's own fault, not the machine's: fail rather than skip.
cupsd -t -c "$etc/cupsd.conf" -s "$etc/cups-files.conf" >"$root/log/cupsd-test.out" 2>&1 ||
  die "cupsd rejects the generated configuration: $(tail -n 3 "$root/log/cupsd-test.out" | tr '\n' ' ')"

# --- Start the scheduler in the foreground of a background job, as the current user, from inside the temporary
# folder (cups-pdf resolves its folders against that, see above). The system bus is pointed at a path that
# does not exist so the scheduler cannot register the queue with colord or send notifications on the
# machine's bus.
started=$(date +%s%N)
(cd "$root" && CUPS_SERVERROOT=$etc DBUS_SYSTEM_BUS_ADDRESS=unix:path=$root/run/no-bus \
  exec cupsd -f -c "$etc/cupsd.conf" -s "$etc/cups-files.conf" >"$root/log/cupsd.out" 2>&1) &
cupsd_pid=$!

export CUPS_SERVER=$sock CUPS_SERVERROOT=$etc

# Wait, bounded, until lpstat through the socket says the scheduler is running. A scheduler that dies on the
# way means this machine does not let it run (skip); one that lives but does not answer is a failure.
deadline=$(( $(date +%s) + start_timeout ))
until [[ $(lpstat -r 2>/dev/null) == *'scheduler is running'* ]]; do
  if ! kill -0 "$cupsd_pid" 2>/dev/null; then
    wait "$cupsd_pid" 2>/dev/null || true
    cupsd_pid=
    reason=$(cat "$root/log/cupsd.out" "$root/log/error_log" 2>/dev/null | grep -v '^\s*$' | tail -n 1 || true)
    skip "cupsd exited during start-up: ${reason:-no message}"
  fi
  [ "$(date +%s)" -lt "$deadline" ] || die "the scheduler did not answer within ${start_timeout}s"
  sleep 0.1
done
ready=$(date +%s%N)
[ "$(readlink "/proc/$cupsd_pid/cwd")" = "$root" ] ||
  die "the scheduler's working folder is not $root; cups-pdf's folders would not be the private ones"

# --- The queue: cups-pdf device and the PPD above, enabled and accepting (-E after -p), then the
# scheduler's default. lpadmin's output is kept and shown only if it fails (CUPS warns that PPD drivers
# are deprecated on every call). PageSize A4 makes the queue's default paper independent of the machine's.
# cups-pdf takes PostScript, so CUPS turns a PDF job (Qt sends PDF) into PostScript first; its default
# Ghostscript route turns the text into Type 3 glyphs without Unicode, so pdftotext reads garbage from the
# queue's PDF. The pdftocairo route keeps real fonts with their Unicode map, Chinese included.
if ! lpadmin -p "$queue" -E -v "$device" -P "$root/$queue.ppd" -o PageSize=A4 \
    -o pdftops-renderer-default=pdftocairo \
    -o printer-error-policy=abort-job >"$root/log/lpadmin.out" 2>&1 ||
   ! lpadmin -d "$queue" >>"$root/log/lpadmin.out" 2>&1; then
  die "lpadmin could not set up $queue: $(grep -v -i deprecated "$root/log/lpadmin.out" | tr '\n' ' ')"
fi
state=$(lpstat -p "$queue" 2>&1) && [[ $state == *enabled* ]] || die "$queue is not enabled: $state"
state=$(lpstat -a "$queue" 2>&1) && [[ $state == *'accepting requests'* ]] || die "$queue does not accept jobs: $state"
state=$(lpstat -d 2>&1) && [[ $state == *"destination: $queue" ]] || die "$queue is not the default: $state"
grep -qx "\*DefaultOut: ${out##*/}" "$etc/ppd/$queue.ppd" ||
  die "the scheduler's copy of the PPD lost the output folder setting; cups-pdf would write elsewhere"

if [ -n "${NLX_CUPS_TIMING:-}" ]; then
  echo "$me: scheduler answered after $(( (ready - started) / 1000000 )) ms," \
    "queue ready after $(( ($(date +%s%N) - started) / 1000000 )) ms" >&2
fi

# --- Run the command with the private scheduler as its CUPS server.
export LPDEST=$queue NLX_PRINT_OUTPUT=$out NLX_WAIT_PRINTED=$here/wait_for_jobs.sh \
  NLX_CUPS_LOGS=$root/log NLX_CUPS_PDF_LOG=$root/nlx-pdf-log
unset PRINTER
status=0
"$@" || status=$?

# Jobs a successful command left unfinished would be cut off when the scheduler stops: wait for them and fail
# if they do not complete. After a failed command its status is what counts, and nothing is waited for.
if [ "$status" -eq 0 ] && ! "$here/wait_for_jobs.sh"; then
  status=1
fi
exit "$status"
