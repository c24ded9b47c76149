# Libraries behind the database file types: shapelib (dBase), pxlib (Paradox),
# FreeXL (Excel .xls) and mdbtools' libmdb with GLib (Access .mdb/.accdb).
# pxlib and libmdb are not linked: they are opened at their first use
# (lazypxlib.cpp, lazymdb.cpp), since they bring libgsf, GIO and libxml2 along and
# loading those would lengthen the start of every run.
pkg_check_modules(QUENDRA_SHP REQUIRED IMPORTED_TARGET GLOBAL shapelib)
pkg_check_modules(QUENDRA_PX REQUIRED IMPORTED_TARGET GLOBAL pxlib)
pkg_check_modules(QUENDRA_FREEXL REQUIRED IMPORTED_TARGET freexl)
pkg_check_modules(QUENDRA_MDB REQUIRED IMPORTED_TARGET libmdb glib-2.0)
target_include_directories(quendra_core PUBLIC ${QUENDRA_PX_INCLUDE_DIRS})
target_include_directories(quendra_core PRIVATE ${QUENDRA_MDB_INCLUDE_DIRS})
target_link_libraries(quendra_core PRIVATE
  PkgConfig::QUENDRA_SHP PkgConfig::QUENDRA_FREEXL ${CMAKE_DL_LIBS})
