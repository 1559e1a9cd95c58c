#!/usr/bin/env bash
# Printing through a real print system. Starts a private CUPS scheduler of its own (its
# own configuration, spool and logs in a temporary folder, listening only on a local
# socket there) with two PDF queues (cups-pdf), the default one without an unprintable
# border and one with a border of its own, and runs the printing test against them:
# "Print month" through the real notice and print dialog, the queue that took the job,
# and the PDF it writes checked page by page.
#
#   run.sh PATH-TO-tst_printing
#
# Exit status 0 on success, 77 (skipped) when the print system is not installed (Debian
# packages cups, printer-driver-cups-pdf, poppler-utils) or when not run as root (the PDF
# backend runs only as root), else 1. The scheduler's logs stay in the printed folder when
# the test fails (or always with PENVORO_PRINT_KEEP=1).
set -euo pipefail

test_program=${1:?usage: run.sh PATH-TO-tst_printing}
backend=/usr/lib/cups/backend/cups-pdf
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd

for tool in cupsd lpadmin lpstat pdfinfo pdfimages pdftoppm; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIPPED: $tool is not installed (Debian packages cups and poppler-utils)"
        exit 77
    fi
done
if [ ! -x "$backend" ] || [ ! -f "$ppd" ]; then
    echo "SKIPPED: no cups-pdf (Debian package printer-driver-cups-pdf)"
    exit 77
fi
if [ "$(id -u)" -ne 0 ]; then
    echo "SKIPPED: the PDF queue's backend runs only for a scheduler started as root"
    exit 77
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/penvoro-print.XXXXXX")
# cups-pdf reads its settings from /etc/cups only, per queue from cups-pdf-<name>.conf
# for the device cups-pdf:/<name>; the name is this run's own.
queue_name=penvoro-test-$$
queue_conf=/etc/cups/cups-pdf-$queue_name.conf
cupsd_pid=""

cleanup() {
    local status=$?
    if [ -n "$cupsd_pid" ]; then
        kill "$cupsd_pid" 2>/dev/null || true
        wait "$cupsd_pid" 2>/dev/null || true
    fi
    rm -f "$queue_conf"
    if [ "$status" -eq 0 ] && [ -z "${PENVORO_PRINT_KEEP:-}" ]; then
        rm -rf "$work"
    else
        echo "Scheduler logs and printed PDF: $work"
    fi
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The filters run as the user lp: they must reach the spool and the temporary files.
mkdir -p "$work"/{server,spool/tmp,cache,state,log,out,pdf-spool}
chmod 755 "$work" "$work"/*
chgrp lp "$work/spool" "$work/spool/tmp"
chmod 0710 "$work/spool"
chmod 1770 "$work/spool/tmp"
socket=$work/cups.sock

cat >"$work/cupsd.conf" <<END
Listen $socket
LogLevel info
Browsing No
WebInterface No
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
END
cat >"$work/cups-files.conf" <<END
ServerRoot $work/server
RequestRoot $work/spool
TempDir $work/spool/tmp
CacheDir $work/cache
StateDir $work/state
ErrorLog $work/log/error_log
AccessLog $work/log/access_log
PageLog $work/log/page_log
User lp
Group lp
SystemGroup root
Sandboxing Relaxed
END
cat >"$queue_conf" <<END
Out $work/out
AnonDirName $work/out
Spool $work/pdf-spool
Log $work/log
END

cupsd -f -c "$work/cupsd.conf" -s "$work/cups-files.conf" &
cupsd_pid=$!
for _ in $(seq 100); do
    [ -S "$socket" ] && break
    kill -0 "$cupsd_pid" 2>/dev/null || { echo "FAIL: cupsd did not start" >&2; exit 1; }
    sleep 0.1
done
[ -S "$socket" ] || { echo "FAIL: cupsd opened no socket" >&2; exit 1; }

# A second queue on the same backend whose printer cannot print near the paper's edges:
# 18 pt at the long sides, 36 pt at the short ones, on A4 and Letter.
sed -e 's|^\*ImageableArea A4/A4: .*|*ImageableArea A4/A4: "18 36 577 806"|' \
    -e 's|^\*ImageableArea Letter/US Letter: .*|*ImageableArea Letter/US Letter: "18 36 594 756"|' \
    -e 's|^\*HWMargins: .*|*HWMargins: 18 36 18 36|' "$ppd" >"$work/margins.ppd"

export CUPS_SERVER=$socket
# A job that fails is dropped, so that it cannot hold up the next one.
lpadmin -p Penvoro_PDF -E -v "cups-pdf:/$queue_name" -P "$ppd" \
    -o printer-error-policy=abort-job 2>/dev/null
lpadmin -p Penvoro_Margins -E -v "cups-pdf:/$queue_name" -P "$work/margins.ppd" \
    -o printer-error-policy=abort-job 2>/dev/null
lpadmin -d Penvoro_PDF

PENVORO_PRINT_OUTPUT=$work/out "$test_program" printsThroughThePrintSystem
