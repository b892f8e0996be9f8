#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a scratch root and runs the unpacked program from a
# folder outside both that root and the build tree, so that fop/ and xsl/ can only come from the
# installed data folder. Arguments: the build folder, the cpack program.
set -euo pipefail
build="$1"
cpack="$2"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

(cd "$build" && "$cpack" -G DEB -B "$scratch/deb" >/dev/null)
deb=("$scratch"/deb/lohnausweis_1.9_*.deb)
info="$(dpkg-deb -I "${deb[0]}")"
for dependency in libqt6widgets6 libodbc libsqlite3 fop java-runtime-headless fonts-liberation2 \
    fonts-dejavu-core xdg-utils; do
    grep -q "^ Depends:.*$dependency" <<<"$info" || { echo "Depends lacks $dependency"; exit 1; }
done
if command -v lintian >/dev/null; then lintian --fail-on error "${deb[0]}"; fi

root="$scratch/root"
dpkg-deb -x "${deb[0]}" "$root"
[ -s "$root/usr/share/man/man1/lohnausweis.1.gz" ] || { echo "no manual page"; exit 1; }
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$root"/usr/share/applications/*.desktop; fi
if command -v appstreamcli >/dev/null; then appstreamcli validate --no-net "$root"/usr/share/metainfo/*.xml >/dev/null; fi

mkdir "$scratch/work" "$scratch/tmp"
cd "$scratch/work"
# The formatter's class-data archive goes where the other tests keep it: the launcher refuses a cache
# under /tmp, where others may write.
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" XDG_CACHE_HOME="$build/test-cache" TMPDIR="$scratch/tmp"
program="$root/usr/bin/lohnausweis"
help="$("$program" --help)"
grep -q -- "--demo-db DATEI" <<<"$help"
"$program" --demo-db demo.sqlite
"$program" --run --transfer ole --source demo.sqlite --lib DEMO --output pdf --to Lohnausweis.pdf --yes --ignore-check-errors
# The demo database holds several companies: one numbered PDF file each.
[ "$(head -c 5 Lohnausweis_001.pdf)" = "%PDF-" ] || { echo "no PDF written"; exit 1; }
# The run log names the style sheet that was given to FOP: the one of the unpacked package.
grep -q -- "-xsl \"\?$root/usr/share/lohnausweis/xsl/TaxAccountingForm.xsl" "$TMPDIR/LOVARSLog.txt" ||
    { echo "style sheet not taken from $root/usr/share/lohnausweis:"; cat "$TMPDIR/LOVARSLog.txt"; exit 1; }
echo "package test passed: ${deb[0]##*/}"
