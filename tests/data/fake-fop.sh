#!/bin/sh
# Stands in for the FOP launcher in tests: takes FOP's options (-u, -xml, -xsl, -pdf) and copies the
# XML document to the PDF name, so that tests can read what each "PDF" holds.
#   FAKE_FOP_ARGV   file to which every call appends its arguments, each ended by NUL, then "--end--"
#   FAKE_FOP_NO_PDF when set and not empty, the call writes no PDF
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
if [ -n "$FAKE_FOP_NO_PDF" ]; then
    echo "fake-fop: SEVERE no PDF written" >&2
    exit 1
fi
cp "$xml" "$pdf"
echo "fake-fop: wrote $pdf" >&2
