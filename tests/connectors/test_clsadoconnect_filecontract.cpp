// The connector contract for reading the database file types: regional form, moves at
// the ends, placeholders and the column past the last. Writing: test_writercontract.cpp.
#include "common/beep.h"
#include "common/error.h"
#include "common/functions.h"
#include "common/globals.h"
#include "connectors/clsadoconnect.h"
#include "connectors/filetypes.h"
#include "filefixtures.h"
#include "support/skip.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace quendra;
using namespace quendra::test;

namespace {

// What one file type offers to the contract.
struct FileSource {
    QString connectionString;
    QString table;                 // a table with rows
    QString firstTable;            // what $TBL(1) stands for
    QString emptyTable;            // a table without rows; empty when the type has none here
    std::vector<QStringList> rows; // the rows of table as getField gives them
};

struct FileCase {
    const char* name;
    // Sets the source up in dir; an empty connection string means skip.
    std::function<FileSource(const QTemporaryDir& dir)> make;
};

void PrintTo(const FileCase& c, std::ostream* os)
{
    *os << c.name;
}

QStringList texts(std::initializer_list<const char*> values)
{
    QStringList r;
    for (const char* v : values)
        r.append(QString::fromUtf8(v));
    return r;
}

const std::vector<QStringList> KundenRows = {
    texts({"1", "Müller", "12,5", "31.12.2005", ""}),
    texts({"2", "Zoë € Straße", "-1234,75", "29.02.2024", "x"}),
    texts({"3", "", "", "", "leer"}),
};

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file");
}

FileSource csvFolder(const QTemporaryDir& dir)
{
    writeFile(dir.filePath(QStringLiteral("kunden.csv")),
              ansi("nr,name,betrag,datum,notiz\r\n1,Müller,\"12,5\",31.12.2005,\r\n"
                   "2,Zoë € Straße,\"-1234,75\",29.02.2024,x\r\n3,,,,leer\r\n"));
    writeFile(dir.filePath(QStringLiteral("leer.csv")), "nr,name,betrag,datum,notiz\r\n");
    return {getADOProvider(2, dir.path(), QStringLiteral("Text"), true), QStringLiteral("kunden"),
            QStringLiteral("kunden"), QStringLiteral("leer"), KundenRows};
}

FileSource dbaseFolder(const QTemporaryDir& dir)
{
    createDbf(dir.filePath(QStringLiteral("kunden.dbf")),
              {{"1", "Müller", "12.5", "20051231", nullptr},
               {"2", "Zoë € Straße", "-1234.75", "20240229", "x"},
               {"3", nullptr, nullptr, nullptr, "leer"}});
    createDbf(dir.filePath(QStringLiteral("leer.dbf")), {});
    return {getADOProvider(2, dir.path(), QStringLiteral("dBase III"), false),
            QStringLiteral("kunden"), QStringLiteral("kunden"), QStringLiteral("leer"), KundenRows};
}

FileSource paradoxFolder(const QTemporaryDir& dir)
{
    createParadox(dir.filePath(QStringLiteral("kunden.db")));
    createParadox(dir.filePath(QStringLiteral("leer.db")));
    const QString cs = getADOProvider(2, dir.path(), QStringLiteral("Paradox 5.0"), false);
    {
        // Paradox tables are filled through the connector itself.
        clsADOConnect c;
        c.setSource(cs);
        c.setTable(QStringLiteral("kunden"));
        c.init();
        const QVariant rows[3][5] = {
            {1, QStringLiteral("Müller"), 12.5, QDate(2005, 12, 31), QVariant()},
            {2, QStringLiteral("Zoë € Straße"), -1234.75, QDate(2024, 2, 29), QStringLiteral("x")},
            {3, QVariant(), QVariant(), QVariant(), QStringLiteral("leer")}};
        for (const auto& row : rows) {
            c.record().AddNew();
            for (int i = 0; i < 5; ++i)
                c.record().setItem(i, row[i]);
            c.record().update();
        }
    }
    return {cs, QStringLiteral("kunden"), QStringLiteral("kunden"), QStringLiteral("leer"),
            KundenRows};
}

FileSource excelFile(const QTemporaryDir&)
{
    return {getADOProvider(2, workbook(), QStringLiteral("MS Excel 8.0"), true),
            QStringLiteral("Kunden"),
            QStringLiteral("Kunden"),
            {},
            {texts({"Müller", "Köln", "1234,56", "01.03.2024", "3"}),
             texts({"Weiß €", "", "0,5", "31.12.1999", "12"})}};
}

FileSource accessJetFile(const QTemporaryDir&)
{
    const QString mdb = monitorMdb();
    if (mdb.isEmpty())
        return {};
    return {getADOProvider(2, mdb, QStringLiteral("MS Access"), false),
            QStringLiteral("Monitor_Authenticate"),
            QStringLiteral("Monitor_Authenticate"),
            {},
            {texts({"1", "1234567890", "12345678", "33600", "nobody@sunnyline.co.za", "Wahr",
                    "Wahr", "Wahr", "Wahr", "Falsch", "17.06.2000 20:36:24",
                    "Example Circuit Added For Monitor Example To Potential New Clients"})}};
}

const FileCase FileCases[] = {
    {"CsvFolder", csvFolder},
    {"Dbase", dbaseFolder},
    {"Paradox", paradoxFolder},
    {"ExcelReadOnly", excelFile},
    {"AccessJetReadOnly", accessJetFile},
};

class FileConnectorContract : public ::testing::TestWithParam<FileCase> {
protected:
    static void SetUpTestSuite() { initGlobals(QStringLiteral("/nonexistent/init.mdb")); }

    void SetUp() override
    {
        source = GetParam().make(dir);
        if (source.connectionString.isEmpty())
            QUENDRA_SKIP() << "Testdatei fehlt: scripts/fetch-fixtures.sh build/fixtures ausführen";
        previousBeep = setBeepHook([this] { ++beeps; });
    }
    void TearDown() override
    {
        if (!source.connectionString.isEmpty())
            setBeepHook(previousBeep);
    }

    std::unique_ptr<clsADOConnect> open(const QString& table)
    {
        auto c = std::make_unique<clsADOConnect>();
        c->setSource(source.connectionString);
        c->setTable(table);
        c->init();
        return c;
    }

    static std::vector<QStringList> allRows(clsADOConnect& c)
    {
        std::vector<QStringList> rows;
        for (; !c.isEOF(); c.MoveNext()) {
            QStringList row;
            for (int i = 0; i < c.fieldCount(); ++i)
                row.append(c.getField(i).toString());
            rows.push_back(row);
        }
        return rows;
    }

    QTemporaryDir dir;
    FileSource source;
    int beeps = 0;
    BeepHook previousBeep;
};

TEST_P(FileConnectorContract, ReadsRowsByTableAndPlaceholder)
{
    EXPECT_EQ(allRows(*open(source.table)), source.rows);
    auto byNumber = open(QStringLiteral("$TBL(1)"));
    EXPECT_EQ(byNumber->replSQLTable(QStringLiteral("$TBL(1)")), source.firstTable);
    auto byPrefix = open(QStringLiteral("$TBL(%1)").arg(source.table.left(3).toUpper()));
    EXPECT_EQ(allRows(*byPrefix), source.rows);
}

TEST_P(FileConnectorContract, MovesAtTheEndsAndTheColumnPastTheLast)
{
    auto c = open(source.table);
    const qint64 count = static_cast<qint64>(source.rows.size());
    c->MoveLast();
    EXPECT_EQ(c->AbsolutePosition(), count);
    c->MoveNext();
    EXPECT_TRUE(c->isEOF());
    EXPECT_THROW(c->MoveNext(), Error);
    c->MovePrevious();
    EXPECT_EQ(c->AbsolutePosition(), count);
    c->MoveFirst();
    c->MovePrevious();
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(c->AbsolutePosition(), 1);
    try {
        c->getField(c->fieldCount());
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errnum::ItemNotFound);
    }
    if (!source.emptyTable.isEmpty()) {
        auto empty = open(source.emptyTable);
        EXPECT_TRUE(empty->isEOF());
        EXPECT_EQ(empty->fieldCount(), 5);
        EXPECT_THROW(empty->MoveFirst(), Error);
    }
}

INSTANTIATE_TEST_SUITE_P(FileTypes, FileConnectorContract, ::testing::ValuesIn(FileCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
