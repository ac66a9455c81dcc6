#!/usr/bin/env bash
# Starts or stops a private CUPS scheduler for the printing tests, with two
# cups-pdf queues: "VexaPDF" on A4 sheets and "VexaLabel" on 89 x 36 mm labels
# with a 2 mm unprintable border; "VexaPDF" is the default queue. Qt sees the queues as installed printers when
# CUPS_SERVER points at the scheduler's socket; the PDFs land in the folder
# named by /etc/cups/cups-pdf-vexatest.conf (installed by scripts/setup.sh).
#   cups_server.sh start <state folder>   |   cups_server.sh stop <state folder>
# CUPS runs its filters as the lp user, who must read the configuration, the
# PPD and the spooled files: the scheduler keeps them in a folder under /tmp
# that lp can enter, whatever the state folder (a checkout under /root, a home
# folder closed to others). The state folder holds the scheduler's pid, the
# name of that folder, and links to its conf, run (socket) and log folders.
set -euo pipefail
action=$1
state=$(realpath -m "$2")

stop() {
  if [ -f "$state/cupsd.pid" ]; then
    kill "$(cat "$state/cupsd.pid")" 2>/dev/null || true
    rm -f "$state/cupsd.pid"
  fi
  if [ -f "$state/cups_dir" ]; then
    local dir
    dir=$(cat "$state/cups_dir")
    case "$dir" in /tmp/vexa-cups.*) rm -rf "$dir" ;; esac
    rm -f "$state/cups_dir"
  fi
}

if [ "$action" = stop ]; then
  stop
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "The printing tests need root: the cups-pdf backend only runs under a root scheduler." >&2
  exit 1
fi
if [ ! -f /etc/cups/cups-pdf-vexatest.conf ]; then
  echo "/etc/cups/cups-pdf-vexatest.conf is missing: run scripts/setup.sh" >&2
  exit 1
fi

stop
rm -rf "$state"
mkdir -p "$state"
dir=$(mktemp -d /tmp/vexa-cups.XXXXXX)
echo "$dir" > "$state/cups_dir"
chmod 755 "$dir"
mkdir -p "$dir"/{conf,spool,cache,run,log}
for sub in conf run log; do
  ln -s "$dir/$sub" "$state/$sub"
done
cat > "$dir/conf/cupsd.conf" <<CONF
Listen $dir/run/cups.sock
LogLevel warn
WebInterface No
Browsing No
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
cat > "$dir/conf/cups-files.conf" <<CONF
ServerRoot $dir/conf
RequestRoot $dir/spool
CacheDir $dir/cache
StateDir $dir/run
TempDir $dir/spool
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
Sandboxing Relaxed
CONF

# The scheduler must outlive this script (CTest ends the process group of a
# fixture test), so it runs detached in its own session.
setsid /usr/sbin/cupsd -f -c "$dir/conf/cupsd.conf" -s "$dir/conf/cups-files.conf" \
  </dev/null >"$dir/log/cupsd.out" 2>&1 &
echo $! > "$state/cupsd.pid"
export CUPS_SERVER=$state/run/cups.sock
ready=0
for _ in $(seq 100); do
  if [ -S "$CUPS_SERVER" ] && lpstat -r >/dev/null 2>&1; then
    ready=1
    break
  fi
  sleep 0.1
done
if [ $ready -ne 1 ]; then
  echo "The CUPS scheduler did not start:" >&2
  cat "$state/log/cupsd.out" "$state/log/error_log" 2>/dev/null >&2 || true
  exit 1
fi
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd
lpadmin -p VexaPDF -E -v cups-pdf:/vexatest -P "$ppd" 2>/dev/null

# The label queue's driver: the same PPD with an 89 x 36 mm label (252 x 102
# points, 6 points unprintable on each side) as its default media.
sed -e 's|^\*DefaultPageSize: .*|*DefaultPageSize: Label89x36|' \
    -e 's|^\*DefaultPageRegion: .*|*DefaultPageRegion: Label89x36|' \
    -e 's|^\*DefaultImageableArea: .*|*DefaultImageableArea: Label89x36|' \
    -e 's|^\*DefaultPaperDimension: .*|*DefaultPaperDimension: Label89x36|' \
    -e '/^\*PageSize A4\//i *PageSize Label89x36/Label 89 x 36 mm: "<</PageSize[252 102]/ImagingBBox null>>setpagedevice"' \
    -e '/^\*PageRegion A4\//i *PageRegion Label89x36/Label 89 x 36 mm: "<</PageSize[252 102]/ImagingBBox null>>setpagedevice"' \
    -e '/^\*ImageableArea A4\//i *ImageableArea Label89x36/Label 89 x 36 mm: "6 6 246 96"' \
    -e '/^\*PaperDimension A4\//i *PaperDimension Label89x36/Label 89 x 36 mm: "252 102"' \
    "$ppd" > "$state/label.ppd"
# pdftocairo turns Qt's PDF into PostScript with its fonts' text kept, so the
# label's words can be read back from the PDF cups-pdf writes.
lpadmin -p VexaLabel -E -v cups-pdf:/vexatest -P "$state/label.ppd" -o pdftops-renderer-default=pdftocairo 2>/dev/null
# The system's default queue: where a job for a printer no longer installed goes.
lpadmin -d VexaPDF
lpstat -p VexaPDF -p VexaLabel -d
echo "CUPS scheduler ready on $CUPS_SERVER"
