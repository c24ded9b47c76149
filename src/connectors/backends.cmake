# Libraries behind the database file types: shapelib (dBase), pxlib (Paradox),
# FreeXL (Excel .xls) and mdbtools' libmdb with GLib (Access .mdb/.accdb).
pkg_check_modules(QUENDRA_SHP REQUIRED IMPORTED_TARGET GLOBAL shapelib)
pkg_check_modules(QUENDRA_PX REQUIRED IMPORTED_TARGET GLOBAL pxlib)
pkg_check_modules(QUENDRA_FREEXL REQUIRED IMPORTED_TARGET freexl)
pkg_check_modules(QUENDRA_MDB REQUIRED IMPORTED_TARGET libmdb glib-2.0)
target_link_libraries(quendra_core PRIVATE
  PkgConfig::QUENDRA_SHP PkgConfig::QUENDRA_PX PkgConfig::QUENDRA_FREEXL PkgConfig::QUENDRA_MDB)
