# The two Windows packages: a ZIP of the program's folder, to unpack and run
# anywhere, and an installer (NSIS; Debian's nsis package provides makensis)
# that installs for all users under Program Files, adds a Start-menu entry and
# an entry in Add/Remove Programs, and whose uninstaller removes every file it
# installed.
set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_FILE_NAME fennick-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_EXECUTABLES fennick Fennick) # the Start-menu entry
set(CPACK_NSIS_EXECUTABLES_DIRECTORY ${CMAKE_INSTALL_BINDIR})
# A 64-bit installer for a 64-bit program: it sees the 64-bit Program Files
# and registry, and runs where only 64-bit Windows programs can (Wine built
# without 32-bit support).
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME Fennick)
set(CPACK_NSIS_DISPLAY_NAME Fennick)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Fennick)
set(CPACK_NSIS_MUI_ICON ${CMAKE_CURRENT_LIST_DIR}/fennick.ico)
set(CPACK_NSIS_MUI_UNIICON ${CMAKE_CURRENT_LIST_DIR}/fennick.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME ${CMAKE_INSTALL_BINDIR}\\\\fennick.exe)
set(CPACK_NSIS_URL_INFO_ABOUT ${CPACK_PACKAGE_HOMEPAGE_URL})
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
