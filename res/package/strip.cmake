# Run by cpack on the staged files before it packs them: the program stripped as Debian strips its
# own, without debugging symbols and without the .comment and .note sections plain strip leaves.
file(GLOB_RECURSE staged_programs LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/bin/*")
if(NOT staged_programs)
  message(FATAL_ERROR "no program staged below ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()
foreach(program IN LISTS staged_programs)
  execute_process(COMMAND "${CPACK_ZARVEL_STRIP}" --strip-unneeded --remove-section=.comment --remove-section=.note
                          "${program}" RESULT_VARIABLE stripped)
  if(NOT stripped EQUAL 0)
    message(FATAL_ERROR "could not strip ${program}")
  endif()
endforeach()
