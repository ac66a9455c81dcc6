#!/usr/bin/env bash
# Builds the Debian package with CPack from a build tree and checks it.
#   check_package.sh <build-dir> <version>
set -euo pipefail
build=$(cd "$1" && pwd)
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1) \
  || { cat "$work/cpack.log" >&2; fail "cpack could not build the package"; }
deb=$(ls "$work"/out/vexadicom_*.deb)
echo "package: $(basename "$deb")"

# Warnings are shown for the record; only errors fail the test.
lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian reports errors"

root=$work/root
dpkg-deb -x "$deb" "$root"

# Every piece the package promises, where the desktop and Qt look for it.
for path in \
  usr/bin/vexadicom \
  usr/share/applications/fr.vexadicom.VexaDICOM.desktop \
  usr/share/metainfo/fr.vexadicom.VexaDICOM.metainfo.xml \
  usr/share/icons/hicolor/48x48/apps/vexadicom.png \
  usr/share/icons/hicolor/256x256/apps/vexadicom.png \
  usr/share/icons/hicolor/scalable/apps/vexadicom.svg \
  usr/share/man/man1/vexadicom.1.gz \
  usr/share/doc/vexadicom/guide/index.html \
  usr/share/doc/vexadicom/copyright \
  usr/share/doc/vexadicom/changelog.Debian.gz \
  usr/share/vexadicom/reports/entete.rtf \
  "usr/share/vexadicom/reports/CR/Courrier standard.rtf"; do
  [ -e "$root/$path" ] || fail "missing from the package: /$path"
done
find "$root" -name 'libbrixel.so.*' | grep -q . || fail "Brixel is not in the package"
find "$root" -path '*/plugins/designer/libbrixel_designer.so' | grep -q . || fail "no Designer plugin"

desktop-file-validate "$root"/usr/share/applications/*.desktop || fail "desktop entry invalid"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml || fail "AppStream data invalid"

# The unpacked program, with no display at all: Brixel comes from the
# unpacked tree, not from a build or an installed copy.
libdirs=$(find "$root" -name 'libbrixel.so.*' -printf '%h\n' | sort -u | paste -sd:)
run() {
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM LD_LIBRARY_PATH="$libdirs" "$root/usr/bin/vexadicom" "$@"
}
out=$(run --version) || fail "--version failed"
[ "$out" = "VexaDICOM $version" ] || fail "--version printed '$out'"
out=$(run --help) || fail "--help failed"
grep -q -- '--settings <FILE>' <<<"$out" || fail "--help does not show --settings: $out"
echo "package checked"
