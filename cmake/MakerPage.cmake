# The page the licence window's link opens. A packager points CALVIX_MAKER_URL at the maker's
# real site; left empty, the link opens the about page installed with the program
# (docs/about.html under the documentation folder), or the source tree's own while the program
# runs from its build folder.
include(GNUInstallDirs)
set(CALVIX_MAKER_URL "" CACHE STRING
    "Web address the licence window's link opens (empty: the program's about page)")

# A C string literal of `value`.
function(calvix_c_string out value)
  string(REPLACE "\\" "\\\\" value "${value}")
  string(REPLACE "\"" "\\\"" value "${value}")
  set(${out} "\"${value}\"" PARENT_SCOPE)
endfunction()

# calvix_maker_page(TARGET): gives TARGET the header core/MakerSettings.h with the address
# setting and the two places of the about page.
function(calvix_maker_page target)
  string(LENGTH "${CALVIX_MAKER_URL}" length)
  if(length GREATER 255)
    message(FATAL_ERROR "CALVIX_MAKER_URL is longer than the 255 characters the link passes on")
  endif()
  calvix_c_string(address "${CALVIX_MAKER_URL}")
  calvix_c_string(doc_dir "${CMAKE_INSTALL_DOCDIR}")
  calvix_c_string(source_page "${CMAKE_SOURCE_DIR}/docs/about.html")
  set(generated ${CMAKE_BINARY_DIR}/generated)
  file(CONFIGURE OUTPUT ${generated}/core/MakerSettings.h CONTENT
"// Generated from the build's settings by cmake/MakerPage.cmake.
#pragma once

inline constexpr char kMakerUrlSetting[] = ${address};
inline constexpr char kInstalledDocDir[] = ${doc_dir};
inline constexpr char kSourceAboutPage[] = ${source_page};
")
  target_include_directories(${target} PUBLIC ${generated})
endfunction()
