#pragma once

// The file types of the media catalogue, in the order of the windows' choice lists, the
// ODBC data source last. Each row (a FileTypeSupport, see filetypes.h) is defined beside
// its reader and writer, in the file named; a new file type is its files and one line here.
#define QUENDRA_FILE_TYPES(X)                                                                      \
    X(DbaseIIIType)     /* dbasefile.cpp */                                                        \
    X(As400Type)        /* filetypes.cpp: served through ODBC */                                   \
    X(LotusType)        /* lotusfile.cpp */                                                        \
    X(AccessType)       /* jetfile.cpp */                                                          \
    X(Excel8Type)       /* excelfile.cpp */                                                        \
    X(Excel12Type)      /* xlsxfile.cpp */                                                         \
    X(OpenDocumentType) /* odsfile.cpp */                                                          \
    X(Paradox5Type)     /* paradoxfile.cpp */                                                      \
    X(TextType)         /* csvfolder.cpp */                                                        \
    X(OdbcSourceType)   /* filetypes.cpp: medium 1 */
