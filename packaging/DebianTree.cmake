# Finishes the tree that CPack staged for the Debian package, as Debian's own helpers would:
# manual pages are kept compressed with gzip -9n, and the programs lose the compiler's notes
# that strip leaves. Run by CPack (CPACK_PRE_BUILD_SCRIPTS) before it builds the package; with
# all components in one package the tree is one folder down.
set(root "${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
if(IS_DIRECTORY "${root}/ALL_COMPONENTS_IN_ONE")
  set(root "${root}/ALL_COMPONENTS_IN_ONE")
endif()

# run(COMMAND...): runs a command and stops the packaging when it fails.
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "Failed: ${ARGN}")
  endif()
endfunction()

file(GLOB_RECURSE pages LIST_DIRECTORIES false "${root}/usr/share/man/*")
foreach(page ${pages})
  if(NOT page MATCHES "\\.gz$")
    run(gzip -9nf "${page}")
  endif()
endforeach()

find_program(STRIP strip REQUIRED)
file(GLOB programs LIST_DIRECTORIES false "${root}/usr/bin/*")
foreach(program ${programs})
  file(READ "${program}" magic LIMIT 4 HEX)
  if(magic STREQUAL "7f454c46")
    run(${STRIP} --remove-section=.comment --remove-section=.note "${program}")
  endif()
endforeach()
