#include "engine/definition.h"

#include "common/error.h"
#include "common/globals.h"
#include "config/clsinitdbconnect.h"
#include "config/configconnection.h"
#include "config/definitionlayout.h"
#include "config/sourceencoding.h"

#include <QVariant>
#include <cmath>

namespace quendra {

bool Definition::customerTorven() const
{
    return indiv.toUpper() == QLatin1StringView("TORVEN");
}

namespace {

using Cursor = clsInitDBConnect;

QString text(const Cursor& c, const char* column)
{
    const QVariant v = c.value(QString::fromLatin1(column));
    return v.isNull() ? QString() : v.toString();
}

// A numeric column as a 16-bit integer: NULL gives 0, a fraction is rounded, text that
// is no number is a type error and a number beyond 16 bits an overflow.
qint16 int16(const Cursor& c, const char* column)
{
    const QVariant v = c.value(QString::fromLatin1(column));
    if (v.isNull())
        return 0;
    bool ok = false;
    double n = v.toDouble(&ok);
    if (!ok)
        throw standardError(errnum::TypeMismatch, QString::fromLatin1(column));
    n = std::nearbyint(n);
    if (n < StoredNumber::min() || n > StoredNumber::max())
        throw standardError(errnum::Overflow, QString::fromLatin1(column));
    return static_cast<qint16>(n);
}

// Opens a cursor on table (filtered by transId unless it is null) and checks that it
// has a first row; missing rows are reported with the table's role in German.
void openFirstRow(Cursor& c, const QString& table, const QString& transId, const QString& role)
{
    c.setTable(table);
    if (!transId.isNull())
        c.setTransID(transId);
    c.init();
    if (c.isEOF())
        throw Error(errnum::NoCurrentRecord, {},
                    transId.isNull()
                        ? QStringLiteral("Die Tabelle %1 enthält keine Zeile.").arg(table)
                        : QStringLiteral("Für die Definition \"%1\" gibt es keinen %2 (%3).")
                              .arg(transId, role, table));
}

// Opens the field rows of transId ordered by sort; an empty list is an error.
qint32 openFieldRows(Cursor& c, const QString& table, const QString& transId, const QString& role)
{
    c.setTable(table);
    c.setOrderBy(QStringLiteral("sort"));
    c.setTransID(transId);
    c.init();
    if (!c.isEOF())
        c.MoveLast();
    const qint32 count = c.isEOF() ? 0 : c.AbsolutePosition();
    if (count < 1)
        throw Error(
            errnum::NoCurrentRecord, {},
            QStringLiteral("Die Definition \"%1\" hat keine %2 (%3).").arg(transId, role, table));
    c.MoveFirst();
    return count;
}

// The columns both heads have, under the same names.
template <class Head> void readHeadColumns(const Cursor& c, Head& h)
{
    h.path = text(c, "Path");
    h.filetype = text(c, "FileType");
    h.header = int16(c, "Header");
    h.dbtable = text(c, "dbtable");
    h.delimiter = text(c, "Delimiter");
    h.specdelimiter = text(c, "specdelimiter");
}

// The columns both field lists have, under the same names.
template <class Field> void readFieldColumns(const Cursor& c, Field& f)
{
    f.field = text(c, "field");
    f.length = int16(c, "Length");
    f.decscale = int16(c, "decscale");
    f.fieldtype = text(c, "FieldType");
    f.format = text(c, "Format");
    f.description = text(c, "Description");
}

void loadSrcHead(SrcHead& h, const QString& transId)
{
    Cursor c;
    openFirstRow(c, QStringLiteral("srchead"), transId, QStringLiteral("Quellkopf"));
    readHeadColumns(c, h);
    h.sqlstring = text(c, "SQLString");
    if (c.value(QStringLiteral("FromMedium")).isNull())
        throw standardError(errnum::TypeMismatch,
                            QStringLiteral("Das Quellmedium (FromMedium) ist nicht gesetzt"));
    h.frommedium = Medium(int16(c, "FromMedium"));
    h.encoding =
        loadSourceEncoding(ConfigConnection::shared(globals().configDbPath)->database(), transId);
}

void loadTrgHead(TrgHead& h, const QString& transId)
{
    Cursor c;
    openFirstRow(c, QStringLiteral("trghead"), transId, QStringLiteral("Zielkopf"));
    readHeadColumns(c, h);
    h.textsign = text(c, "Textsign");
    h.frommedium = Medium(int16(c, "FromMedium"));
    h.fixlength = int16(c, "FixLength");
    h.chkrecord = int16(c, "Chkrecord");
    const QVariant encoding = c.value(QStringLiteral("encoding"));
    h.encoding = encoding.isNull() ? QStringLiteral("0") : encoding.toString();
}

void loadSrcFields(std::vector<srcBodyRec>& fields, const QString& transId)
{
    Cursor c;
    fields.resize(
        openFieldRows(c, QStringLiteral("srcbody"), transId, QStringLiteral("Quellfelder")));
    for (srcBodyRec& f : fields) {
        readFieldColumns(c, f);
        f.pos = int16(c, "pos");
        f.splitdelimiter = text(c, "SplitDelimiter");
        f.sort = int16(c, "Sort");
        c.MoveNext();
    }
}

void loadTrgFields(std::vector<trgBodyRec>& fields, const QString& transId)
{
    Cursor c;
    fields.resize(
        openFieldRows(c, QStringLiteral("trgbody"), transId, QStringLiteral("Zielfelder")));
    for (trgBodyRec& f : fields) {
        readFieldColumns(c, f);
        f.defaultvalue = text(c, "DefaultValue");
        f.srcfield = text(c, "SrcField");
        f.adjustment = text(c, "Adjustment");
        f.chkfield = text(c, "ChkField");
        f.sort = int16(c, "Sort");
        f.plus = int16(c, "Plus");
        f.zeroPadding = int16(c, "0padding");
        f.ltrim = int16(c, "lTrim");
        f.command = text(c, "Command");
        c.MoveNext();
    }
}

} // namespace

Definition loadDefinition(const QString& transId)
{
    Definition def;
    def.transId = transId;
    {
        Cursor c;
        openFirstRow(c, QStringLiteral("dbversion"), QString(), QString());
        def.indiv = text(c, "indiv");
    }
    // A TransID is never null here, so that the filter is always set.
    const QString id = transId.isNull() ? QStringLiteral("") : transId;
    loadSrcHead(def.src, id);
    loadTrgHead(def.trg, id);
    loadSrcFields(def.srcFields, id);
    loadTrgFields(def.trgFields, id);
    return def;
}

} // namespace quendra
