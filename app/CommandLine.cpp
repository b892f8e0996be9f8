#include "app/CommandLine.h"

#include "report/EmployeePassword.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace {

// Options that only make sense together with --run.
const QStringList kRunOptions = {QStringLiteral("transfer"),
                                 QStringLiteral("source"),
                                 QStringLiteral("lib"),
                                 QStringLiteral("to"),
                                 QStringLiteral("output"),
                                 QStringLiteral("open-pdf"),
                                 QStringLiteral("pdf-password"),
                                 QStringLiteral("user"),
                                 QStringLiteral("password"),
                                 QStringLiteral("yes"),
                                 QStringLiteral("company"),
                                 QStringLiteral("employee"),
                                 QStringLiteral("ignore-check-errors"),
                                 QStringLiteral("per-employee"),
                                 QStringLiteral("employee-password"),
                                 QStringLiteral("verbose")};

CommandLine usageError(const QString& text)
{
    CommandLine result;
    result.mode = CommandLine::Mode::UsageError;
    result.error = text;
    return result;
}

// QCommandLineParser reports in English; the user gets German.
QString germanParserError(const QCommandLineParser& parser)
{
    if (!parser.unknownOptionNames().isEmpty()) {
        const QString name = parser.unknownOptionNames().constFirst();
        return QStringLiteral("Unbekannte Option: %1%2").arg(name.size() == 1 ? u"-" : u"--", name);
    }
    const QString text = parser.errorText();
    const QRegularExpressionMatch quoted = QRegularExpression(QStringLiteral("'([^']*)'")).match(text);
    const QString option = quoted.hasMatch() ? quoted.captured(1) : QString();
    if (text.startsWith(QLatin1String("Missing value")))
        return QStringLiteral("Bei der Option %1 fehlt der Wert.").arg(option);
    if (text.startsWith(QLatin1String("Unexpected value")))
        return QStringLiteral("Die Option %1 nimmt keinen Wert.").arg(option);
    return QStringLiteral("Ungültige Befehlszeile.");
}

// Run options that the check has no use for.
const QStringList kOutputOptions = {QStringLiteral("output"),
                                    QStringLiteral("open-pdf"),
                                    QStringLiteral("pdf-password"),
                                    QStringLiteral("ignore-check-errors"),
                                    QStringLiteral("per-employee"),
                                    QStringLiteral("employee-password"),
                                    QStringLiteral("verbose")};

} // namespace

CommandLine parseCommandLine(const QStringList& arguments, const QProcessEnvironment& environment)
{
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const auto valueOption = [](const char* name) {
        return QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("wert"));
    };
    parser.addOptions({
        QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}),
        QCommandLineOption(QStringLiteral("run")),
        QCommandLineOption(QStringLiteral("check")),
        valueOption("transfer"),
        valueOption("source"),
        valueOption("lib"),
        valueOption("to"),
        valueOption("output"),
        QCommandLineOption(QStringLiteral("open-pdf")),
        valueOption("pdf-password"),
        valueOption("user"),
        valueOption("password"),
        QCommandLineOption(QStringLiteral("yes")),
        valueOption("company"),
        valueOption("employee"),
        QCommandLineOption(QStringLiteral("ignore-check-errors")),
        QCommandLineOption(QStringLiteral("per-employee")),
        valueOption("employee-password"),
        QCommandLineOption(QStringLiteral("verbose")),
        valueOption("demo-db"),
    });
    if (!parser.parse(arguments))
        return usageError(germanParserError(parser));
    if (!parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("Unerwartetes Argument: %1").arg(parser.positionalArguments().constFirst()));

    CommandLine result;
    if (parser.isSet(QStringLiteral("help"))) {
        result.mode = CommandLine::Mode::Help;
        return result;
    }
    const bool run = parser.isSet(QStringLiteral("run"));
    const bool demo = parser.isSet(QStringLiteral("demo-db"));
    if (run && demo)
        return usageError(QStringLiteral("--run und --demo-db können nicht zusammen angegeben werden."));
    const bool check = parser.isSet(QStringLiteral("check"));
    if (check && (run || demo))
        return usageError(QStringLiteral("--check kann nicht zusammen mit --run oder --demo-db angegeben werden."));
    for (const QString& name : kOutputOptions) {
        if (check && parser.isSet(name))
            return usageError(QStringLiteral("Die Option --%1 gilt nur zusammen mit --run.").arg(name));
    }
    if (!run && !check) {
        for (const QString& name : kRunOptions) {
            if (parser.isSet(name))
                return usageError(QStringLiteral("Die Option --%1 gilt nur zusammen mit --run.").arg(name));
        }
    }
    if (demo) {
        result.mode = CommandLine::Mode::DemoDb;
        result.demoDbFile = parser.value(QStringLiteral("demo-db"));
        if (result.demoDbFile.isEmpty())
            return usageError(QStringLiteral("Bei --demo-db fehlt der Dateiname."));
        return result;
    }
    if (!run && !check)
        return result;

    result.mode = check ? CommandLine::Mode::Check : CommandLine::Mode::Run;
    if (parser.isSet(QStringLiteral("transfer"))) {
        const QString transfer = parser.value(QStringLiteral("transfer")).toLower();
        if (transfer == QLatin1String("odbc"))
            result.transfer = 0;
        else if (transfer == QLatin1String("ole"))
            result.transfer = 1;
        else
            return usageError(QStringLiteral("--transfer erwartet odbc oder ole."));
    }
    if (parser.isSet(QStringLiteral("output"))) {
        const QString output = parser.value(QStringLiteral("output")).toLower();
        if (output == QLatin1String("pdf"))
            result.output = CommandLine::Output::Pdf;
        else if (output == QLatin1String("csv"))
            result.output = CommandLine::Output::Csv;
        else
            return usageError(QStringLiteral("--output erwartet pdf oder csv."));
    }
    if (parser.isSet(QStringLiteral("source")))
        result.source = parser.value(QStringLiteral("source"));
    if (parser.isSet(QStringLiteral("lib")))
        result.lib = parser.value(QStringLiteral("lib"));
    if (parser.isSet(QStringLiteral("to")))
        result.toFile = parser.value(QStringLiteral("to"));
    result.openPdf = parser.isSet(QStringLiteral("open-pdf"));
    result.yes = parser.isSet(QStringLiteral("yes"));
    result.ignoreCheckErrors = parser.isSet(QStringLiteral("ignore-check-errors"));
    result.perEmployee = parser.isSet(QStringLiteral("per-employee"));
    result.verbose = parser.isSet(QStringLiteral("verbose"));
    if (parser.isSet(QStringLiteral("employee-password"))) {
        const QString kind = parser.value(QStringLiteral("employee-password"));
        if (!parseEmployeePasswordKind(kind))
            return usageError(QStringLiteral("--employee-password erwartet birthdate, ahv, fixed oder none."));
        result.employeePassword = kind.trimmed().toLower();
        result.perEmployee = true;
    }
    if (result.perEmployee && result.output == CommandLine::Output::Csv)
        return usageError(QStringLiteral("Eine Datei pro Mitarbeiter (--per-employee) gibt es nur für PDF-Dateien."));
    for (const char* name : {"company", "employee"}) {
        QStringList& values = QByteArray(name) == "company" ? result.companies : result.employees;
        for (const QString& value : parser.values(QString::fromLatin1(name))) {
            // An empty name would select nothing the clerk could mean.
            if (value.trimmed().isEmpty())
                return usageError(QStringLiteral("Bei --%1 fehlt der Name.").arg(QString::fromLatin1(name)));
            values.append(value.trimmed());
        }
    }

    if (parser.isSet(QStringLiteral("pdf-password"))) {
        // An empty password would give a PDF that only looks protected.
        if (parser.value(QStringLiteral("pdf-password")).isEmpty())
            return usageError(QStringLiteral("Das PDF-Passwort darf nicht leer sein."));
        result.pdfPassword = parser.value(QStringLiteral("pdf-password"));
    } else if (const QString env = environment.value(QStringLiteral("LOHNAUSWEIS_PDF_PASSWORD")); !env.isEmpty()) {
        result.pdfPassword = env;
    }
    // The same password for every employee: it has to be given.
    if (result.employeePassword == QLatin1String("fixed") && !result.pdfPassword)
        return usageError(QStringLiteral("Für --employee-password fixed fehlt das Passwort (--pdf-password oder "
                                         "LOHNAUSWEIS_PDF_PASSWORD)."));
    result.user = parser.isSet(QStringLiteral("user")) ? parser.value(QStringLiteral("user"))
                                                       : environment.value(QStringLiteral("LOHNAUSWEIS_USER"));
    result.password = parser.isSet(QStringLiteral("password"))
                          ? parser.value(QStringLiteral("password"))
                          : environment.value(QStringLiteral("LOHNAUSWEIS_PASSWORD"));
    return result;
}

QString usageText()
{
    return QStringLiteral("Aufruf:\n"
                          "  lohnausweis                     öffnet das Hauptfenster\n"
                          "  lohnausweis --run [Optionen]    führt einen Lauf ohne Fenster aus\n"
                          "  lohnausweis --check [Optionen]  prüft die Lohnausweisdaten ohne Fenster\n"
                          "  lohnausweis --demo-db DATEI     schreibt die Demo-Datenbank\n"
                          "  lohnausweis --help              zeigt diesen Text\n"
                          "\n"
                          "Ein Lauf ohne Fenster nimmt die gespeicherten Einstellungen des Hauptfensters und ändert\n"
                          "sie mit diesen Optionen (gespeichert wird nichts):\n"
                          "  --transfer odbc|ole     Übertragungsart\n"
                          "  --source TEXT           System- oder DSN-Name\n"
                          "  --lib TEXT              LOVAR/400 Rariz Datenbibliothek\n"
                          "  --to DATEI              Ausgabedatei\n"
                          "  --output pdf|csv        Ausgabe: PDF oder eLohnausweis SSK\n"
                          "  --open-pdf              PDF-Datei nach Erstellung anzeigen\n"
                          "  --pdf-password TEXT     PDF-Datei mit einem Passwort schützen\n"
                          "                          (auch über LOHNAUSWEIS_PDF_PASSWORD)\n"
                          "  --user TEXT             Benutzer für die ODBC-Anmeldung (auch LOHNAUSWEIS_USER)\n"
                          "  --password TEXT         Passwort für die ODBC-Anmeldung (auch LOHNAUSWEIS_PASSWORD)\n"
                          "  --yes                   bestehende Ausgabedateien ohne Rückfrage überschreiben\n"
                          "  --company TEXT          nur diese Firma (EFLDI2, wie gespeichert); mehrfach möglich\n"
                          "  --employee TEXT         nur diese Person: AHV-Nummer wie gedruckt (756.1234.5678.97)\n"
                          "                          oder Name (EFLDH1); mehrfach möglich; mit --company nur\n"
                          "                          in diesen Firmen\n"
                          "  --ignore-check-errors   schreiben, auch wenn die Prüfung vor dem Lauf Fehler findet\n"
                          "  --per-employee          eine PDF-Datei pro Lohnausweis, im Ordner der Ausgabedatei\n"
                          "                          unter dem Muster EmployeeFileName (Vorgabe\n"
                          "                          {Firma}/{Name}_{Nummer}.pdf)\n"
                          "  --employee-password birthdate|ahv|fixed|none\n"
                          "                          Passwort jeder Datei pro Mitarbeiter: Geburtsdatum\n"
                          "                          (TTMMJJJJ), AHV-Nummer (13 Ziffern), das Passwort von\n"
                          "                          --pdf-password oder keines; schliesst --per-employee ein\n"
                          "  --verbose               auf der Standardausgabe jede Datei pro Mitarbeiter nennen,\n"
                          "                          nicht nur ihre Ordner\n"
                          "\n"
                          "Meldungen erscheinen auf der Standardfehlerausgabe: Titel, Text, Leerzeile.\n"
                          "Rückgabewert: 0 ohne Fehler- oder Warnmeldung, 1 nach einer solchen Meldung\n"
                          "oder einem Abbruch, 2 bei falschem Aufruf; 130, 143 oder 129, wenn SIGINT,\n"
                          "SIGTERM oder SIGHUP den Lauf abgebrochen hat; 4, wenn ein zweites Signal ihn\n"
                          "sofort beendet hat.\n"
                          "\n"
                          "Vor dem Schreiben prüft ein Lauf seine Lohnausweise wie --check. Findet die Prüfung\n"
                          "Fehler, stehen sie auf der Standardfehlerausgabe und der Lauf schreibt nichts\n"
                          "(Rückgabewert 1), ausser mit --ignore-check-errors. Hinweise halten keinen Lauf auf.\n"
                          "Der Einstellungswert CheckBeforeRun = 0 schaltet die Prüfung vor dem Lauf ab.\n"
                          "\n"
                          "Die Prüfung (--check) nimmt --transfer, --source, --lib, --user, --password, --company\n"
                          "und --employee wie ein Lauf und schreibt nichts in die Datenbank. Sie zeigt ihre\n"
                          "Befunde als Tabelle auf der Standardausgabe oder schreibt sie mit --to BERICHT in eine\n"
                          "Datei (.csv: durch Semikolon getrennt, UTF-8, mit Kopfzeile; sonst als Text), dann eine\n"
                          "Zeile mit den Summen; einen bestehenden Bericht ersetzt sie nach einer Rückfrage (--yes\n"
                          "beantwortet sie).\n"
                          "Rückgabewert: 0 ohne Befund der Schwere Fehler, 1 mit, 2 bei falschem Aufruf,\n"
                          "3, wenn die Prüfung nicht oder nicht vollständig laufen konnte (keine Verbindung,\n"
                          "Tabelle nicht lesbar, Bericht nicht geschrieben).\n");
}
