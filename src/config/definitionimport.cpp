#include "config/definitionimport.h"

#include "common/error.h"
#include "config/definitionstore.h"
#include "config/sourceencoding.h"
#include "connectors/textencoding.h"

#include <QFileDevice>
#include <QList>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <algorithm>
#include <limits>
#include <memory>
#include <string_view>
#include <toml++/toml.h>
#include <vector>

namespace quendra {

namespace {

struct PendingRow {
    const LayoutTable* table;
    SnapshotRow row;
};

QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

class Reader {
public:
    explicit Reader(const QString& fileName) : m_file(fileName) {}

    [[noreturn]] void fail(const toml::source_position& at, const QString& what,
                           qint32 number = errnum::InvalidProcedureCall) const
    {
        throw Error(number, {},
                    QStringLiteral("%1, Zeile %2, Spalte %3: %4")
                        .arg(m_file)
                        .arg(qMax<qint64>(at.line, 1))
                        .arg(qMax<qint64>(at.column, 1))
                        .arg(what));
    }

    // A git merge that stopped on a conflict leaves its marker lines in the file.
    void refuseConflictMarkers(const QByteArray& text) const
    {
        const QList<QByteArray> lines = text.split('\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            for (const char* marker : {"<<<<<<<", "|||||||", "=======", ">>>>>>>"}) {
                if (lines[i].startsWith(marker))
                    fail({toml::source_index(i + 1), 1},
                         QStringLiteral("Die Datei enthält eine Konfliktmarke von git: sie wurde "
                                        "nicht fertig zusammengeführt. Bitte zuerst den "
                                        "Konflikt auflösen."));
            }
        }
    }

    toml::table parse(const QByteArray& text) const
    {
        refuseConflictMarkers(text);
        try {
            return toml::parse(std::string_view(text.constData(), size_t(text.size())));
        } catch (const toml::parse_error& e) {
            fail(e.source().begin,
                 QStringLiteral("Die Datei ist kein gültiges TOML (%1).").arg(qs(e.description())));
        }
    }

    const toml::table& table(const toml::node& node, const QString& key) const
    {
        if (!node.is_table())
            fail(node.source().begin, QStringLiteral("%1 muss eine Tabelle sein.").arg(key),
                 errnum::TypeMismatch);
        return *node.as_table();
    }

    const toml::array& array(const toml::node& node, const QString& key) const
    {
        if (!node.is_array())
            fail(node.source().begin, QStringLiteral("\"%1\" muss eine Liste sein.").arg(key),
                 errnum::TypeMismatch);
        return *node.as_array();
    }

    QString text(const toml::node& node, const QString& key, int maxLength) const
    {
        if (!node.is_string())
            fail(node.source().begin,
                 QStringLiteral("Der Wert von \"%1\" muss ein Text in Anführungszeichen sein.")
                     .arg(key),
                 errnum::TypeMismatch);
        const QString value = qs(node.as_string()->get());
        // A path, a name or a statement would end there for the system or the database.
        if (value.contains(QChar(0)))
            fail(node.source().begin,
                 QStringLiteral("Der Text von \"%1\" enthält ein Nullzeichen (\\u0000); Quendra "
                                "nimmt es in keinem Wert an.")
                     .arg(key),
                 errnum::TypeMismatch);
        const auto length = value.toUcs4().size();
        if (maxLength > 0 && length > maxLength)
            fail(node.source().begin,
                 QStringLiteral("Der Text von \"%1\" hat %2 Zeichen; die Spalte fasst höchstens "
                                "%3.")
                     .arg(key)
                     .arg(length)
                     .arg(maxLength),
                 errnum::TypeMismatch);
        return value;
    }

    QVariant value(const toml::node& node, const LayoutColumn& column) const
    {
        using Kind = LayoutColumn::Kind;
        using Run = StoredNumber;
        if (node.is_integer() && column.kind != Kind::Text) {
            const qint64 number = node.as_integer()->get();
            if (column.kind == Kind::Integer && (number < Run::min() || number > Run::max()))
                fail(node.source().begin,
                     QStringLiteral("Der Wert von \"%1\" ist %2; erlaubt sind ganze Zahlen von "
                                    "%3 bis %4.")
                         .arg(column.name)
                         .arg(number)
                         .arg(Run::min())
                         .arg(Run::max()),
                     errnum::Overflow);
            return qlonglong(number);
        }
        // A number column keeps empty text as the grids leave it.
        if (node.is_string() && (column.kind != Kind::Integer || node.as_string()->get().empty()))
            return text(node, column.name, column.maxLength);
        static const char* const expected[] = {"ein Text in Anführungszeichen",
                                               "eine ganze Zahl (oder leerer Text)",
                                               "ein Text oder eine ganze Zahl"};
        fail(node.source().begin,
             QStringLiteral("Der Wert von \"%1\" muss %2 sein.")
                 .arg(column.name, QString::fromUtf8(expected[int(column.kind)])),
             errnum::TypeMismatch);
    }

    // A row of table from the keys of t; keys in nested are read by the caller. With
    // further, a key that names no column of the schema is a further column of table.
    SnapshotRow row(const LayoutTable& table, const toml::table& t, const QString& where,
                    std::initializer_list<std::string_view> nested = {},
                    LayoutTable* further = nullptr) const
    {
        SnapshotRow row;
        // In the file's order, which new further columns take (the table keeps its keys sorted).
        std::vector<std::pair<const toml::key*, const toml::node*>> keys;
        for (auto&& [key, node] : t)
            keys.emplace_back(&key, &node);
        std::sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) {
            const toml::source_position x = a.first->source().begin, y = b.first->source().begin;
            return x.line != y.line ? x.line < y.line : x.column < y.column;
        });
        for (const auto& [keyAt, nodeAt] : keys) {
            const toml::key& key = *keyAt;
            const toml::node& node = *nodeAt;
            if (std::find(nested.begin(), nested.end(), key.str()) != nested.end())
                continue;
            const QString name = qs(key.str());
            const auto column = std::find_if(
                table.columns.begin(), table.columns.end(),
                [&](const LayoutColumn& c) { return c.name == name && name != u"transid"; });
            qsizetype i = column - table.columns.begin();
            if (column == table.columns.end() && further)
                i = furtherColumn(*further, name);
            if (i < 0 || i >= table.columns.size())
                fail(key.source().begin,
                     QStringLiteral("Unbekannter Schlüssel \"%1\" in %2.").arg(name, where));
            row.values.resize(table.columns.size());
            row.dirty.resize(table.columns.size());
            if (row.dirty.testBit(i)) // SQLite does not tell letter cases of names apart
                fail(key.source().begin, QStringLiteral("Die Spalte \"%1\" steht zweimal in %2.")
                                             .arg(table.columns[i].name, where));
            row.values[i] = value(node, table.columns[i]);
            row.dirty.setBit(i);
        }
        row.values.resize(table.columns.size());
        row.dirty.resize(table.columns.size());
        return row;
    }

    // The place of a further column of table, added when it is new; -1 for a name that is
    // a column of the schema in other letter case (a mistyped key).
    static qsizetype furtherColumn(LayoutTable& table, const QString& name)
    {
        const qsizetype standard = definitionTable(table.name).columns.size();
        for (qsizetype i = 0; i < table.columns.size(); ++i) {
            if (table.columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
                return i < standard ? -1 : i;
        }
        table.columns << LayoutColumn{name, LayoutColumn::Kind::Memo, 0};
        return table.columns.size() - 1;
    }

    const QString& file() const { return m_file; }

private:
    QString m_file;
};

struct Definition {
    qint64 format = 1;
    QString transId;
    toml::source_position transIdAt;
    QString sourceEncoding = defaultSourceEncoding(); // kept in Quendra's own table
    QVector<PendingRow> rows;
    QStringList warnings;
    // trgconvert with the further columns the file names
    std::shared_ptr<LayoutTable> convert =
        std::make_shared<LayoutTable>(definitionTable(QString::fromUtf16(FurtherColumnsTable)));
};

class DefinitionReader {
public:
    explicit DefinitionReader(const QString& fileName) : r(fileName) {}

    Definition read(const QByteArray& text)
    {
        const toml::table doc = r.parse(text);
        const qint64 format = readHeader(doc);
        for (auto&& [key, node] : doc) {
            const std::string_view k = key.str();
            if (k == "source" || k == "target")
                readSide(node, k == "target");
            else if (k == "translations")
                readLooseTranslations(node);
            else if (k == "end")
                readEnd(node);
            else if (k != "format" && k != "TransID")
                r.fail(key.source().begin,
                       QStringLiteral("Unbekannter Schlüssel \"%1\".").arg(qs(k)));
        }
        for (PendingRow& row : d.rows) { // as wide as the further columns make the table
            row.row.values.resize(row.table->columns.size());
            row.row.dirty.resize(row.table->columns.size());
        }
        if (doc.contains("end"))
            return std::move(d);
        if (format >= FirstFormatWithEnd)
            r.fail({toml::source_index(text.count('\n') + (text.endsWith('\n') ? 0 : 1)), 1},
                   QStringLiteral("Die Datei endet ohne ihre Endmarke ([end] mit complete = "
                                  "true): sie ist abgeschnitten. Bitte die Definition neu "
                                  "exportieren oder die vollständige Datei nehmen."));
        d.warnings << QStringLiteral("%1 hat das Format %2, das noch keine Endmarke kennt; ob die "
                                     "Datei vollständig ist, kann nicht geprüft werden.")
                          .arg(r.file())
                          .arg(format);
        return std::move(d);
    }

private:
    // Returns the format number.
    qint64 readHeader(const toml::table& doc)
    {
        const toml::node* format = doc.get("format");
        if (!format)
            r.fail({1, 1}, QStringLiteral("Die Formatnummer (format) fehlt."));
        if (!format->is_integer() || format->as_integer()->get() < 1)
            r.fail(format->source().begin,
                   QStringLiteral("Die Formatnummer (format) muss eine ganze Zahl ab 1 sein."),
                   errnum::TypeMismatch);
        d.format = format->as_integer()->get();
        if (d.format > DefinitionFormat)
            r.fail(format->source().begin,
                   QStringLiteral("Die Datei hat das Format %1; diese Version von Quendra liest "
                                  "Dateien bis Format %2. Bitte Quendra aktualisieren.")
                       .arg(format->as_integer()->get())
                       .arg(DefinitionFormat));
        const toml::node* id = doc.get("TransID");
        if (!id)
            r.fail({1, 1}, QStringLiteral("Die TransID fehlt."));
        d.transId = r.text(*id, QStringLiteral("TransID"), transIdLength());
        d.transIdAt = id->source().begin;
        if (d.transId.isEmpty())
            r.fail(d.transIdAt, QStringLiteral("Die TransID ist leer."));
        return format->as_integer()->get();
    }

    void readEnd(const toml::node& node)
    {
        const toml::table& end = r.table(node, QStringLiteral("[end]"));
        const toml::node* complete = end.get("complete");
        if (end.size() != 1 || !complete || complete->value_or(false) != true)
            r.fail(end.source().begin,
                   QStringLiteral("Die Endmarke [end] muss genau \"complete = true\" enthalten."));
    }

    void readSide(const toml::node& node, bool target)
    {
        const QString key = target ? QStringLiteral("target") : QStringLiteral("source");
        const toml::table& side = r.table(node, QLatin1Char('"') + key + QLatin1Char('"'));
        const LayoutTable& head = definitionTable(target ? u"trgHead"_qs : u"srcHead"_qs);
        const LayoutTable& body = definitionTable(target ? u"trgBody"_qs : u"srcBody"_qs);
        const toml::node* fields = side.get("fields");
        // A definition without a head row has no [source] header: the table then stems from
        // its first [[source.fields]] and starts where that does.
        const bool implicit = fields && fields->is_array() && !fields->as_array()->empty() &&
                              fields->as_array()->front().source().begin == side.source().begin;
        if (!implicit)
            d.rows.push_back({&head, r.row(head, side, QLatin1Char('[') + key + QLatin1Char(']'),
                                           {"fields", target ? "fields" : "encoding"})});
        if (const toml::node* encoding = side.get("encoding"); encoding && !target) {
            const QStringList words = sourceEncodingWords();
            d.sourceEncoding = encoding->is_string() ? qs(encoding->as_string()->get()) : QString();
            if (!words.contains(d.sourceEncoding))
                r.fail(encoding->source().begin,
                       QStringLiteral("Der Wert von \"encoding\" muss einer dieser Texte "
                                      "sein: \"%1\".")
                           .arg(words.join(QStringLiteral("\", \""))),
                       errnum::TypeMismatch);
        }
        if (!fields)
            return;
        const QString where = QStringLiteral("[[") + key + QStringLiteral(".fields]]");
        for (const toml::node& f : r.array(*fields, key + QStringLiteral(".fields"))) {
            const toml::table& field = r.table(f, where);
            d.rows.push_back({&body, r.row(body, field, where, {"translations"})});
            if (const toml::node* rows = field.get("translations"); rows && target)
                readTranslations(*rows, QStringLiteral("translations"),
                                 d.rows.back().row.values[fieldColumn(body)], where);
            else if (rows)
                r.fail(rows->source().begin,
                       QStringLiteral("Unbekannter Schlüssel \"translations\" in %1.").arg(where));
        }
    }

    void readLooseTranslations(const toml::node& node)
    {
        const QString where = QStringLiteral("[[translations]]");
        for (const toml::node& g : r.array(node, QStringLiteral("translations"))) {
            const toml::table& group = r.table(g, where);
            QVariant field;
            for (auto&& [key, value] : group) {
                if (key.str() == "field")
                    field = r.text(value, QStringLiteral("field"), fieldLength());
                else if (key.str() != "rows")
                    r.fail(key.source().begin, QStringLiteral("Unbekannter Schlüssel \"%1\" in %2.")
                                                   .arg(qs(key.str()), where));
            }
            if (const toml::node* rows = group.get("rows"))
                readTranslations(*rows, QStringLiteral("rows"), field, where);
        }
    }

    // key: the list's own name ("translations" in a field, "rows" in a loose group).
    void readTranslations(const toml::node& node, const QString& key, const QVariant& field,
                          const QString& where)
    {
        LayoutTable& convert = *d.convert;
        const int column = fieldColumn(convert);
        const QString rowWhere = QStringLiteral("einer Übersetzung in ") + where;
        for (const toml::node& t : r.array(node, key)) {
            const toml::table& entry = r.table(t, QStringLiteral("Jede Übersetzung in ") + where);
            // Before further columns travelled, such a key is a mistake.
            SnapshotRow row = r.row(convert, entry, rowWhere, {"field"},
                                    d.format >= FirstFormatWithFurtherColumns ? &convert : nullptr);
            if (entry.contains("field"))
                r.fail(t.source().begin,
                       QStringLiteral("Unbekannter Schlüssel \"field\" in %1.").arg(rowWhere));
            row.values[column] = field;
            row.dirty.setBit(column, field.isValid());
            d.rows.push_back({&convert, row});
        }
    }

    static int fieldColumn(const LayoutTable& table)
    {
        for (int i = 0; i < table.columns.size(); ++i) {
            if (table.columns[i].name == u"field")
                return i;
        }
        return -1;
    }
    static int columnLength(const QString& table, const QString& name)
    {
        for (const LayoutColumn& c : definitionTable(table).columns) {
            if (c.name == name)
                return c.maxLength;
        }
        return 0;
    }
    static int fieldLength() { return columnLength(u"trgconvert"_qs, u"field"_qs); }

public:
    static int transIdLength() { return columnLength(u"srcHead"_qs, u"transid"_qs); }

private:
    Reader r;
    Definition d;
};

// Adds the further columns of the file that the database's table lacks, as text columns
// as an installation that keeps them has them; one note each.
QStringList addFurtherColumns(const QSqlDatabase& db, const LayoutTable& wanted)
{
    const LayoutTable stored = storedLayout(db, wanted.name);
    QStringList notes;
    for (qsizetype i = definitionTable(wanted.name).columns.size(); i < wanted.columns.size();
         ++i) {
        const QString& name = wanted.columns[i].name;
        if (std::any_of(stored.columns.begin(), stored.columns.end(), [&](const LayoutColumn& c) {
                return c.name.compare(name, Qt::CaseInsensitive) == 0;
            }))
            continue;
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("alter table %1 add column %2 varchar(255)")
                            .arg(wanted.name, sqlColumnName(name))))
            throw sqlError(query.lastError());
        notes << QStringLiteral("Die Tabelle %1 hatte keine Spalte „%2“; sie wurde als Textspalte "
                                "angelegt.")
                     .arg(wanted.name, name);
    }
    return notes;
}

QStringList writeDefinition(const QSqlDatabase& db, const Definition& def, const QString& transId,
                            bool replace)
{
    execStatement(db, QStringLiteral("begin"));
    QStringList notes;
    try {
        notes = addFurtherColumns(db, *def.convert);
        if (replace) {
            for (const LayoutTable& t : definitionTables()) {
                QSqlQuery query(db);
                query.prepare(QStringLiteral("delete from ") + t.name +
                              QStringLiteral(" where transid = ?"));
                query.addBindValue(transId);
                if (!query.exec())
                    throw sqlError(query.lastError());
            }
        }
        for (PendingRow row : def.rows) {
            QStringList columns;
            for (qsizetype i = 0; i < row.table->columns.size(); ++i) {
                const LayoutColumn& c = row.table->columns[i];
                columns << c.name;
                if (c.name == u"transid") {
                    row.row.values[i] = transId;
                    row.row.dirty.setBit(i);
                }
            }
            insertRow(db, row.table->name, columns, row.row);
        }
        storeSourceEncoding(db, transId, def.sourceEncoding);
        execStatement(db, QStringLiteral("commit"));
    } catch (...) {
        QSqlQuery(db).exec(QStringLiteral("rollback"));
        throw;
    }
    return notes;
}

} // namespace

QString definitionIdOf(const QByteArray& text, const QString& fileName)
{
    return DefinitionReader(fileName).read(text).transId;
}

QByteArray readDefinitionFile(QIODevice& device, const QString& name)
{
    QByteArray text;
    while (text.size() <= MaxDefinitionBytes) {
        const QByteArray block =
            device.read(qMin<qint64>(1 << 16, MaxDefinitionBytes + 1 - text.size()));
        if (block.isEmpty()) // the end, or a read error
            break;
        text += block;
    }
    const auto* file = qobject_cast<const QFileDevice*>(&device);
    if (file && file->error() != QFileDevice::NoError)
        throw Error(
            errnum::PathFileAccess, {},
            QStringLiteral("%1 kann nicht gelesen werden: %2").arg(name, file->errorString()));
    if (text.size() > MaxDefinitionBytes)
        throw Error(errnum::Overflow, {},
                    QStringLiteral("%1 ist größer als %2 MB und wird nicht gelesen: eine "
                                   "Definition ist weit kleiner (10.000 Felder brauchen etwa "
                                   "3 MB). Ist es die richtige Datei?")
                        .arg(name)
                        .arg(MaxDefinitionBytes / (1024 * 1024)));
    return text;
}

ImportResult importDefinition(const QSqlDatabase& db, const QByteArray& text,
                              const QString& fileName, const ImportChoice& choice)
{
    const Definition def = DefinitionReader(fileName).read(text);
    QString transId = def.transId;
    if (!choice.newId.isEmpty()) {
        transId = choice.newId;
        const int maxLength = DefinitionReader::transIdLength();
        if (transId.toUcs4().size() > maxLength)
            throw Error(errnum::TypeMismatch, {},
                        QStringLiteral("Der neue Name \"%1\" ist länger als %2 Zeichen.")
                            .arg(transId)
                            .arg(maxLength));
    }
    if (!choice.replace && definitionExists(db, transId))
        Reader(fileName).fail(
            def.transIdAt,
            QStringLiteral("Die Definition \"%1\" gibt es schon. Sie wird nur ersetzt, wenn das "
                           "gewählt ist (quendra-run: --replace), oder unter einem neuen Namen "
                           "gespeichert (--as NAME).")
                .arg(transId));
    QStringList warnings = def.warnings;
    try {
        warnings << writeDefinition(db, def, transId, choice.replace);
    } catch (const Error& e) {
        const QString file = QUrl(db.databaseName()).toLocalFile();
        throw explainedSqlError(
            e, QStringLiteral("Die Definition \"%1\" kann nicht in %2 gespeichert werden.")
                   .arg(transId, file.isEmpty() ? db.databaseName() : file));
    }
    return {transId, warnings};
}

} // namespace quendra
