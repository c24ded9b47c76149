#include "config/definitionexport.h"

#include "common/error.h"
#include "config/definitionstore.h"
#include "config/sourceencoding.h"
#include "connectors/textencoding.h"

#include <QRegularExpression>

namespace quendra {

namespace {

// A TOML basic string: quotes, backslashes and control characters escaped, the rest as
// UTF-8.
QString tomlString(const QString& text)
{
    QString out(QLatin1Char('"'));
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"':
            out += u"\\\"";
            break;
        case '\\':
            out += u"\\\\";
            break;
        case '\b':
            out += u"\\b";
            break;
        case '\t':
            out += u"\\t";
            break;
        case '\n':
            out += u"\\n";
            break;
        case '\f':
            out += u"\\f";
            break;
        case '\r':
            out += u"\\r";
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7f)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out + QLatin1Char('"');
}

// A TOML key: bare when it can be, else a quoted string ("kostenträger").
QString tomlKey(const QString& name)
{
    static const QRegularExpression bare(QStringLiteral("^[A-Za-z0-9_-]+$"));
    return bare.match(name).hasMatch() ? name : tomlString(name);
}

class Writer {
public:
    Writer(const QSqlDatabase& db, const QString& transId) : m_db(db), m_transId(transId) {}

    // "key = value" of every column but transid that is not NULL.
    QStringList pairs(const LayoutTable& table, const SnapshotRow& row) const
    {
        QStringList result;
        for (qsizetype i = 0; i < table.columns.size(); ++i) {
            const LayoutColumn& column = table.columns[i];
            const QVariant& value = row.values[i];
            if (column.name == u"transid" || !value.isValid())
                continue;
            result << tomlKey(column.name) + QStringLiteral(" = ") + literal(table, column, value);
        }
        return result;
    }

    Snapshot rows(const LayoutTable& table) const { return definitionRows(m_db, table, m_transId); }

    // The head row, if the definition has one; two rows cannot be told apart by a run.
    const SnapshotRow* head(const Snapshot& heads, const QString& table) const
    {
        if (heads.rows.size() > 1)
            throw Error(errnum::InvalidProcedureCall, {},
                        QStringLiteral("Die Definition \"%1\" hat %2 Zeilen in %3 statt einer "
                                       "und kann so nicht exportiert werden.")
                            .arg(m_transId)
                            .arg(heads.rows.size())
                            .arg(table));
        return heads.rows.isEmpty() ? nullptr : &heads.rows.front();
    }

private:
    QString literal(const LayoutTable& table, const LayoutColumn& column,
                    const QVariant& value) const
    {
        const bool isText = value.typeId() == QMetaType::QString;
        const bool isInteger =
            value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int;
        // What the import takes back unchanged: text in text columns, numbers or empty text
        // in number columns, either in a memo.
        if (isText && (column.kind != LayoutColumn::Kind::Integer || value.toString().isEmpty()))
            return tomlString(value.toString());
        if (isInteger && column.kind != LayoutColumn::Kind::Text)
            return QString::number(value.toLongLong());
        throw Error(errnum::TypeMismatch, {},
                    QStringLiteral("Die Definition \"%1\" kann nicht exportiert werden: %2.%3 "
                                   "enthält den Wert %4, der in dieser Spalte nicht stehen "
                                   "sollte.")
                        .arg(m_transId, table.name, column.name, quotedValue(value.toString())));
    }

    QSqlDatabase m_db;
    QString m_transId;
};

const QRegularExpression& passwordPattern()
{
    static const QRegularExpression p(QStringLiteral(R"(\b(pwd|password)\s*=)"),
                                      QRegularExpression::CaseInsensitiveOption);
    return p;
}

void appendLines(QStringList& out, const QStringList& lines)
{
    out += lines;
}

int columnIndex(const LayoutTable& table, const QString& name)
{
    for (int i = 0; i < table.columns.size(); ++i) {
        if (table.columns[i].name == name)
            return i;
    }
    return -1;
}

QString translationLine(const Writer& w, const LayoutTable& convert, const SnapshotRow& row)
{
    // field is the group the row stands in; old and new follow.
    SnapshotRow rest = row;
    rest.values[columnIndex(convert, QStringLiteral("field"))] = QVariant();
    const QStringList p = w.pairs(convert, rest);
    return p.isEmpty()
               ? QStringLiteral("    {},")
               : QStringLiteral("    { ") + p.join(QStringLiteral(", ")) + QStringLiteral(" },");
}

} // namespace

DefinitionText exportDefinition(const QSqlDatabase& db, const QString& transId)
{
    if (!definitionExists(db, transId))
        throw Error(errnum::NoCurrentRecord, {},
                    QStringLiteral("Die Definition \"%1\" gibt es nicht.").arg(transId));
    const Writer w(db, transId);
    DefinitionText result;
    const LayoutTable convert = storedLayout(db, QString::fromUtf16(FurtherColumnsTable));
    const int convertField = columnIndex(convert, QStringLiteral("field"));
    const Snapshot translations = w.rows(convert);
    QStringList out{QStringLiteral("# Quendra-Definition"),
                    QStringLiteral("format = %1").arg(DefinitionFormat),
                    QStringLiteral("TransID = ") + tomlString(transId)};
    QVector<bool> placed(translations.rows.size(), false);

    const struct {
        const char* key;
        const char* head;
        const char* body;
        const char* what;
    } sides[] = {{"source", "srcHead", "srcBody", "der Quelle"},
                 {"target", "trgHead", "trgBody", "des Ziels"}};
    for (const auto& side : sides) {
        const QString key = QString::fromLatin1(side.key);
        const LayoutTable& headTable = definitionTable(QString::fromLatin1(side.head));
        const Snapshot heads = w.rows(headTable);
        if (const SnapshotRow* head = w.head(heads, headTable.name)) {
            out << QString() << QLatin1Char('[') + key + QLatin1Char(']');
            appendLines(out, w.pairs(headTable, *head));
            // Kept in Quendra's own table; the file names it only when it is no default.
            if (key == u"source") {
                const QString encoding = loadSourceEncoding(db, transId);
                if (encoding != defaultSourceEncoding())
                    out << QStringLiteral("encoding = ") + tomlString(encoding);
            }
            const QVariant path = head->values[columnIndex(headTable, QStringLiteral("path"))];
            if (passwordPattern().match(path.toString()).hasMatch())
                result.warnings << QStringLiteral("Die Verbindungsangabe %1 von \"%2\" enthält "
                                                  "ein Kennwort; es steht im Klartext in der "
                                                  "exportierten Datei.")
                                       .arg(QString::fromLatin1(side.what), transId);
        }
        const LayoutTable& bodyTable = definitionTable(QString::fromLatin1(side.body));
        const int bodyField = columnIndex(bodyTable, QStringLiteral("field"));
        QStringList seen;
        for (const SnapshotRow& field : w.rows(bodyTable).rows) {
            out << QString() << QStringLiteral("[[") + key + QStringLiteral(".fields]]");
            appendLines(out, w.pairs(bodyTable, field));
            const QVariant name = field.values[bodyField];
            if (key != u"target" || !name.isValid() || seen.contains(name.toString()))
                continue;
            seen << name.toString();
            QStringList rows;
            for (qsizetype i = 0; i < translations.rows.size(); ++i) {
                const QVariant& f = translations.rows[i].values[convertField];
                if (!placed[i] && f.isValid() && f.toString() == name.toString()) {
                    placed[i] = true;
                    rows << translationLine(w, convert, translations.rows[i]);
                }
            }
            if (!rows.isEmpty())
                out << QStringLiteral("translations = [") << rows << QStringLiteral("]");
        }
    }
    // Rows of names that are no target field, grouped by name in the order they were stored.
    for (qsizetype i = 0; i < translations.rows.size(); ++i) {
        if (placed[i])
            continue;
        const QVariant field = translations.rows[i].values[convertField];
        out << QString() << QStringLiteral("[[translations]]");
        if (field.isValid())
            out << QStringLiteral("field = ") + tomlString(field.toString());
        out << QStringLiteral("rows = [");
        for (qsizetype j = i; j < translations.rows.size(); ++j) {
            const QVariant& f = translations.rows[j].values[convertField];
            if (!placed[j] && f.isValid() == field.isValid() && f.toString() == field.toString()) {
                placed[j] = true;
                out << translationLine(w, convert, translations.rows[j]);
            }
        }
        out << QStringLiteral("]");
    }
    // A file cut at a table's boundary is still valid TOML; the import tells it by this end.
    out << QString() << QStringLiteral("[end]") << QStringLiteral("complete = true");
    result.text = (out.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
    return result;
}

QString definitionFileName(const QString& transId)
{
    static const QRegularExpression unsafe(QStringLiteral(R"([/\\:*?"<>|\x00-\x1f])"));
    QString name = transId;
    name.replace(unsafe, QStringLiteral("_"));
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')))
        name.prepend(QLatin1Char('_'));
    return name + QStringLiteral(".toml");
}

} // namespace quendra
