# Writes the manual page lohnausweis.1.gz from the program's --help text and the sections of
# lohnausweis.h2m. help2man's headings are English unless a German locale is installed, which a
# build machine seldom has, so they are put into German here.
# Variables: HELP2MAN, PROGRAM, INCLUDE, VERSION, OUTPUT (the .1 file; OUTPUT.gz is written beside it).

execute_process(
    COMMAND ${HELP2MAN} --no-info --section=1 --locale=C.UTF-8 --manual=Benutzerbefehle
            "--source=lohnausweis ${VERSION}" "--version-string=${VERSION}"
            "--name=Schweizer Lohnausweise als PDF oder eLohnausweis-Datei erstellen"
            --include=${INCLUDE} ${PROGRAM}
    OUTPUT_VARIABLE page
    RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR page STREQUAL "")
    message(FATAL_ERROR "help2man failed (${status}) on ${PROGRAM}")
endif()

foreach(pair "NAME|BEZEICHNUNG" "SYNOPSIS|ÜBERSICHT" "DESCRIPTION|BESCHREIBUNG" "ENVIRONMENT|UMGEBUNGSVARIABLEN"
             "FILES|DATEIEN" "EXIT STATUS|RÜCKGABEWERT" "SEE ALSO|SIEHE AUCH")
    string(REPLACE "|" ";" pair "${pair}")
    list(GET pair 0 english)
    list(GET pair 1 german)
    string(REGEX REPLACE "\n\\.SH \"?${english}\"?\n" "\n.SH ${german}\n" page "${page}")
endforeach()
# The date in a form that needs no translation; SOURCE_DATE_EPOCH keeps a rebuild identical.
string(TIMESTAMP today "%Y-%m-%d" UTC)
string(REGEX REPLACE "(\n\\.TH [^ ]+ \"1\") \"[^\"]*\"" "\\1 \"${today}\"" page "${page}")

file(WRITE ${OUTPUT} "${page}")
execute_process(COMMAND gzip -9 -n -f -k ${OUTPUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip failed on ${OUTPUT}")
endif()
