#include "common/globals.h"
#include "common/version.h"
#include "engine/indivtorven.h"
#include "engine/rundefinition.h"
#include "support/casename.h"
#include "support/recordingsink.h"
#include "support/tempconfigdb.h"

#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>

using namespace quendra;
using namespace Qt::StringLiterals;

namespace {
using quendra::test::PrintTo; // rows print their name

const char* const kBookingFields[] = {"EWJHCD", "EWFJNB", "EWJICD", "EWENST", "EWAUST",
                                      "EWBQVA", "EWCPCD", "EWCQCD", "EWJEST", "EWI6NB"};

// One lookup row of the customer-extended translation table.
struct LookupRow {
    const char* konto;
    const char* filiale;
    const char* kontoiris;
    const char* kontotyp = "T";
    const char* kostenstelle = " KS ";
    const char* kostentraeger = "KT";
    const char* steuertyp = "V";
    const char* steuerkey = "19";
};

const LookupRow kCorrection{"korrekturbuchung", "", "999000", "K", "KK", "KTK", "", "0"};

std::string joined(const QStringList& lines)
{
    return lines.join(u'\n').toStdString();
}

QString sql(const char* text)
{
    return QString::fromUtf8(text).replace(QLatin1Char('\''), QStringLiteral("''"));
}

// A customer init.mdb with the extended trgconvert table and booking definitions.
class TorvenFixture : public ::testing::Test {
protected:
    TorvenFixture() : db(test::TempConfigDb::Content::EmptyFile)
    {
        QStringList schema = test::TempConfigDb::schemaStatements();
        schema.replaceInStrings(
            QStringLiteral("create table trgconvert (transid varchar(20), field varchar(20), old "
                           "varchar(255), new varchar(255))"),
            QStringLiteral("create table trgconvert (transid varchar(20), field varchar(20), old "
                           "varchar(255), new varchar(255), Konto varchar(20), filiale "
                           "varchar(10), kontoiris varchar(20), kontotyp varchar(10), "
                           "kostenstelle varchar(20), \"kostenträger\" varchar(20), steuertyp "
                           "varchar(10), steuerkey varchar(10))"));
        db.execAll(schema);
        db.exec(QStringLiteral("update dbversion set indiv = 'Torven'"));
        indivTorven::resetState();
    }

    // Definition transId: text source "konto-nummer;filiale;buchungsdatum;betrag",
    // text target with the given field names (all plain text, ";" separated).
    void define(const QString& transId, const QStringList& targetFields,
                const std::vector<LookupRow>& lookups,
                const QStringList& sourceFields = {
                    QStringLiteral("konto-nummer"), QStringLiteral("filiale"),
                    QStringLiteral("buchungsdatum"), QStringLiteral("betrag")})
    {
        QStringList s;
        s << QStringLiteral("insert into srcHead (transid, path, delimiter, frommedium) values "
                            "('%1', '%2', ';', 0)")
                 .arg(transId, source(transId));
        s << QStringLiteral("insert into trgHead (transid, path, delimiter, textsign, frommedium, "
                            "fixlength, chkrecord, encoding) values ('%1', '%2', ';', '', 0, 0, "
                            "0, 'ANSI')")
                 .arg(transId, target(transId));
        for (int i = 0; i < sourceFields.size(); ++i)
            s << QStringLiteral(
                     "insert into srcBody (transid, field, sort) values ('%1', '%2', %3)")
                     .arg(transId, sourceFields[i])
                     .arg(i);
        for (int i = 0; i < targetFields.size(); ++i)
            s << QStringLiteral("insert into trgBody (transid, field, fieldtype, sort) values "
                                "('%1', '%2', 'Text', %3)")
                     .arg(transId, targetFields[i])
                     .arg(i);
        for (const LookupRow& r : lookups)
            s << QStringLiteral("insert into trgconvert (transid, Konto, filiale, kontoiris, "
                                "kontotyp, kostenstelle, \"kostenträger\", steuertyp, steuerkey) "
                                "values ('%1', '%2', '%3', '%4', '%5', '%6', '%7', '%8', '%9')")
                     .arg(transId, sql(r.konto), sql(r.filiale), sql(r.kontoiris), sql(r.kontotyp),
                          sql(r.kostenstelle), sql(r.kostentraeger), sql(r.steuertyp),
                          sql(r.steuerkey));
        db.execAll(s);
    }

    static QStringList bookingFields()
    {
        QStringList f;
        for (const char* name : kBookingFields)
            f << QString::fromLatin1(name);
        return f;
    }

    QString source(const QString& transId) const { return db.filePath(transId + u".src"_s); }
    QString target(const QString& transId) const { return db.filePath(transId + u".out"_s); }

    void writeSource(const QString& transId, const QStringList& lines) const
    {
        QFile f(source(transId));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        for (const QString& line : lines)
            f.write(line.toLatin1() + "\r\n");
    }

    // Runs the definition as the run button does; returns the target lines joined by line
    // feeds, for comparisons that print readably.
    std::string run(const QString& transId)
    {
        showRunResult(runDefinition(transId));
        QFile f(target(transId));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QStringList lines = QString::fromLatin1(f.readAll()).split(QStringLiteral("\r\n"));
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return joined(lines);
    }

    test::RecordingSink sink;
    test::TempConfigDb db;
};

struct BookingCase {
    const char* name;
    std::vector<LookupRow> lookups;
    QStringList source;
    QStringList expected;
};

class TorvenBookings : public TorvenFixture, public ::testing::WithParamInterface<BookingCase> {};

TEST_P(TorvenBookings, WritesBookingLines)
{
    const BookingCase& c = GetParam();
    define(QStringLiteral("T1"), bookingFields(), c.lookups);
    writeSource(QStringLiteral("T1"), c.source);
    EXPECT_EQ(run(QStringLiteral("T1")), joined(c.expected));
    EXPECT_TRUE(sink.boxes.empty()) << sink.boxes.front().text.toStdString();
}

const LookupRow kAccount{"4711", "01", "100200", "S1", " KST1 ", "KT", "V", "19"};

INSTANTIATE_TEST_SUITE_P(
    Cases, TorvenBookings,
    ::testing::Values(
        BookingCase{
            "threeBookingsWithCorrection",
            {kAccount, kCorrection},
            {u"4711;01;31.12.2004;100"_s, u"4711;01;31.12.2004;-30"_s, u"4711;01;31.12.2004;-20"_s},
            {u"100200041231;0;100200;S1;H;100;KST1;KT;V;19"_s,
             u"100200041231;1;100200;S1;S;30;KST1;KT;V;19"_s,
             u"100200041231;2;100200;S1;S;20;KST1;KT;V;19"_s,
             u"100200041231;3;999000;K;S;50;KK;KTK;;0"_s}},
        BookingCase{"groupNettingToZeroHasNoCorrection",
                    {kAccount, kCorrection},
                    {u"4711;01;31.12.2004;100,25"_s, u"4711;01;31.12.2004;-100,25"_s},
                    {u"100200041231;0;100200;S1;H;100,25;KST1;KT;V;19"_s,
                     u"100200041231;1;100200;S1;S;100,25;KST1;KT;V;19"_s}},
        BookingCase{"decimalsBalanceExactly",
                    {kAccount, kCorrection},
                    {u"4711;01;31.12.2004;0,1"_s, u"4711;01;31.12.2004;0,2"_s,
                     u"4711;01;31.12.2004;-0,3"_s},
                    {u"100200041231;0;100200;S1;H;0,1;KST1;KT;V;19"_s,
                     u"100200041231;1;100200;S1;H;0,2;KST1;KT;V;19"_s,
                     u"100200041231;2;100200;S1;S;0,3;KST1;KT;V;19"_s}},
        BookingCase{"nonNumericAmount",
                    {kAccount, kCorrection},
                    {u"4711;01;31.12.2004;abc"_s, u"4711;01;31.12.2004;-12,50"_s},
                    {u"100200041231;0;100200;S1;S;0;KST1;KT;V;19"_s,
                     u"100200041231;1;100200;S1;S;12,5;KST1;KT;V;19"_s,
                     u"100200041231;2;999000;K;H;12,5;KK;KTK;;0"_s}},
        BookingCase{"accountWithoutLookupRow",
                    {kAccount},
                    {u"5000;01;01.02.2005;0"_s},
                    {u"050201;0;999999;;H;0;;;;"_s}},
        BookingCase{"branchlessRowAppliesToEveryBranch",
                    {{"4711", "", "777"}, {"4711", "02", "888"}, kCorrection},
                    {u"4711;02;01.02.2005;0"_s, u"4711;03;01.02.2005;0"_s},
                    {u"777050201;0;777;T;H;0;KS;KT;V;19"_s, u"777050201;0;777;T;H;0;KS;KT;V;19"_s}},
        BookingCase{"exactBranchEarlierWins",
                    {{"4711", "02", "888"}, {"4711", "", "777"}, kCorrection},
                    {u"4711;02;01.02.2005;0"_s, u"4711;03;01.02.2005;0"_s},
                    {u"888050201;0;888;T;H;0;KS;KT;V;19"_s, u"777050201;0;777;T;H;0;KS;KT;V;19"_s}},
        BookingCase{
            "branchAndDateChangeCloseGroups",
            {kAccount, {"4711", "02", "300400"}, kCorrection},
            {u"4711;01;31.12.2004;10"_s, u"4711;02;31.12.2004;20"_s, u"4711;02;01.01.2005;-5"_s},
            {u"100200041231;0;100200;S1;H;10;KST1;KT;V;19"_s,
             u"100200041231;1;999000;K;S;10;KK;KTK;;0"_s,
             u"300400041231;0;300400;T;H;20;KS;KT;V;19"_s,
             u"300400041231;1;999000;K;S;20;KK;KTK;;0"_s,
             u"300400050101;0;300400;T;S;5;KS;KT;V;19"_s,
             u"300400050101;1;999000;K;H;5;KK;KTK;;0"_s}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TorvenFixture, LowerCaseTargetNamesAreBookingFields)
{
    define(QStringLiteral("T1"), bookingFields().replaceInStrings(u"EWBQVA"_s, u"ewbqva"_s),
           {kAccount, kCorrection});
    writeSource(QStringLiteral("T1"), {u"4711;01;31.12.2004;-7"_s});
    EXPECT_EQ(run(QStringLiteral("T1")),
              joined(QStringList{u"100200041231;0;100200;S1;S;7;KST1;KT;V;19"_s,
                                 u"100200041231;1;999000;K;H;7;KK;KTK;;0"_s}));
}

TEST_F(TorvenFixture, SecondRunContinuesTheState)
{
    QStringList fields = bookingFields();
    fields.move(1, 0); // EWFJNB before EWJHCD: numbered before the batch resets it
    define(QStringLiteral("T1"), fields, {kAccount, kCorrection});
    writeSource(QStringLiteral("T1"), {u"4711;01;31.12.2004;10"_s});
    EXPECT_EQ(run(QStringLiteral("T1")),
              joined(QStringList{u"0;100200041231;100200;S1;H;10;KST1;KT;V;19"_s,
                                 u"0;100200041231;999000;K;S;10;KK;KTK;;0"_s}));
    // Same group as the last record of the first run: the line number goes on from there.
    EXPECT_EQ(run(QStringLiteral("T1")),
              joined(QStringList{u"1;100200041231;100200;S1;H;10;KST1;KT;V;19"_s,
                                 u"0;100200041231;999000;K;S;10;KK;KTK;;0"_s}));
}

TEST_F(TorvenFixture, EachDefinitionLooksUpInItsOwnTable)
{
    define(QStringLiteral("A"), bookingFields(), {{"4711", "", "111"}});
    define(QStringLiteral("B"), bookingFields(), {{"4711", "", "222"}});
    writeSource(QStringLiteral("A"), {u"4711;01;31.12.2004;0"_s});
    writeSource(QStringLiteral("B"), {u"4711;01;31.12.2004;0"_s});
    EXPECT_EQ(run(QStringLiteral("A")), joined(QStringList{u"111041231;0;111;T;H;0;KS;KT;V;19"_s}));
    EXPECT_EQ(run(QStringLiteral("B")), joined(QStringList{u"222041231;0;222;T;H;0;KS;KT;V;19"_s}));
}

TEST_F(TorvenFixture, EmptySourceEndsWithoutError)
{
    define(QStringLiteral("T1"), bookingFields(), {kAccount, kCorrection});
    writeSource(QStringLiteral("T1"), {});
    EXPECT_EQ(run(QStringLiteral("T1")), "");
    EXPECT_TRUE(sink.boxes.empty());
}

// The customer conversion reads the source values by number: a record with more columns
// than the first stops the run instead of passing values on that the first one lacks.
TEST_F(TorvenFixture, LongerRecordThanTheFirstStops)
{
    define(QStringLiteral("T1"), {u"NOTIZ"_s}, {kAccount},
           {u"konto-nummer"_s, u"filiale"_s, u"buchungsdatum"_s, u"betrag"_s, u"notiz"_s});
    db.exec(QStringLiteral("update trgBody set srcfield = 'notiz'"));
    writeSource(QStringLiteral("T1"), {u"4711;01;31.12.2004;0"_s, u"4711;01;31.12.2004;0;X"_s,
                                       u"4711;01;31.12.2004;0"_s});
    run(QStringLiteral("T1"));
    ASSERT_EQ(sink.boxes.size(), 1u);
    EXPECT_TRUE(sink.boxes[0].text.contains(u"Zeile 2 hat 5 Felder, die erste Zeile nur 4"_s))
        << sink.boxes[0].text.toStdString();
}

struct FailureCase {
    const char* name;
    QStringList sourceFields;
    QStringList targetFields;
    QStringList source;
    const char* text;
};

class TorvenFailures : public TorvenFixture, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(TorvenFailures, ShowErrorBox)
{
    const FailureCase& c = GetParam();
    define(QStringLiteral("T1"), c.targetFields, {kAccount, kCorrection}, c.sourceFields);
    writeSource(QStringLiteral("T1"), c.source);
    run(QStringLiteral("T1"));
    ASSERT_EQ(sink.boxes.size(), 1u);
    EXPECT_EQ(sink.boxes[0].title, u"Quendra (" QUENDRA_VERSION ") : clsFileConvert.RunConvert"_s);
    EXPECT_EQ(sink.boxes[0].text.toStdString(), std::string(c.text));
}

const QStringList kSourceFields{u"konto-nummer"_s, u"filiale"_s, u"buchungsdatum"_s, u"betrag"_s};

INSTANTIATE_TEST_SUITE_P(
    Cases, TorvenFailures,
    ::testing::Values(
        FailureCase{"invalidBookingDate",
                    kSourceFields,
                    {u"EWJHCD"_s},
                    {u"4711;01;31.13.2004;1"_s},
                    "Anwendung: Quendra (" QUENDRA_VERSION
                    ")\r\nModul: clsFileConvert.runTargedConvert\r\n"
                    "Source: Modul: indivTorven.torvenRun\r\n\r\nFehlernummer:  13\r\n"
                    "(Datensatz 1, Feld EWJHCD)\r\n\r\nTypen unverträglich: Buchungsdatum "
                    "\"31.13.2004\" ist kein gültiges Datum"},
        FailureCase{"missingSourceField",
                    {u"konto-nummer"_s, u"filiale"_s, u"buchungsdatum"_s},
                    {u"EWBQVA"_s},
                    {u"4711;01;31.12.2004"_s},
                    "Anwendung: Quendra (" QUENDRA_VERSION
                    ")\r\nModul: clsFileConvert.runTargedConvert\r\n"
                    "Source: Modul: indivTorven.torvenRun\r\n\r\nFehlernummer:  9\r\n"
                    "(Datensatz 1, Feld EWBQVA)\r\n\r\nIndex außerhalb des gültigen "
                    "Bereichs: Quellfeld \"betrag\" fehlt"},
        FailureCase{"missingTargetFieldForCorrection",
                    kSourceFields,
                    {u"EWJHCD"_s, u"EWFJNB"_s, u"EWBQVA"_s, u"EWAUST"_s},
                    {u"4711;01;31.12.2004;5"_s},
                    "Anwendung: Quendra (" QUENDRA_VERSION
                    ")\r\nModul: indivTorven.torvenRunCorrectAmount\r\n"
                    "Source: Modul: clsFileConvert.setToValue\r\n\r\nFehlernummer:  9\r\n"
                    "Index außerhalb des gültigen Bereichs: Zielfeld EWJICD gibt es nicht"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TorvenFixture, MissingExtendedColumnIsNamed)
{
    db.exec(QStringLiteral("alter table trgconvert drop column steuerkey"));
    define(QStringLiteral("T1"), {QStringLiteral("EWJHCD")}, {});
    writeSource(QStringLiteral("T1"), {u"4711;01;31.12.2004;5"_s});
    run(QStringLiteral("T1"));
    ASSERT_EQ(sink.boxes.size(), 1u);
    EXPECT_TRUE(sink.boxes[0].text.endsWith(
        u"Das Element wurde in der Auflistung nicht gefunden.: Spalte \"steuerkey\" fehlt in der "
        u"Tabelle trgconvert"_s))
        << sink.boxes[0].text.toStdString();
}

} // namespace
