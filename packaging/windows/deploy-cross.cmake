# Qt's deployment tool does not run on a Linux host, so a cross build names
# what fennick.exe loads, and only that: Qt's DLLs, the Windows platform
# plugin that opens the window, the native style and the compiler's run-time
# DLLs. Qt finds the plugins in the folders beside the program. CI starts the
# deployed program from a PATH without Qt or MinGW, which catches a missing
# DLL.
install(FILES $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>
    DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>
    DESTINATION ${CMAKE_INSTALL_BINDIR}/platforms)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin>
    DESTINATION ${CMAKE_INSTALL_BINDIR}/styles)

# The compiler's DLLs come with their debugging symbols (libstdc++: 23 MB
# with them, 2 MB without); ship stripped copies.
set(stripped_runtime ${CMAKE_CURRENT_BINARY_DIR}/mingw-runtime)
file(MAKE_DIRECTORY ${stripped_runtime})
foreach(dll ${FENNICK_MINGW_RUNTIME_DLLS})
    get_filename_component(name ${dll} NAME)
    execute_process(COMMAND ${CMAKE_STRIP} --strip-unneeded -o ${stripped_runtime}/${name} ${dll}
        RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "${CMAKE_STRIP} could not strip ${dll}")
    endif()
    install(FILES ${stripped_runtime}/${name} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()
