# The Windows installation: one folder with both executables, the DLLs and Qt
# plugins they load, Qt's Russian translations, the help page and the
# examples; packed by CPack into an NSIS installer and a .zip
# (scripts/package-windows.sh).

# Where the cross-built Qt and libraries are.
set(vp_qt_prefix ${QT6_INSTALL_PREFIX})
pkg_get_variable(vp_deps_prefix libzip prefix)

install(TARGETS valoprovod valoprovod-cli RUNTIME DESTINATION .)
# Qt: the modules linked, the plugins loaded (the platform and the native
# style; Qt 6 keeps the Windows printer support inside Qt6PrintSupport.dll),
# and qt.conf that says where they are.
foreach(module Core Gui Widgets PrintSupport Charts OpenGL OpenGLWidgets)
  install(FILES ${vp_qt_prefix}/bin/Qt6${module}.dll DESTINATION .)
endforeach()
# The batch command prints on the offscreen platform, as on Linux.
install(FILES ${vp_qt_prefix}/plugins/platforms/qwindows.dll ${vp_qt_prefix}/plugins/platforms/qoffscreen.dll
        DESTINATION platforms)
install(FILES ${vp_qt_prefix}/plugins/styles/qwindowsvistastyle.dll DESTINATION styles)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/windows/qt.conf DESTINATION .)
install(FILES /usr/share/qt6/translations/qtbase_ru.qm DESTINATION translations)
# The libraries and the MinGW runtime of the posix compiler.
install(FILES ${vp_deps_prefix}/bin/libzip.dll ${vp_deps_prefix}/bin/libxlsxwriter.dll DESTINATION .)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll OUTPUT_VARIABLE vp_libstdcxx
                OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libgcc_s_seh-1.dll OUTPUT_VARIABLE vp_libgcc
                OUTPUT_STRIP_TRAILING_WHITESPACE)
install(FILES ${vp_libstdcxx} ${vp_libgcc} /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/forms/mainunit/help/help.html DESTINATION .)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION examples)

set(CPACK_PACKAGE_NAME valoprovod)
set(CPACK_PACKAGE_VENDOR valoprovod)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Расчет собственных частот изгибных колебаний валопровода")
set(CPACK_PACKAGE_FILE_NAME valoprovod-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY valoprovod)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY valoprovod)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR NSIS ZIP)
# The installer is named ...-setup.exe (CPack names both files after CPACK_PACKAGE_FILE_NAME).
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/packaging/windows/cpack-config.cmake)

# NSIS: a 64-bit program under "Program Files", one Start-menu entry with the
# program's icon, an uninstaller, texts in Russian (a template of our own:
# CMake's offers the texts of every language and picks by the system's).
set(CPACK_NSIS_PACKAGE_NAME "Расчет валопровода")
set(CPACK_NSIS_DISPLAY_NAME "Расчет валопровода")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_PACKAGE_EXECUTABLES valoprovod "Расчет валопровода")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_INSTALLED_ICON_NAME valoprovod.exe)
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/app/icons/valoprovod.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/app/icons/valoprovod.ico)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_UNINSTALL_NAME uninstall)
file(READ ${CMAKE_ROOT}/Modules/Internal/CPack/NSIS.template.in vp_nsis)
string(REGEX REPLACE "(  !insertmacro MUI_LANGUAGE \"[A-Za-z]+\"[^\n]*\n)+" "  !insertmacro MUI_LANGUAGE \"Russian\"\n"
       vp_nsis "${vp_nsis}")
string(REPLACE "is already installed. $\\n$\\nDo you want to uninstall the old version before installing the new one?"
       "уже установлен. $\\n$\\nУдалить прежнюю версию перед установкой новой?" vp_nsis "${vp_nsis}")
string(REPLACE "\"Uninstall failed.\"" "\"Не удалось удалить прежнюю версию.\"" vp_nsis "${vp_nsis}")
string(REPLACE "\\Uninstall.lnk" "\\Удалить программу.lnk" vp_nsis "${vp_nsis}")
# The template is UTF-8 (with a byte-order mark); the installer is a 64-bit
# Unicode program, like the one it installs (and so runs where only 64-bit
# Windows programs do, as under Debian's wine64).
string(REPLACE "; You must define these values" "Target amd64-unicode\n; You must define these values" vp_nsis "${vp_nsis}")
file(WRITE ${PROJECT_BINARY_DIR}/nsis/NSIS.template.in "${vp_nsis}")
file(COPY ${CMAKE_ROOT}/Modules/Internal/CPack/NSIS.InstallOptions.ini.in DESTINATION ${PROJECT_BINARY_DIR}/nsis)
set(CPACK_MODULE_PATH ${PROJECT_BINARY_DIR}/nsis)
include(CPack)
