# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix threads).
# Name a Qt for MinGW with CMAKE_PREFIX_PATH; moc, rcc and uic come from the
# host's Qt (QT_HOST_PATH, Debian's by default). Programs built here run
# under Wine, so `ctest` runs every test executable on this machine unchanged.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Qt is searched for inside the find roots, which must be plain paths
# (../shared/qt6-mingw64 would not be found).
set(prefixes)
foreach(prefix IN LISTS CMAKE_PREFIX_PATH)
    get_filename_component(prefix "${prefix}" ABSOLUTE)
    list(APPEND prefixes "${prefix}")
endforeach()
set(CMAKE_PREFIX_PATH ${prefixes})
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${prefixes})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

if(NOT QT_HOST_PATH)
    set(QT_HOST_PATH /usr CACHE PATH "Where the host's Qt tools (moc, rcc, uic) live")
    set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH
        "The host Qt's CMake package folder")
endif()

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
