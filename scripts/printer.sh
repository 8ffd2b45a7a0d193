#!/usr/bin/env bash
# Makes the PDF printer the print tests use: the CUPS scheduler running and a
# printer "PDF" (cups-pdf, whose jobs land as PDF files in the user's ~/PDF)
# as the default printer. Wine lists the CUPS printers as its own. Quick when
# all of it is already there; needs root (or sudo) the first time.
set -euo pipefail
sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo
export LC_ALL=C  # the answers of lpstat are read below
running() { lpstat -r 2>/dev/null | grep -qx "scheduler is running"; }

if ! running; then
  echo "printer: starting the CUPS scheduler"
  $sudo /usr/sbin/cupsd
  for _ in $(seq 100); do running && break; sleep 0.1; done
  running || { echo "printer: the CUPS scheduler does not answer" >&2; exit 1; }
fi
if ! lpstat -p PDF >/dev/null 2>&1; then
  echo "printer: adding the PDF printer"
  $sudo lpadmin -p PDF -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd 2>/dev/null
fi
if [ "$(lpstat -d 2>/dev/null)" != "system default destination: PDF" ]; then
  $sudo lpadmin -d PDF
fi
