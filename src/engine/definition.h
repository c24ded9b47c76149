#pragma once

#include "common/medium.h"

#include <QString>
#include <vector>

namespace quendra {

struct SrcHead {
    QString path, filetype;
    qint16 header = 0;
    QString dbtable, delimiter, specdelimiter, sqlstring;
    Medium frommedium = Medium::TextFile;
    QString encoding; // of a text source, from Quendra's own table ("ANSI" when not chosen)
};

struct TrgHead {
    QString path, filetype;
    qint16 header = 0;
    QString dbtable, delimiter, specdelimiter, textsign;
    Medium frommedium = Medium::TextFile;
    qint16 fixlength = 0;
    qint16 chkrecord = 0;
    QString encoding;
};

struct srcBodyRec {
    QString field;
    qint16 length = 0, decscale = 0;
    QString fieldtype, format, description;
    qint16 pos = 0;
    QString splitdelimiter;
    qint16 sort = 0;
};

struct trgBodyRec {
    QString field;
    qint16 length = 0, decscale = 0;
    QString fieldtype, format, description, defaultvalue, srcfield, adjustment, chkfield;
    qint16 sort = 0, plus = 0, zeroPadding = 0 /* column 0padding */, ltrim = 0;
    QString command;
};

// The whole definition of one TransID, as a run works on it.
struct Definition {
    QString transId;
    QString indiv; // customer marker, empty when NULL
    SrcHead src;
    TrgHead trg;
    std::vector<srcBodyRec> srcFields; // in sort order
    std::vector<trgBodyRec> trgFields; // in sort order

    bool customerTorven() const;
};

// Loads the definition of transId from init.mdb through five configuration cursors
// (dbversion, srchead, trghead, srcbody and trgbody by sort). Throws quendra::Error
// when a head, the version row or the field lists are missing, and type error 13 for
// a NULL source medium.
Definition loadDefinition(const QString& transId);

} // namespace quendra
