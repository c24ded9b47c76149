#include "config/configschema.h"

namespace quendra {

QStringList schemaStatements()
{
    // The column 0padding begins with a digit and so is written as a quoted identifier.
    return {
        QStringLiteral("create table srcHead ( transid       varchar(20), "
                       "path          varchar(255), filetype      varchar(20), "
                       "header        int, dbtable       varchar(50), "
                       "delimiter     varchar(10), specdelimiter varchar(20),  "
                       "sqlstring     memo,  frommedium    int)"),
        QStringLiteral("create table trgHead ( transid       varchar(20), "
                       "path          varchar(255), filetype      varchar(20), "
                       "header        int, dbtable       varchar(50), "
                       "delimiter     varchar(10), specdelimiter varchar(20),  "
                       "textsign      varchar(10),  frommedium    int,  "
                       "fixlength     int,  chkrecord     int,  encoding      varchar(10))"),
        QStringLiteral("create table srcBody ( transid       varchar(20), "
                       "field         varchar(20), length        int, "
                       "decscale      int, fieldtype     varchar(10), "
                       "format        varchar(20), description   varchar(50), "
                       "pos           int,  splitdelimiter varchar(10), sort          integer)"),
        QStringLiteral("create index id_srcbody_sort on srcBody (sort)"),
        QStringLiteral("create table trgBody ( transid       varchar(20), "
                       "field         varchar(20), length        int, "
                       "decscale      int, fieldtype     varchar(10), "
                       "format        varchar(20), description   varchar(50), "
                       "defaultvalue  varchar(200), srcfield      varchar(20), "
                       "adjustment    varchar(10), chkfield      varchar(10), "
                       "sort          integer, plus          integer, "
                       "\"0padding\"      integer, ltrim         integer, "
                       "command       varchar(255))"),
        QStringLiteral("create index id_trgbody_sort on trgBody (sort)"),
        QStringLiteral("create table trgconvert ( transid       varchar(20), "
                       "field         varchar(20), old           varchar(255), "
                       "new           varchar(255))"),
        QStringLiteral("create table dbversion ( version       int , indiv         varchar(50))"),
        QStringLiteral("insert into dbversion (version) values (2)"),
    };
}

} // namespace quendra
