// The preview's target line shows the bytes the run hands over, not a line built anew
// from the composed values.
#include "ui/run/frmpreview.h"

#include <QTextDocument>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace quendra::ui {
namespace {

struct LineCase {
    const char* name;
    Medium medium;
    const char* encoding;
    std::vector<QString> composed; // the values, the first of field type "Text"
    QByteArray bytes;
    QString shown;  // the line as plain text
    QString marked; // a red mark's tooltip; empty: none
    int bands;      // values on a background of their own
};

const LineCase Lines[] = {
    // A database target binds the number, not its regional text.
    {"DatabaseColumns",
     Medium::DatabaseFile,
     "ANSI",
     {u"Müller"_s, u"12,5"_s},
     "NAME = 'M\xC3\xBCller'; BETRAG = 12.5\n",
     u"NAME = 'Müller'; BETRAG = 12.5"_s,
     {},
     0},
    {"AnsiLine",
     Medium::TextFile,
     "ANSI",
     {u"Mü ller"_s, u"1"_s},
     "\"M\xFC ller\";1\r\n",
     u"\"Mü·ller\";1"_s,
     {},
     2},
    // Code page 850 has "Ä" at another byte and no "€".
    {"OemLine",
     Medium::TextFile,
     "ASCII",
     {u"Ä€"_s, u"2"_s},
     "\"\x8E?\";2\r\n",
     u"\"Ä?\";2"_s,
     u"„€“ wird als „?“ geschrieben"_s,
     2},
    // Bytes of other lengths than the values: shown as they are, without bands.
    {"OtherLength", Medium::TextFile, "ANSI", {u"ab"_s, u"3"_s}, "xyz\r\n", u"xyz"_s, {}, 0},
};

TEST(frmPreview, ShowsTheBytesItIsHanded)
{
    for (const LineCase& c : Lines) {
        SCOPED_TRACE(c.name);
        Definition def;
        def.trg.frommedium = c.medium;
        def.trg.encoding = QString::fromLatin1(c.encoding);
        def.trg.delimiter = u";"_s;
        def.trg.textsign = u"\""_s;
        def.trgFields.resize(2);
        def.trgFields[0].fieldtype = u"Text"_s;
        frmPreview preview(RunMode::Preview, u"T"_s);
        preview.start(def);
        RecordOutcome outcome;
        outcome.target = c.composed;
        outcome.bytes = c.bytes;
        const QString html = preview.targetLine(outcome);
        QTextDocument shown;
        shown.setHtml(html);
        EXPECT_EQ(shown.toPlainText(), c.shown);
        EXPECT_EQ(html.contains(u"red"_s), !c.marked.isEmpty()) << html.toStdString();
        EXPECT_TRUE(html.contains(c.marked)) << html.toStdString();
        EXPECT_EQ(html.count(u"background-color: #"_s), c.bands);
    }
}

} // namespace
} // namespace quendra::ui
