# Run by CPack on the staged files, before it builds the package. Strips the
# program as Debian's dh_strip does: CPack's own strip leaves the compiler's
# .comment and .note sections, which only take room.
file(GLOB programs "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/${CPACK_PACKAGING_INSTALL_PREFIX}/bin/*")
if(NOT programs)
    message(FATAL_ERROR "No program staged in ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()
foreach(program ${programs})
    execute_process(
        COMMAND ${CPACK_FENNICK_STRIP} --remove-section=.comment --remove-section=.note ${program}
        COMMAND_ERROR_IS_FATAL ANY)
endforeach()
