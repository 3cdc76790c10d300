# What a MinGW-built fennick.exe loads beyond Windows itself: the compiler's
# run-time DLLs, found where the compiler keeps them, and Qt's DLLs. Sets
#   FENNICK_MINGW_RUNTIME_DLLS  the compiler's run-time DLLs (full paths)
#   FENNICK_WINE_DLL_PATH       the folders of both, separated by colons, for
#                               cmake/wine-run.sh to run programs from the
#                               build tree
set(FENNICK_MINGW_RUNTIME_DLLS)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
        OUTPUT_VARIABLE dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${dll_path}" OR NOT EXISTS "${dll_path}")
        message(FATAL_ERROR "${CMAKE_CXX_COMPILER} knows no ${dll}")
    endif()
    get_filename_component(dll_path "${dll_path}" REALPATH)
    list(APPEND FENNICK_MINGW_RUNTIME_DLLS "${dll_path}")
endforeach()

get_target_property(qt_core_dll Qt6::Core IMPORTED_LOCATION_RELEASE)
if(NOT qt_core_dll)
    get_target_property(qt_core_dll Qt6::Core IMPORTED_LOCATION)
endif()
set(dll_folders "${qt_core_dll}" ${FENNICK_MINGW_RUNTIME_DLLS})
list(TRANSFORM dll_folders REPLACE "/[^/]*$" "")
list(REMOVE_DUPLICATES dll_folders)
string(JOIN ":" FENNICK_WINE_DLL_PATH ${dll_folders})
