# Read by cpack: the dependencies dpkg-shlibdeps cannot see.
#  - the SQL drivers Qt loads as plugins (the configuration is SQLite, medium 1 is ODBC);
#  - Qt's German translations for the window's file dialogs and boxes;
#  - the libraries the file-type readers open at first use: their sonames are read from
#    the loaders' sources, the Debian package of each from dpkg's file list.
set(runner_depends libqt6sql6-sqlite libqt6sql6-odbc)
file(GLOB lazy_sources "${CPACK_QUENDRA_LAZY_SOURCES}")
foreach(source IN LISTS lazy_sources)
  file(STRINGS ${source} loaders REGEX "LazyLibrary [A-Za-z_]+\\(\"[^\"]+\"")
  foreach(loader IN LISTS loaders)
    string(REGEX MATCH "LazyLibrary [A-Za-z_]+\\(\"([^\"]+)\"" _ "${loader}")
    set(soname ${CMAKE_MATCH_1})
    execute_process(COMMAND dpkg-query -S "*/${soname}" OUTPUT_VARIABLE owner
      RESULT_VARIABLE status ERROR_QUIET)
    string(REGEX MATCH "^[^:,]+" package "${owner}")
    if(NOT status EQUAL 0 OR NOT package)
      message(FATAL_ERROR "Kein Debian-Paket enthält ${soname} (aus ${source}).")
    endif()
    list(APPEND runner_depends ${package})
  endforeach()
endforeach()
list(REMOVE_DUPLICATES runner_depends)
list(JOIN runner_depends ", " CPACK_DEBIAN_RUNNER_PACKAGE_DEPENDS)
# The window speaks German in Qt's own dialogs too (Qt's translations are loaded at start).
set(CPACK_DEBIAN_WINDOW_PACKAGE_DEPENDS
  "quendra-run (= ${CPACK_PACKAGE_VERSION}), qt6-translations-l10n")
