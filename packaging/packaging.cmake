# Where the program goes when installed, and the package built from that
# layout by CPack (scripts/package.sh). The program reads nothing from the
# source or build tree at run time: the help page and the icons are compiled
# in, Qt's translations and the fonts come from the system's packages.
include(GNUInstallDirs)

install(TARGETS valoprovod valoprovod-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/valoprovod.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/app/icons/valoprovod.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size IN LISTS VP_ICON_SIZES)
  install(FILES ${PROJECT_SOURCE_DIR}/app/icons/valoprovod-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME valoprovod.png)
endforeach()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/valoprovod/examples)
# The help page that F1 shows, also readable in a browser.
install(FILES ${PROJECT_SOURCE_DIR}/forms/mainunit/help/help.html DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_PACKAGE_NAME valoprovod)
set(CPACK_PACKAGE_VENDOR "valoprovod project")
set(CPACK_PACKAGE_CONTACT "valoprovod project <valoprovod@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "natural frequencies and mode shapes of a shaft line")
# Debian's control file wants lines of at most 80 characters.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
       "Computes the natural frequencies of bending vibration of a shaft line"
       "(a rotor on elastic supports) by the transfer-matrix method for several"
       "variants of support stiffness, and shows, prints and exports to .xlsx the"
       "mode shapes and the section forces. The interface is in Russian."
       "The package holds the program (valoprovod), the batch command"
       "valoprovod-cli and example input files.")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

# Debian: valoprovod_<version>_<arch>.deb; Depends computed from the binaries
# by dpkg-shlibdeps, plus what the binaries load without linking: Qt's Russian
# translations and the font that stands in for the forms' font.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, fonts-liberation2")
# Opening the exported workbook goes through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  set(CPACK_GENERATOR DEB)
endif()
include(CPack)

# The installed layout, the package and the desktop entry, checked by CTest.
foreach(check layout deb desktop)
  add_test(NAME package_${check}
           COMMAND ${CMAKE_COMMAND} -DCHECK=${check} -DBUILD_DIR=${PROJECT_BINARY_DIR}
                   -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DVERSION=${PROJECT_VERSION} -DCPACK=${CMAKE_CPACK_COMMAND}
                   "-DICON_SIZES=${VP_ICON_SIZES}" -P ${PROJECT_SOURCE_DIR}/packaging/test_package.cmake)
  set_tests_properties(package_${check} PROPERTIES SKIP_REGULAR_EXPRESSION "skipped:" TIMEOUT 120)
endforeach()
