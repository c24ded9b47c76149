# Installation and the two Debian packages (scripts/package.sh runs cpack -G DEB):
#   quendra-run  the batch runner, the shared data (demo configuration and its sample
#                bookings); Qt Core and Qt Sql only, so that it installs without X.
#   quendra      the window, its desktop entry and icon; needs quendra-run.
# Library dependencies are computed by dpkg-shlibdeps; those of the libraries opened at
# first use (src/connectors/backends/lazy*.cpp) by cmake/PackageDepends.cmake.

set(QUENDRA_PACKAGE_DIR ${CMAKE_BINARY_DIR}/package)
set(QUENDRA_DATA_DIR ${CMAKE_INSTALL_DATADIR}/quendra)

# The demo configuration an installed program copies for a new user.
find_program(QUENDRA_SQLITE3 sqlite3)
if(QUENDRA_SQLITE3)
  add_custom_command(OUTPUT ${QUENDRA_PACKAGE_DIR}/init.mdb
    COMMAND ${CMAKE_COMMAND} -E rm -f ${QUENDRA_PACKAGE_DIR}/init.mdb
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/make-demo.sh ${QUENDRA_PACKAGE_DIR}/init.mdb
    DEPENDS ${CMAKE_SOURCE_DIR}/scripts/make-demo.sh
    COMMENT "Demo-Konfiguration für die Pakete" VERBATIM)
  set(QUENDRA_PACKAGE_FILES ${QUENDRA_PACKAGE_DIR}/init.mdb)
endif()

# Manual pages and the changelog as Debian ships them: gzip -9, no name or time stamp.
string(TIMESTAMP QUENDRA_PACKAGE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog.in ${QUENDRA_PACKAGE_DIR}/changelog @ONLY)
foreach(page quendra.1 quendra-run.1 changelog)
  if(page STREQUAL "changelog")
    set(from ${QUENDRA_PACKAGE_DIR}/changelog)
  else()
    set(from ${CMAKE_SOURCE_DIR}/docs/man/${page})
  endif()
  add_custom_command(OUTPUT ${QUENDRA_PACKAGE_DIR}/${page}.gz
    COMMAND gzip -9n -c ${from} > ${QUENDRA_PACKAGE_DIR}/${page}.gz
    DEPENDS ${from} VERBATIM)
  list(APPEND QUENDRA_PACKAGE_FILES ${QUENDRA_PACKAGE_DIR}/${page}.gz)
endforeach()
add_custom_target(quendra_package_files ALL DEPENDS ${QUENDRA_PACKAGE_FILES})

install(TARGETS quendra-run RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runner)
install(FILES ${QUENDRA_PACKAGE_DIR}/init.mdb ${CMAKE_SOURCE_DIR}/demo/buchungen.txt
  DESTINATION ${QUENDRA_DATA_DIR} COMPONENT runner)
install(FILES ${QUENDRA_PACKAGE_DIR}/quendra-run.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT runner)
if(TARGET quendra)
  install(TARGETS quendra RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT window)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/quendra.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT window)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/quendra.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT window)
  install(FILES ${QUENDRA_PACKAGE_DIR}/quendra.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT window)
endif()
foreach(component runner window)
  if(component STREQUAL "runner")
    set(package quendra-run)
  else()
    set(package quendra)
  endif()
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${QUENDRA_PACKAGE_DIR}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quendra)
set(CPACK_PACKAGE_VENDOR "Quendra")
set(CPACK_PACKAGE_CONTACT "Quendra-Entwicklung <quendra@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runner window)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://quendra.example.org/")
set(CPACK_DEBIAN_RUNNER_PACKAGE_NAME quendra-run)
set(CPACK_DEBIAN_RUNNER_PACKAGE_SECTION utils)
set(CPACK_COMPONENT_RUNNER_DESCRIPTION
  "convert records by stored definitions - batch runner\n\
Quendra converts records from one layout to another by stored definitions:\n\
delimited text files, ODBC data sources and database files (SQLite, Access,\n\
dBase, Paradox, Excel, OpenDocument, Lotus 1-2-3, CSV folders). This package\n\
holds quendra-run, which runs stored definitions without a window, for scripts\n\
and schedulers. It needs no window system.")
set(CPACK_DEBIAN_WINDOW_PACKAGE_NAME quendra)
set(CPACK_DEBIAN_WINDOW_PACKAGE_SECTION misc)
set(CPACK_COMPONENT_WINDOW_DESCRIPTION
  "convert records by stored definitions - main window\n\
Quendra converts records from one layout to another by stored definitions:\n\
delimited text files, ODBC data sources and database files (SQLite, Access,\n\
dBase, Paradox, Excel, OpenDocument, Lotus 1-2-3, CSV folders). This package\n\
holds the main window with its editors for the definitions.")
# "Ordner öffnen" shows the target's folder through xdg-open.
set(CPACK_DEBIAN_WINDOW_PACKAGE_RECOMMENDS xdg-utils)
# Worked out when cpack runs: the dependencies of the lazily opened libraries.
set(CPACK_QUENDRA_LAZY_SOURCES ${CMAKE_SOURCE_DIR}/src/connectors/backends/lazy*.cpp)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/PackageDepends.cmake)
include(CPack)
