# The tests that run Windows programs under Wine: the Win32 reference checks, the shaped
# button's faces and the Windows program itself on a virtual desktop. They share one Wine
# prefix, made once per test run (the fixture "wine"), and take turns with it. The Windows
# program and the face writer come from scripts/build-windows (build/windows, the fixture
# "windows"), so a test run always checks the sources as they stand.
find_program(CALVIX_MINGW_CXX x86_64-w64-mingw32-g++)
find_program(CALVIX_MINGW_WINDRES x86_64-w64-mingw32-windres)
# Debian keeps the loader in Wine's library folder, not on the PATH.
find_program(CALVIX_WINE64 wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)

set(CALVIX_WINE OFF)
if(CALVIX_MINGW_CXX AND CALVIX_MINGW_WINDRES AND CALVIX_WINE64 AND NOT CALVIX_SANITIZE)
  set(CALVIX_WINE ON)
endif()
# run-under-wine WINE64 PROGRAM [ARGS...]: the program on a private Xvfb display.
set(CALVIX_RUN_UNDER_WINE ${CMAKE_SOURCE_DIR}/tests/platform/conformance/run-under-wine)
set(CALVIX_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
set(CALVIX_WINDOWS_DIR ${CMAKE_SOURCE_DIR}/build/windows)

if(CALVIX_WINE)
  add_test(NAME windows_build COMMAND ${CMAKE_SOURCE_DIR}/scripts/build-windows)
  set_tests_properties(windows_build PROPERTIES FIXTURES_SETUP windows LABELS wine TIMEOUT 1800)
  add_test(NAME wine_prefix COMMAND ${CALVIX_RUN_UNDER_WINE} ${CALVIX_WINE64} wineboot --init)
  add_test(NAME wine_prefix_removed COMMAND ${CMAKE_COMMAND} -E rm -rf ${CALVIX_WINE_PREFIX})
  set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine LABELS wine TIMEOUT 300
                                              ENVIRONMENT WINEPREFIX=${CALVIX_WINE_PREFIX})
  set_tests_properties(wine_prefix_removed PROPERTIES FIXTURES_CLEANUP wine LABELS wine)
endif()

# calvix_wine_test(NAME [WINDOWS] LABELS label... COMMAND command...): a test that runs under
# Wine in the shared prefix (WINEPREFIX is set for it); WINDOWS when it needs build/windows.
function(calvix_wine_test name)
  cmake_parse_arguments(arg "WINDOWS" "TIMEOUT" "LABELS;COMMAND" ${ARGN})
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 300)
  endif()
  set(fixtures wine)
  if(arg_WINDOWS)
    list(APPEND fixtures windows)
  endif()
  add_test(NAME ${name} COMMAND ${arg_COMMAND})
  set_tests_properties(${name} PROPERTIES LABELS "${arg_LABELS}" TIMEOUT ${arg_TIMEOUT}
                                          FIXTURES_REQUIRED "${fixtures}"
                                          RESOURCE_LOCK wine_prefix
                                          ENVIRONMENT WINEPREFIX=${CALVIX_WINE_PREFIX})
endfunction()
