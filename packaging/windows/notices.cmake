# The licence texts and notices the Windows download carries at its top
# level, beside fennick.exe: Fennick's own licence, where the corresponding
# source is, and the licences of what is shipped with it: Qt's DLLs and
# plugins, the third-party code compiled into them, and the compiler's
# run-time DLLs. Made at configure time from the Qt and the compiler this
# build uses, so they name what is shipped and nothing else.
set(notices ${CMAKE_CURRENT_BINARY_DIR}/notices)
string(REGEX MATCH "^[0-9]+" gcc_major "${CMAKE_CXX_COMPILER_VERSION}")
file(MAKE_DIRECTORY ${notices})

configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${notices}/LICENSE.txt COPYONLY)
set(notice_files ${notices}/LICENSE.txt)

# Qt's attribution files (qt_attribution.json) name, for each piece of
# third-party code, the module it is built into; a Qt built from source
# keeps them, with the licence texts they name, in licenses/ (see
# ../shared/qt6-mingw64/README.md).
cmake_path(GET Qt6_DIR PARENT_PATH qt_cmake_dir)
cmake_path(GET qt_cmake_dir PARENT_PATH qt_lib_dir)
cmake_path(GET qt_lib_dir PARENT_PATH qt_prefix)
set(FENNICK_QT_LICENSES_DIR ${qt_prefix}/licenses CACHE PATH
    "Qt's licence texts and qt_attribution.json files, from the Qt source tree the DLLs were built from")

# The third-party code inside what is shipped: Qt6Core.dll, Qt6Gui.dll,
# Qt6Widgets.dll, platforms/qwindows.dll and styles/qwindowsvistastyle.dll,
# of a Qt 6.4 for 64-bit x86 built with its own copies of zlib, libpng,
# FreeType, HarfBuzz, PCRE2 and double-conversion, with Markdown and PDF
# writing on and OpenGL and Vulkan off (qtgui-config.h). Left out as not
# shipped: libjpeg (the qjpeg plugin), pixman (ARM only), forkfd (Unix),
# the macOS, Android, WebAssembly and X11 pieces, the OpenGL and Vulkan
# headers and allocator, Qt Network, Qt D-Bus and Qt Test, and build tools.
set(qt_attributions
    # Qt Core
    zlib doubleconversion pcre2 pcre2-sljit tinycbor easing siphash
    unicode-character-database unicode-cldr md4 md5 sha1 sha3_endian sha3_keccak rfc6234 blake2
    # Qt GUI (PNG is built into it; FreeType's font engine is used by the
    # Windows platform plugin)
    libpng freetype freetype-zlib freetype-bdf freetype-pcf harfbuzz-ng md4c grayraster
    smooth-scaling-algorithm xserverhelper webgradients icc-sRGB-color-profile aglfn)

function(fennick_json_field out json key)
    string(JSON value ERROR_VARIABLE missing GET "${json}" ${key})
    if(missing)
        set(value "")
    endif()
    set(${out} "${value}" PARENT_SCOPE)
endfunction()

# Where the Qt DLLs' source is, for SOURCE.txt, and the script that built
# them from it, shipped as qt-build.sh.
set(FENNICK_QT_SOURCE "Debian's source package qt6-base 6.4.2+dfsg-10" CACHE STRING
    "The source the Qt DLLs were built from, as SOURCE.txt names it")
set(FENNICK_QT_BUILD_RECIPE ${qt_prefix}/build.sh CACHE FILEPATH
    "The script that built the Qt DLLs from FENNICK_QT_SOURCE")

if(EXISTS ${FENNICK_QT_LICENSES_DIR}/LICENSES/LGPL-3.0-only.txt AND EXISTS ${FENNICK_QT_BUILD_RECIPE})
    configure_file(${CMAKE_CURRENT_LIST_DIR}/SOURCE.txt.in ${notices}/SOURCE.txt @ONLY)
    configure_file(${FENNICK_QT_BUILD_RECIPE} ${notices}/qt-build.sh COPYONLY)
    list(APPEND notice_files ${notices}/SOURCE.txt ${notices}/qt-build.sh)
    configure_file(${FENNICK_QT_LICENSES_DIR}/LICENSES/LGPL-3.0-only.txt ${notices}/LGPL-3.0.txt COPYONLY)
    file(GLOB_RECURSE attribution_files ${FENNICK_QT_LICENSES_DIR}/*/qt_attribution.json)
    list(SORT attribution_files)
    set(sections "")
    set(found "")
    foreach(attribution_file ${attribution_files})
        file(READ ${attribution_file} json)
        cmake_path(GET attribution_file PARENT_PATH folder)
        string(JSON kind TYPE "${json}")
        if(kind STREQUAL "OBJECT")
            set(json "[${json}]")
        endif()
        string(JSON count LENGTH "${json}")
        math(EXPR last "${count} - 1")
        foreach(index RANGE ${last})
            string(JSON entry GET "${json}" ${index})
            fennick_json_field(id "${entry}" Id)
            if(NOT id IN_LIST qt_attributions)
                continue()
            endif()
            list(APPEND found ${id})
            fennick_json_field(name "${entry}" Name)
            fennick_json_field(version "${entry}" Version)
            fennick_json_field(usage "${entry}" QtUsage)
            fennick_json_field(homepage "${entry}" Homepage)
            fennick_json_field(copyright "${entry}" Copyright)
            fennick_json_field(license "${entry}" License)
            fennick_json_field(license_id "${entry}" LicenseId)
            fennick_json_field(license_file "${entry}" LicenseFile)
            if(version)
                string(PREPEND version " ")
            endif()
            string(APPEND sections
                "\n================================================================================\n"
                "${name}${version}\n"
                "================================================================================\n"
                "${usage}\n")
            if(homepage)
                string(APPEND sections "Homepage: ${homepage}\n")
            endif()
            string(APPEND sections "Licence: ${license} (${license_id})\n\n${copyright}\n")
            if(license_file)
                file(READ ${folder}/${license_file} text)
                string(APPEND sections "\n${text}")
            endif()
        endforeach()
    endforeach()
    list(REMOVE_DUPLICATES found)
    foreach(id ${qt_attributions})
        if(NOT id IN_LIST found)
            message(FATAL_ERROR "${FENNICK_QT_LICENSES_DIR} has no qt_attribution.json entry \"${id}\"")
        endif()
    endforeach()
    # Qt's entry point for Windows programs (libQt6EntryPoint.a, which calls
    # main()) is linked into fennick.exe itself, under the BSD-3-Clause,
    # whose notice goes with binary copies. Its copyright as Debian's Qt
    # package of the same source states it, where the build machine has it.
    set(entry_point_copyright "Copyright (C) The Qt Company Ltd.")
    foreach(debian_copyright /usr/share/doc/libqt6core6/copyright /usr/share/doc/qt6-base-dev/copyright)
        if(EXISTS ${debian_copyright})
            file(READ ${debian_copyright} text)
            if(text MATCHES "src/entrypoint/qtentrypoint_win[.]cpp\n[^C]*Copyright: ([^\n]*)\nLicense: BSD-3-clause")
                set(entry_point_copyright "Copyright (C) ${CMAKE_MATCH_1}")
                break()
            endif()
        endif()
    endforeach()
    file(READ ${FENNICK_QT_LICENSES_DIR}/LICENSES/BSD-3-Clause.txt text)
    string(REGEX REPLACE "^Copyright [^\n]*\n\n" "" text "${text}")
    string(CONCAT entry_point
        "\n================================================================================\n"
        "Qt's entry point for Windows programs\n"
        "================================================================================\n"
        "Built into fennick.exe (src/entrypoint/qtentrypoint_win.cpp, from libQt6EntryPoint.a):\n"
        "it hands the program's command line to main().\n"
        "Licence: BSD 3-Clause \"New\" or \"Revised\" License (BSD-3-Clause)\n\n"
        "${entry_point_copyright}\n\n${text}")
    file(WRITE ${notices}/THIRD-PARTY-NOTICES.txt
        "Third-party code in the Qt libraries shipped with Fennick\n\n"
        "Fennick for Windows ships Qt ${Qt6_VERSION}: Qt6Core.dll, Qt6Gui.dll, Qt6Widgets.dll,\n"
        "platforms\\qwindows.dll and styles\\qwindowsvistastyle.dll. Qt is Copyright (C) The Qt\n"
        "Company Ltd. and other contributors, and is used here under the GNU Lesser General\n"
        "Public License, version 3 (LGPL-3.0.txt, which adds its permissions to the GNU\n"
        "General Public License, version 3, in LICENSE.txt). SOURCE.txt says where Qt's\n"
        "source is and how to replace these DLLs with your own build.\n\n"
        "The Qt libraries hold the following code from others, each under its own\n"
        "licence. This list is taken from Qt's own attribution files\n"
        "(qt_attribution.json) for the modules and plugins above.\n"
        "${sections}${entry_point}")
    list(APPEND notice_files ${notices}/LGPL-3.0.txt ${notices}/THIRD-PARTY-NOTICES.txt)
else()
    message(WARNING "No Qt licence texts in ${FENNICK_QT_LICENSES_DIR} (FENNICK_QT_LICENSES_DIR) "
        "or no Qt build recipe ${FENNICK_QT_BUILD_RECIPE} (FENNICK_QT_BUILD_RECIPE): the Windows "
        "packages will lack Qt's licence, third-party notices and source notice")
endif()

# The compiler's run-time DLLs (a cross build with Debian's MinGW-w64):
# their licences as Debian's packages of them state them.
if(CMAKE_CROSSCOMPILING)
    set(gcc_copyright /usr/share/doc/gcc-mingw-w64-base/copyright)
    set(mingw_copyright /usr/share/doc/mingw-w64-common/copyright)
    find_program(AWK_PROGRAM NAMES awk REQUIRED)
    find_program(DPKG_QUERY_PROGRAM dpkg-query)
    foreach(package gcc-mingw-w64-base mingw-w64-common)
        if(NOT EXISTS /usr/share/doc/${package}/copyright)
            message(FATAL_ERROR "/usr/share/doc/${package}/copyright is missing: the run-time DLLs' "
                "licences come from it (apt-get install ${package})")
        endif()
        set(version_${package} "")
        if(DPKG_QUERY_PROGRAM)
            execute_process(COMMAND ${DPKG_QUERY_PROGRAM} -W "-f=\${source:Package} \${Version}" ${package}
                OUTPUT_VARIABLE version_${package} ERROR_QUIET)
        endif()
    endforeach()
    # GCC's licence statement for its run-time libraries, then the exception.
    execute_process(COMMAND ${AWK_PROGRAM}
        "/^GCC is Copyright/ { on = 1 } /^The libbacktrace library/ { on = 0 }
         /^GCC RUNTIME LIBRARY EXCEPTION$/ { on = 1 } on { print } /^requirements of the license of GCC[.]$/ { on = 0 }"
        ${gcc_copyright} OUTPUT_VARIABLE gcc_terms COMMAND_ERROR_IS_FATAL ANY)
    if(NOT gcc_terms MATCHES "Version 3[.]1" OR NOT gcc_terms MATCHES "No Weakening of GCC Copyleft")
        message(FATAL_ERROR "No GCC Runtime Library Exception found in ${gcc_copyright}")
    endif()
    file(WRITE ${notices}/GCC-RUNTIME-LIBRARY-EXCEPTION.txt
        "libstdc++-6.dll and libgcc_s_seh-1.dll: GCC's C++ and low-level run-time libraries,\n"
        "from GCC ${gcc_major} (Debian package ${version_gcc-mingw-w64-base}).\n"
        "They are under the GNU General Public License, version 3 or later (its text is\n"
        "LICENSE.txt), with the GCC Runtime Library Exception, version 3.1. As stated in\n"
        "${gcc_copyright}:\n\n${gcc_terms}")
    # winpthreads' own paragraphs (not its tests, which are not shipped) and
    # the licence texts they name.
    execute_process(COMMAND ${AWK_PROGRAM} "BEGIN { RS = \"\"; ORS = \"\\n\\n\" }
         /^Files: mingw-w64-libraries[/]winpthreads[/]/ && !/tests_pthread/ { print; next }
         /^License: (expat|BSD-3-clause|public-domain)\\n/ { print }"
        ${mingw_copyright} OUTPUT_VARIABLE winpthreads_terms COMMAND_ERROR_IS_FATAL ANY)
    if(NOT winpthreads_terms MATCHES "winpthreads" OR NOT winpthreads_terms MATCHES "License: expat\n")
        message(FATAL_ERROR "No winpthreads licence found in ${mingw_copyright}")
    endif()
    file(WRITE ${notices}/WINPTHREADS-LICENSE.txt
        "libwinpthread-1.dll: winpthreads, the POSIX threads library of the mingw-w64\n"
        "project (Debian package ${version_mingw-w64-common}). Its copyright and licences,\n"
        "as stated in ${mingw_copyright}:\n\n${winpthreads_terms}")
    # The start-up code, the floating-point formatting and the maths of the
    # mingw-w64 C run time are linked into fennick.exe itself: the project's
    # licence (ZPL-2.1, which asks for its notice in binary copies) and those
    # of the parts such a program links, with the texts they name. The CI's
    # check of fennick's link map fails on a part whose licence is not here.
    execute_process(COMMAND ${AWK_PROGRAM} "BEGIN { RS = \"\"; ORS = \"\\n\\n\" }
         /^Files: [*]\\n/ { print; next }
         /mingw-w64-crt[/]/ && /\\nLicense: (public-domain|Lucent|David-Gay|Permissive-Sun|Keith-Marshall)(\\n|$)/ { print; next }
         /^License: public-domain\\n/ { print }"
        ${mingw_copyright} OUTPUT_VARIABLE crt_terms COMMAND_ERROR_IS_FATAL ANY)
    foreach(licence ZPL-2.1 public-domain Lucent David-Gay Keith-Marshall)
        if(NOT crt_terms MATCHES "\nLicense: ${licence}\n")
            message(FATAL_ERROR "No \"License: ${licence}\" for the mingw-w64 C run time in ${mingw_copyright}")
        endif()
    endforeach()
    file(WRITE ${notices}/MINGW-W64-RUNTIME-LICENSE.txt
        "fennick.exe holds parts of the mingw-w64 project's C run time (Debian package\n"
        "${version_mingw-w64-common}): its start-up code, its number formatting (from David\n"
        "M. Gay's gdtoa) and some of its maths. Their copyright and licences, as stated\n"
        "in ${mingw_copyright}:\n\n${crt_terms}")
    list(APPEND notice_files ${notices}/GCC-RUNTIME-LIBRARY-EXCEPTION.txt ${notices}/WINPTHREADS-LICENSE.txt
        ${notices}/MINGW-W64-RUNTIME-LICENSE.txt)
endif()

# As Windows' Notepad reads them best: CR LF line ends, and UTF-8 marked as
# such (older Notepads take unmarked text for the ANSI code page and run LF
# lines together). The shell script stays as it is.
string(ASCII 239 187 191 utf8_mark)
foreach(file ${notice_files})
    if(file MATCHES "[.]txt$")
        file(READ ${file} text)
        string(REPLACE "\r\n" "\n" text "${text}")
        string(REPLACE "\n" "\r\n" text "${text}")
        file(WRITE ${file} "${utf8_mark}${text}")
    endif()
endforeach()

install(FILES ${notice_files} DESTINATION .)
