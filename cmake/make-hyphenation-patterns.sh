#!/bin/sh
# Writes FOP's hyphenation pattern file (XML) for one language from a libhyphen dictionary, as
# Debian's hyphen-de, hyphen-fr and hyphen-it packages install them (/usr/share/hyphen/hyph_*.dic).
#
#   make-hyphenation-patterns.sh DICTIONARY OUTPUT
#
# A dictionary is its character set on the first line, then TeX-style patterns ("a1b", ".ab3a4s"),
# comments and a few directives. Where it has several levels (NEXTLEVEL), the last level holds the
# ordinary patterns: the German one's first level splits compound words from a word list that FOP
# cannot use, the French one's only keeps apostrophes. Patterns with a hyphen are dropped: FOP breaks
# at a hyphen by itself and never hands such a word to the patterns.
#
# FOP counts a character that no class names as a word boundary, so the classes list every letter of
# the patterns with its capital, and the letters of names the certificates may print. A pattern with
# a letter outside the classes stops the build rather than being lost without a word.
set -eu
dictionary=$1
output=$2

charset=$(head -n 1 "$dictionary" | tr -d '\r')
case "$charset" in
    UTF-8) convert="cat" ;;
    ISO8859-1 | ISO-8859-1) convert="iconv -f ISO-8859-1 -t UTF-8" ;;
    *) echo "$dictionary: unknown character set '$charset'" >&2; exit 1 ;;
esac

# One class per pair: the letter the patterns use, then its other forms (capital, typographic
# apostrophe).
classes="a A  b B  c C  d D  e E  f F  g G  h H  i I  j J  k K  l L
m M  n N  o O  p P  q Q  r R  s S  t T  u U  v V  w W  x X
y Y  z Z  ß ẞ  à À  á Á  â Â  ã Ã  ä Ä  å Å  æ Æ  ç Ç  è È
é É  ê Ê  ë Ë  ì Ì  í Í  î Î  ï Ï  ð Ð  ñ Ñ  ò Ò  ó Ó  ô Ô
õ Õ  ö Ö  ø Ø  ù Ù  ú Ú  û Û  ü Ü  ý Ý  þ Þ  ÿ Ÿ  œ Œ  š Š
ž Ž  č Č  ć Ć  đ Đ  ě Ě  ň Ň  ř Ř  ť Ť  ď Ď  ů Ů  ł Ł  ő Ő
ű Ű  ą Ą  ę Ę  ń Ń  ś Ś  ź Ź  ż Ż  ă Ă  ţ Ţ  ș Ș  ț Ț  ğ Ğ
ş Ş  ' ’"

tmp="$output.tmp"
trap 'rm -f "$tmp"' EXIT
$convert < "$dictionary" | tr -d '\r' | awk -v classes="$classes" '
    BEGIN {
        n = split(classes, pair, /  +|\n/)
        for (i = 1; i <= n; i++) {
            split(pair[i], form, " ")
            class[i] = form[1] form[2]
            letters[++m] = form[1]; letters[++m] = form[2]
        }
    }
    NR == 1 { next }
    /^NEXTLEVEL/ { count = 0; next }
    /^[#%]/ || /^[A-Z]+(HYPHENMIN)? / || /^NOHYPHEN/ { next }
    {
        sub(/[ \t]+$/, ""); sub(/^[ \t]+/, "")
        if ($0 == "" || index($0, "-") > 0) next
        rest = $0
        gsub(/[0-9.]/, "", rest)
        for (i = 1; i <= m; i++) gsub(letters[i], "", rest)
        patterns[++count] = $0
        if (rest != "") leftover = leftover " " $0
    }
    END {
        if (leftover != "") { print "letters outside the classes in:" leftover > "/dev/stderr"; exit 1 }
        if (count < 100) { print "too few patterns: " count > "/dev/stderr"; exit 1 }
        print "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        print "<!-- Made at build time by cmake/make-hyphenation-patterns.sh; do not edit. -->"
        print "<hyphenation-info>"
        print "<hyphen-min before=\"2\" after=\"2\"/>"
        print "<classes>"
        for (i = 1; i <= n; i++) print class[i]
        print "</classes>"
        print "<patterns>"
        for (i = 1; i <= count; i++) print patterns[i]
        print "</patterns>"
        print "</hyphenation-info>"
    }' > "$tmp"
mv "$tmp" "$output"
trap - EXIT
