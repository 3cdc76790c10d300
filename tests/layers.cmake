# Fails if a file includes from a folder above its own. The folders, lowest
# first: each may include itself and the ones before it, never one after.
#   cmake -DSOURCE_DIR=<project> -P layers.cmake
set(layers document wizard ui app)

set(wrong "")
foreach(layer IN LISTS layers)
    list(FIND layers ${layer} rank)
    file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${layer}/*)
    foreach(file IN LISTS files)
        if(NOT file MATCHES "\\.(h|cpp|in)$")
            continue()
        endif()
        file(STRINGS ${SOURCE_DIR}/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<][^/\">]+/")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[\"<]([^/\">]+)/.*" "\\1" folder "${line}")
            list(FIND layers ${folder} included_rank)
            if(included_rank GREATER rank)
                string(APPEND wrong "\n  ${file}: ${line}")
            endif()
        endforeach()
    endforeach()
endforeach()

if(wrong)
    message(FATAL_ERROR "A lower folder includes a higher one (order: ${layers}):${wrong}")
endif()
list(JOIN layers " <- " order)
message(STATUS "Every include goes down or sideways: ${order}")
