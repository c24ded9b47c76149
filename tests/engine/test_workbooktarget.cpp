// A run into an Excel 2007 workbook (file type "MS Excel 12.0"): the workbook openpyxl
// reads back holds every record cell for cell, numbers as numbers and dates as dates, with
// the field names above them when the header flag is set; an old workbook is replaced as a
// whole, and only when the run succeeds.
#include "engine/rundefinition.h"
#include "enginefixture.h"
#include "support/batchrun.h"

#include <QDir>
#include <QProcess>
#include <gtest/gtest.h>

using namespace quendra;
using namespace quendra::test;
using namespace Qt::StringLiterals;

namespace {

class WorkbookTarget : public ::testing::Test, public EngineFixture {
protected:
    // The definition id with the header flag set or not, into workbook(id).
    void define(const QString& id, int header)
    {
        db.exec(u"insert into srcHead (transid, path, delimiter, frommedium) "
                "values ('%1', '%2', ';', 0)"_s.arg(id, db.filePath(u"src.txt"_s)));
        db.exec(u"insert into trgHead (transid, path, filetype, header, dbtable, frommedium, "
                "fixlength, chkrecord) values ('%1', '%2', 'MS Excel 12.0', %3, 'Buchungen', "
                "2, 0, 0)"_s.arg(id, workbook(id))
                    .arg(header));
        const char* fields[][2] = {{"NR", "Zahl"},
                                   {"NAME", "Text"},
                                   {"BETRAG", "Zahl"},
                                   {"DATUM", "Datum"},
                                   {"NOTIZ", "Text"}};
        for (int i = 0; i < 5; ++i) {
            srcField(id, u"S%1"_s.arg(i + 1), i + 1);
            db.exec(u"insert into trgBody (transid, field, fieldtype, srcfield, sort) values "
                    "('%1', '%2', '%3', 'S%4', %4)"_s
                        .arg(id, QLatin1String(fields[i][0]), QLatin1String(fields[i][1]))
                        .arg(i + 1));
        }
    }
    QString workbook(const QString& id) const { return db.filePath(id + u".xlsx"_s); }

    // The workbook's cells as openpyxl reads them, one line a row, tab-separated.
    QString cells(const QString& id) const
    {
        QProcess python;
        python.start(u"/usr/bin/python3"_s,
                     {QStringLiteral(QUENDRA_TEST_DATA_DIR "/files/sheet-cells.py"), workbook(id),
                      u"Buchungen"_s});
        python.waitForFinished(60000);
        EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
        return QString::fromUtf8(python.readAllStandardOutput());
    }
};

TEST_F(WorkbookTarget, ReplacesTheWorkbookWithEveryRecordCellForCell)
{
    writeSource("1;M\xfcller;-1234,5;01.03.2024;\r\n" // Windows-1252
                "2;Wei\xdf \x80;0,1;31.12.1999;mit \"Anf\xfchrung\"\r\n"
                "3;;;;\r\n");
    for (const int header : {1, 0}) {
        const QString id = u"T%1"_s.arg(header);
        define(id, header);
        writeFile(workbook(id), "eine alte Arbeitsmappe");
        const RunResult result = runDefinition(id, nullptr);
        EXPECT_FALSE(result.failed()) << result.failure->error.description().toStdString();
        EXPECT_EQ(cells(id).toStdString(),
                  (QString(header ? u"NR\tNAME\tBETRAG\tDATUM\tNOTIZ\n"_s : QString()) +
                   u"1\tMüller\t-1234,5\t01.03.2024\t\n"
                   "2\tWeiß €\t0,1\t31.12.1999\tmit \"Anführung\"\n"
                   "3\t\t0\t\t\n"_s)
                      .toStdString()); // an empty number is 0
    }
}

TEST_F(WorkbookTarget, AFailingRunLeavesTheOldWorkbookAsItWas)
{
    define(u"T"_s, 1);
    writeFile(workbook(u"T"_s), "eine alte Arbeitsmappe");
    const QFileInfo book(workbook(u"T"_s)); // beside it what a killed run left: it goes
    writeFile(
        book.dir().filePath(u".%1.%2.AbC123"_s.arg(book.fileName()).arg(test::endedProcessId())),
        "halb");
    writeSource("1;a;1;01.01.2024;kurz\r\n2;b;2;02.01.2024;" + QByteArray(32768, 'x') + "\r\n");
    const RunResult result = runDefinition(u"T"_s, nullptr);
    ASSERT_TRUE(result.failure);
    EXPECT_EQ(result.failure->note, u"Datensatz 2"_s);
    EXPECT_TRUE(result.failure->error.description().contains(
        u"des Feldes NOTIZ hat 32768 Zeichen; eine Zelle einer Excel-Arbeitsmappe fasst "
        "höchstens 32.767."_s))
        << result.failure->error.description().toStdString();
    EXPECT_EQ(readFile(workbook(u"T"_s)), QByteArray("eine alte Arbeitsmappe"));
    // A macro workbook would lose its macros: it is not written at all.
    db.exec(u"update trgHead set path = '%1'"_s.arg(db.filePath(u"makros.xlsm"_s)));
    writeFile(db.filePath(u"makros.xlsm"_s), "Makros");
    const RunResult macros = runDefinition(u"T"_s, nullptr);
    ASSERT_TRUE(macros.failure);
    EXPECT_TRUE(macros.failure->error.description().contains(u"Makros gingen verloren"_s));
    EXPECT_EQ(readFile(db.filePath(u"makros.xlsm"_s)), QByteArray("Makros"));
    EXPECT_EQ(QDir(db.dir()).entryList(QDir::Files | QDir::Hidden).size(), 4)
        << QDir(db.dir()).entryList(QDir::Files | QDir::Hidden).join(u' ').toStdString();
}

} // namespace
