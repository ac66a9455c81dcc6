#!/usr/bin/env bash
# Installs every Debian package VexaDICOM needs to build, test, run its demo and
# take screenshots. Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config git clang clang-format clang-tidy
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-psql libqt6svg6-dev
  qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-translations-l10n libgl-dev libqt6opengl6-dev
  libdcmtk-dev dcmtk dicom3tools libjpeg-dev libturbojpeg0-dev zlib1g-dev
  libburn-dev libisofs-dev xorriso chromium
  libsqlite3-dev sqlite3 postgresql postgresql-client
  fonts-liberation xvfb xauth x11-utils xdotool imagemagick openbox
  cups cups-client cups-bsd printer-driver-cups-pdf poppler-utils
  python3-pydicom libgtest-dev libgmock-dev
  libreoffice-writer-nogui
  locales
  xdg-utils
  dpkg-dev fakeroot lintian desktop-file-utils appstream
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo_cmd apt-get update -q
  $sudo_cmd apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# French locale for the decimal-separator tests and the demo.
if ! locale -a 2>/dev/null | grep -qi '^fr_FR\.utf8$'; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd sed -i 's/^# *fr_FR.UTF-8 UTF-8/fr_FR.UTF-8 UTF-8/' /etc/locale.gen
  $sudo_cmd locale-gen >/dev/null
fi

# A cups-pdf instance for the printing tests: their private scheduler's queue
# writes its PDFs here, away from anyone's home folder.
if [ ! -f /etc/cups/cups-pdf-vexatest.conf ] && [ "$(id -u)" -eq 0 ]; then
  cat > /etc/cups/cups-pdf-vexatest.conf <<'CONF'
Out /var/spool/cups-pdf-vexatest/${USER}
AnonDirName /var/spool/cups-pdf-vexatest/ANONYMOUS
Grp lpadmin
Label 1
CONF
fi
