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

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelvaro)
set(CPACK_PACKAGE_VENDOR "Kelvaro")
set(CPACK_PACKAGE_CONTACT "Kelvaro developers <kelvaro@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Office beverage order of the day")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "The staff of an office gather one shared beverage order each day: pick a shop, a category\n"
       "and items from the shops' menus, list a day's order with its total and export it to a\n"
       "spreadsheet. Several copies share one database file.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY kelvaro)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# Libraries the executables link come from dpkg-shlibdeps; what Qt loads at run time (the
# SQLite driver, the Traditional Chinese font) is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "sqlite3")
set(CPACK_STRIP_FILES ON)
include(CPack)
