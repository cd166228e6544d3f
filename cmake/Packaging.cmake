# Installing (cmake --install) and the Debian package (make package, through CPack).
include(GNUInstallDirs)

install(TARGETS kelvaro kelvaro-admin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/app/org.kelvaro.Kelvaro.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/app/org.kelvaro.Kelvaro.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/app/icons/hicolor/${size}x${size}/apps/org.kelvaro.Kelvaro.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Debian wants a package's copyright and its changelog (compressed, without a time stamp) in
# its documentation folder.
set(KELVARO_MAINTAINER "Kelvaro developers <kelvaro@localhost>"
    CACHE STRING "The Maintainer of the Debian package: name <address>")
configure_file(${PROJECT_SOURCE_DIR}/resources/package/changelog.in ${PROJECT_BINARY_DIR}/package/changelog @ONLY)
find_program(GZIP_PROGRAM gzip REQUIRED)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/package/changelog.gz
                   COMMAND ${GZIP_PROGRAM} -9nf -k ${PROJECT_BINARY_DIR}/package/changelog
                   DEPENDS ${PROJECT_BINARY_DIR}/package/changelog VERBATIM)
add_custom_target(package_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/package/changelog.gz)
install(FILES ${PROJECT_SOURCE_DIR}/resources/package/copyright ${PROJECT_BINARY_DIR}/package/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kelvaro)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelvaro)
set(CPACK_PACKAGE_VENDOR "Kelvaro")
set(CPACK_PACKAGE_CONTACT "${KELVARO_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Office beverage order of the day")
# Lines of at most 79 characters, as Debian's tools show them.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "The staff of an office gather one shared beverage order each day: pick a\n"
       "shop, a category and items from the shops' menus, list a day's order with\n"
       "its total and export it to a spreadsheet. Several copies share one database\n"
       "file.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY kelvaro)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# Libraries the executables link come from dpkg-shlibdeps; what Qt loads at run time (the
# SQLite driver, the Traditional Chinese font) is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The schema's STRICT tables need SQLite 3.37.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, fonts-noto-cjk, libsqlite3-0 (>= 3.37)")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "sqlite3")
# pg_dump, for backups of a database on a PostgreSQL server.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "postgresql-client")
set(CPACK_STRIP_FILES ON)
include(CPack)
