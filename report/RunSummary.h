#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QStringList>

// What a run wrote: the files in the order they were completed, with their certificates and companies.
// The generators add a file only once it is complete; the dispatch and the window report it.
class RunSummary
{
public:
    struct File
    {
        QString path;
        qint64 certificates = 0;
        QStringList companies;
        QString kind; // "PDF-Datei", "CSV-Datei"
    };

    RunSummary();

    // Starts the run's clock anew and forgets earlier files.
    void start();
    void addFile(const QString& path, qint64 certificates, const QStringList& companies, const QString& kind);
    // Stops the run's clock (the first call after start() counts); the duration reported ends here.
    void finish();
    // The run was cancelled: what it wrote before stays, but the run did not end as planned.
    void setCancelled() { m_cancelled = true; }
    bool cancelled() const { return m_cancelled; }
    // What the check before the run found; reported with the totals.
    void setCheckCounts(qsizetype errors, qsizetype notices);
    // The run writes a file per employee, protected as `protection` says ("ohne Passwort", ...): the
    // lines and the status text name their folders and numbers rather than thousands of files.
    void setPerEmployee(const QString& protection) { m_protection = protection; }

    const QList<File>& files() const { return m_files; }
    bool isEmpty() const { return m_files.isEmpty(); }

    // One line per file (full path, certificates, companies, separated by tabs) and a line of totals
    // (files, certificates, companies, duration, and the check's findings when it ran: "0 Fehler,
    // 12 Hinweise"); no lines when nothing was written. Files per employee give one line per folder
    // (its path ending in "/", the certificates written into it, companies) unless `everyFile`, then
    // the line "Schutz" with what protects them.
    QStringList lines(bool everyFile = false) const;
    // "Fertig: 41 Lohnausweise in 3 PDF-Dateien, /pfad/LA_001.pdf … LA_003.pdf"; empty when nothing was
    // written. After a cancel "Abgebrochen: " and what was written, or "keine Datei geschrieben".
    QString statusText() const;

private:
    // "2 Fehler, 10 Hinweise" of the check before the run, after `before`; empty when none ran.
    QString checkText(QChar before = {}) const;

    QList<File> m_files;
    QElapsedTimer m_clock;
    qint64 m_durationMs = -1;
    bool m_cancelled = false;
    qsizetype m_checkErrors = -1; // -1: no check before the run
    qsizetype m_checkNotices = 0;
    QString m_protection; // empty: not a run with a file per employee
};
