# Finishes the tree that CPack staged for the Debian package, as Debian's own helpers would:
# manual pages are kept compressed with gzip -9n. Run by CPack (CPACK_PRE_BUILD_SCRIPTS) before
# it builds the package; with all components in one package the tree is one folder down.
set(root "${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
if(IS_DIRECTORY "${root}/ALL_COMPONENTS_IN_ONE")
  set(root "${root}/ALL_COMPONENTS_IN_ONE")
endif()
file(GLOB_RECURSE pages LIST_DIRECTORIES false "${root}/usr/share/man/*")
foreach(page ${pages})
  if(NOT page MATCHES "\\.gz$")
    execute_process(COMMAND gzip -9nf "${page}" RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "Could not compress ${page}")
    endif()
  endif()
endforeach()
