# Libraries behind the database file types: shapelib (dBase), pxlib (Paradox),
# FreeXL (Excel .xls), mdbtools' libmdb with GLib (Access .mdb/.accdb), libzip and expat
# (Excel .xlsx and OpenDocument .ods, read), libxlsxwriter (.xlsx, written), SQLite's
# own interface (rows into an SQLite file, on the connection Qt SQL opened), libpq for
# PostgreSQL data sources, unixODBC's libodbcinst for their odbc.ini keys and its driver
# manager libodbc (rows written on the connection Qt SQL opened).
# None of them is linked: each is opened at its first use (lazyshapelib.cpp,
# lazypxlib.cpp, lazyfreexl.cpp, lazymdb.cpp, lazyzip.cpp, lazyexpat.cpp,
# lazyxlsxwriter.cpp, lazysqlite.cpp, lazylibpq.cpp, lazyodbcinst.cpp, lazyodbc.cpp),
# so that a run that does not touch its file type does not pay for loading it (pxlib and libmdb bring
# libgsf, GIO and libxml2 along, libzip GnuTLS).
pkg_check_modules(QUENDRA_SHP REQUIRED IMPORTED_TARGET GLOBAL shapelib)
pkg_check_modules(QUENDRA_PX REQUIRED IMPORTED_TARGET GLOBAL pxlib)
pkg_check_modules(QUENDRA_FREEXL REQUIRED IMPORTED_TARGET freexl)
pkg_check_modules(QUENDRA_MDB REQUIRED IMPORTED_TARGET libmdb glib-2.0)
pkg_check_modules(QUENDRA_OOXML REQUIRED IMPORTED_TARGET libzip expat xlsxwriter)
pkg_check_modules(QUENDRA_SQLITE REQUIRED IMPORTED_TARGET sqlite3)
pkg_check_modules(QUENDRA_PQ REQUIRED libpq)
target_include_directories(quendra_core PUBLIC ${QUENDRA_PX_INCLUDE_DIRS})
target_include_directories(quendra_core PRIVATE ${QUENDRA_MDB_INCLUDE_DIRS}
  ${QUENDRA_SHP_INCLUDE_DIRS} ${QUENDRA_FREEXL_INCLUDE_DIRS} ${QUENDRA_OOXML_INCLUDE_DIRS}
  ${QUENDRA_SQLITE_INCLUDE_DIRS} ${QUENDRA_PQ_INCLUDE_DIRS})
target_link_libraries(quendra_core PRIVATE ${CMAKE_DL_LIBS})
# libwps reads Lotus 1-2-3 files through a C++ interface of callbacks, which cannot be
# opened at first use like the C libraries above; it is linked (it brings only librevenge).
pkg_check_modules(QUENDRA_WPS REQUIRED IMPORTED_TARGET libwps-0.4 librevenge-stream-0.0)
target_link_libraries(quendra_core PRIVATE PkgConfig::QUENDRA_WPS)
