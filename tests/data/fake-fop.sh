#!/bin/sh
# Stands in for the FOP launcher in tests: takes FOP's options (-u, -xml, -xsl, -pdf) and writes the XML
# document between a PDF head and an end marker to the PDF name, so that tests can read what each "PDF"
# holds and the program takes it for a complete PDF.
#   FAKE_FOP_ARGV    file to which every call appends its arguments, each ended by NUL, then "--end--"
#   FAKE_FOP_FAIL    how the call fails: none (no file, exit 1), exit3 (complete file, exit 3), partial
#                    (half a file, exit 0), crash (half a file, then killed), empty (0 bytes, exit 0)
#   FAKE_FOP_FAIL_ON only calls whose PDF name contains this text fail (all when unset)
#   FAKE_FOP_SLEEP   seconds to wait before writing
#   FAKE_FOP_SLEEP_ON only calls whose PDF name contains this text wait (all when unset)
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
case "$pdf" in
    *"$FAKE_FOP_SLEEP_ON"*) [ -n "$FAKE_FOP_SLEEP" ] && sleep "$FAKE_FOP_SLEEP" ;;
esac
fail=$FAKE_FOP_FAIL
case "$pdf" in
    *"$FAKE_FOP_FAIL_ON"*) ;;
    *) fail= ;;
esac
case "$fail" in
    none) echo "fake-fop: SEVERE no PDF written" >&2; exit 1 ;;
    empty) : > "$pdf"; exit 0 ;;
    partial|crash)
        printf '%%PDF-1.4\n' > "$pdf"
        head -c 100 "$xml" >> "$pdf"
        [ "$fail" = crash ] && kill -9 $$
        exit 0 ;;
esac
{ printf '%%PDF-1.4\n'; cat "$xml"; printf '\n%%%%EOF\n'; } > "$pdf"
echo "fake-fop: wrote $pdf" >&2
[ "$fail" = exit3 ] && exit 3
exit 0
