# Run by CPack on the staged files before it packs them: strips the program
# as Debian's own packages are stripped, dropping the compiler's notes too.
file(GLOB programs LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/usr/games/*")
foreach(program ${programs})
  execute_process(COMMAND strip --remove-section=.comment --remove-section=.note --strip-unneeded ${program}
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "could not strip ${program}")
  endif()
endforeach()
if(NOT programs)
  message(FATAL_ERROR "no program found to strip under ${CPACK_TEMPORARY_DIRECTORY}")
endif()
