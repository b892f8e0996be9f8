#!/bin/sh
# Stands in for the FOP launcher in tests: takes FOP's options (-u, -xml, -xsl, -pdf) and writes a small
# but sound PDF to the PDF name that holds the XML document unfiltered in a stream, so that tests can read
# what each PDF holds, the program takes it for a complete PDF, and qpdf can encrypt it.
#   FAKE_FOP_ARGV    file to which every call appends its arguments, each ended by NUL, then "--end--"
#   FAKE_FOP_FAIL    how the call fails: none (no file, exit 1), exit3 (complete file, exit 3), partial
#                    (half a file, exit 0), crash (half a file, then killed), empty (0 bytes, exit 0)
#   FAKE_FOP_FAIL_ON only calls whose XML document contains this text fail (all when unset)
#   FAKE_FOP_SLEEP   seconds to wait before writing
#   FAKE_FOP_SLEEP_ON only calls whose XML document contains this text wait (all when unset)
if [ -n "$FAKE_FOP_ARGV" ]; then
    printf '%s\0' "$@" "--end--" >> "$FAKE_FOP_ARGV"
fi
xml=
pdf=
while [ $# -gt 0 ]; do
    case "$1" in
        -xml) xml=$2; shift 2 ;;
        -xsl) shift 2 ;;
        -pdf) pdf=$2; shift 2 ;;
        -u) shift 2 ;;
        *) echo "fake-fop: unknown option $1" >&2; exit 1 ;;
    esac
done
echo "fake-fop: rendering $xml"
# The program names the PDF for us in its private folder, so a document is known by what it holds.
holds() { [ -z "$1" ] || grep -qF -- "$1" "$xml"; }
if [ -n "$FAKE_FOP_SLEEP" ] && holds "$FAKE_FOP_SLEEP_ON"; then sleep "$FAKE_FOP_SLEEP"; fi
fail=$FAKE_FOP_FAIL
holds "$FAKE_FOP_FAIL_ON" || fail=
case "$fail" in
    none) echo "fake-fop: SEVERE no PDF written" >&2; exit 1 ;;
    empty) : > "$pdf"; exit 0 ;;
    partial|crash)
        printf '%%PDF-1.4\n' > "$pdf"
        head -c 100 "$xml" >> "$pdf"
        [ "$fail" = crash ] && kill -9 $$
        exit 0 ;;
esac
size() { wc -c < "$pdf" | tr -d ' '; }
printf '%%PDF-1.4\n' > "$pdf"
o1=$(size); printf '1 0 obj\n<</Type/Catalog/Pages 2 0 R/Document 4 0 R>>\nendobj\n' >> "$pdf"
o2=$(size); printf '2 0 obj\n<</Type/Pages/Kids[3 0 R]/Count 1>>\nendobj\n' >> "$pdf"
o3=$(size); printf '3 0 obj\n<</Type/Page/Parent 2 0 R/MediaBox[0 0 595 842]>>\nendobj\n' >> "$pdf"
o4=$(size); printf '4 0 obj\n<</Length %d>>\nstream\n' "$(wc -c < "$xml")" >> "$pdf"
{ cat "$xml"; printf '\nendstream\nendobj\n'; } >> "$pdf"
o5=$(size)
printf 'xref\n0 5\n0000000000 65535 f \n%010d 00000 n \n%010d 00000 n \n%010d 00000 n \n%010d 00000 n \n' \
    "$o1" "$o2" "$o3" "$o4" >> "$pdf"
printf 'trailer\n<</Size 5/Root 1 0 R>>\nstartxref\n%d\n%%%%EOF\n' "$o5" >> "$pdf"
echo "fake-fop: wrote $pdf" >&2
[ "$fail" = exit3 ] && exit 3
exit 0
