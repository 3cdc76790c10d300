# Builds with the flags Debian builds its packages with, as dpkg-buildflags
# gives them: optimisation, the stack protector, _FORTIFY_SOURCE, format
# checks, full RELRO with immediate binding (hardening=+all adds that), and
# source paths made relative so that builds in different folders match.
# For the package build only: the developer build keeps its own flags.
find_program(DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
            ${DPKG_BUILDFLAGS} --get ${kind}
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} # the folder -ffile-prefix-map maps
        OUTPUT_VARIABLE dpkg_${kind} OUTPUT_STRIP_TRAILING_WHITESPACE
        COMMAND_ERROR_IS_FATAL ANY)
endforeach()
# CMake has no separate preprocessor flags; Debian's own CMake builds fold
# them into the compiler's.
string(APPEND CMAKE_CXX_FLAGS " ${dpkg_CPPFLAGS} ${dpkg_CXXFLAGS}")
string(APPEND CMAKE_EXE_LINKER_FLAGS " ${dpkg_LDFLAGS}")
message(STATUS "dpkg-buildflags: ${dpkg_CPPFLAGS} ${dpkg_CXXFLAGS} ${dpkg_LDFLAGS}")
