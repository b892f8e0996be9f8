#include "report/OversizedText.h"

QString oversizedTextReason(const QString& document)
{
    qsizetype longest = 0;
    qsizetype longestStart = 0;
    qsizetype start = -1; // where the text after the last '>' begins; -1 inside a tag
    for (qsizetype i = 0; i < document.size(); ++i) {
        const QChar c = document[i];
        if (c == u'>') {
            start = i + 1;
        } else if (c == u'<' && start >= 0) {
            if (i - start > longest) {
                longest = i - start;
                longestStart = start;
            }
            start = -1;
        }
    }
    if (longest <= kLongestDocumentText)
        return {};
    return QStringLiteral("Ein Text des Dokuments ist %1 Zeichen lang (höchstens %2), er beginnt mit '%3…'; das "
                          "Dokument wurde dem Formatierer nicht übergeben")
        .arg(longest)
        .arg(kLongestDocumentText)
        .arg(document.mid(longestStart, 40));
}
