# The two Windows packages: a ZIP of the program's folder, to unpack and run
# anywhere, and an installer (NSIS; Debian's nsis package provides makensis)
# that shows Fennick's licence first, installs for all users under Program
# Files, adds a Start-menu entry and an entry in Add/Remove Programs, and
# whose uninstaller removes every file it installed.
set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_FILE_NAME fennick-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_EXECUTABLES fennick Fennick) # the Start-menu entry
set(CPACK_NSIS_EXECUTABLES_DIRECTORY ${CMAKE_INSTALL_BINDIR})
# A 64-bit installer for a 64-bit program: it sees the 64-bit Program Files
# and registry, and runs where only 64-bit Windows programs can (Wine built
# without 32-bit support).
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
# Before it installs, the installer shows Fennick's licence. The GPL asks
# for no agreement to use the program, so the page only informs: its
# button is Next, not "I Agree".
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
string(APPEND CPACK_NSIS_DEFINES [=[

  !define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
  !define MUI_LICENSEPAGE_TEXT_BOTTOM "Fennick is free software under this licence. You need not accept it to use the program; it tells what you may do when you pass Fennick on or change it. Click Next to continue."
  !include FileFunc.nsh]=])
# The licence is the first page: CPack's installer opens with a Welcome page
# that says nothing the title bar does not, and a page whose function gives
# up before it shows is skipped. Only on the way in: with no page before the
# licence, its Back button would end the installer.
string(APPEND CPACK_NSIS_DEFINES [=[

  Var fennickWelcomeSkipped
  Function fennickSkipWelcomeOnce
    StrCmp $fennickWelcomeSkipped 1 +3
      StrCpy $fennickWelcomeSkipped 1
      Abort
  FunctionEnd
  !define MUI_PAGE_CUSTOMFUNCTION_PRE fennickSkipWelcomeOnce]=])
# The installer's own version information, as fennick.exe has it, for
# Explorer's Details and for SmartScreen's prompt.
string(APPEND CPACK_NSIS_DEFINES "
  VIProductVersion \"${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0\"
  VIFileVersion \"${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0\"")
foreach(pair "ProductName|${FENNICK_PRODUCT_NAME}" "ProductVersion|${PROJECT_VERSION}"
        "CompanyName|${CPACK_PACKAGE_VENDOR}" "LegalCopyright|${FENNICK_COPYRIGHT}"
        "FileDescription|${FENNICK_PRODUCT_NAME} installer" "FileVersion|${PROJECT_VERSION}"
        "OriginalFilename|${CPACK_PACKAGE_FILE_NAME}.exe")
    string(REPLACE "|" ";" pair "${pair}")
    list(GET pair 0 key)
    list(GET pair 1 value)
    string(APPEND CPACK_NSIS_DEFINES "\n  VIAddVersionKey /LANG=1033 \"${key}\" \"${value}\"")
endforeach()
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME Fennick)
set(CPACK_NSIS_DISPLAY_NAME Fennick)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Fennick)
set(CPACK_NSIS_MUI_ICON ${CMAKE_CURRENT_LIST_DIR}/fennick.ico)
set(CPACK_NSIS_MUI_UNIICON ${CMAKE_CURRENT_LIST_DIR}/fennick.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME fennick.exe)
set(CPACK_NSIS_URL_INFO_ABOUT ${CPACK_PACKAGE_HOMEPAGE_URL})
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# Add/Remove Programs shows the size and the folder; the uninstaller also
# removes the maker's registry key that CPack's leaves behind once empty.
set(uninstall_key "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\${CPACK_PACKAGE_INSTALL_REGISTRY_KEY}")
# NoModify and NoRepair are numbers to Windows; CPack writes them as text.
# Add/Remove Programs uninstalls, so the Start menu holds only the program:
# the uninstall shortcut CPack's installer makes is taken away again.
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "
  WriteRegStr SHCTX \"${uninstall_key}\" \"InstallLocation\" \"$INSTDIR\"
  \${GetSize} \"$INSTDIR\" \"/S=0K\" $0 $1 $2
  WriteRegDWORD SHCTX \"${uninstall_key}\" \"EstimatedSize\" \"$0\"
  WriteRegDWORD SHCTX \"${uninstall_key}\" \"NoModify\" 1
  WriteRegDWORD SHCTX \"${uninstall_key}\" \"NoRepair\" 1
  StrCmp \"$STARTMENU_FOLDER\" \"\" +2
    Delete \"$SMPROGRAMS\\$STARTMENU_FOLDER\\Uninstall.lnk\"")
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "
  DeleteRegKey SHCTX \"Software\\${CPACK_PACKAGE_VENDOR}\\${CPACK_PACKAGE_INSTALL_REGISTRY_KEY}\"
  DeleteRegKey /ifempty SHCTX \"Software\\${CPACK_PACKAGE_VENDOR}\"")
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
