#include "support/MemoryDb.h"

#include "db/FetchedRecordSet.h"
#include "platform/LaError.h"

#include <QRegularExpression>
#include <stdexcept>

std::unique_ptr<DbRecordSet> fetchedRecordSet(const MemoryTable& table)
{
    auto result = std::make_unique<FetchedRecordSet>(table.columns);
    for (const QList<Variant>& row : table.rows) {
        for (const Variant& v : row) {
            switch (v.kind()) {
            case Variant::Kind::Null:
                result->addNull();
                break;
            case Variant::Kind::Integer:
                result->addInteger(v.toText().toLongLong());
                break;
            case Variant::Kind::Decimal: {
                const QByteArray digits = v.toText().toUtf8();
                result->addDecimal(digits.constData(), digits.size());
                break;
            }
            case Variant::Kind::Double:
                result->addDouble(v.toDouble());
                break;
            case Variant::Kind::Text:
                result->addText(v.toText());
                break;
            case Variant::Kind::Date:
                result->addDate(v.toDate());
                break;
            case Variant::Kind::Timestamp:
                throw std::invalid_argument("in-memory tables hold no timestamps");
            }
        }
    }
    return result;
}

std::unique_ptr<DbRecordSet> MemoryConnection::query(const QString& statement, const QList<Variant>& parameters)
{
    (void)parameters;
    ++m_statements;
    static const QRegularExpression from(QStringLiteral("FROM\\s+[^.\\s]*\\.(\\w+)"),
                                         QRegularExpression::CaseInsensitiveOption);
    const auto match = from.match(statement);
    const QString table = match.captured(1).toUpper();
    if (!match.hasMatch() || !tables.contains(table))
        throw LaError(-2147217865, QStringLiteral("MemoryDb"), QStringLiteral("Tabelle %1 nicht gefunden.").arg(table));
    return fetchedRecordSet(tables.value(table));
}
