# Writes Calvix's AppStream description from its template. Software centres show a screenshot
# only from a web address, and a screenshot without its picture is invalid there: without
# SCREENSHOT_URL (the web address of the published docs/ folder) the description lists none.
#   cmake -DTEMPLATE=... -DOUTPUT=... -DVERSION=2.1.3.13 -DDOCS=docs-folder [-DSCREENSHOT_URL=https://...]
#         -P Metainfo.cmake

include(${CMAKE_CURRENT_LIST_DIR}/Screenshots.cmake)
set(screenshots ${CALVIX_SCREENSHOT_FILES})

set(CALVIX_VERSION "${VERSION}")
set(CALVIX_SCREENSHOTS "")
if(SCREENSHOT_URL)
  string(REGEX REPLACE "/+$" "" base "${SCREENSHOT_URL}")
  set(kind " type=\"default\"")
  while(screenshots)
    list(POP_FRONT screenshots file caption)
    if(EXISTS "${DOCS}/${file}")
      string(APPEND CALVIX_SCREENSHOTS
             "    <screenshot${kind}>\n      <image>${base}/${file}</image>\n"
             "      <caption>${caption}</caption>\n    </screenshot>\n")
      set(kind "")
    endif()
  endwhile()
  if(CALVIX_SCREENSHOTS)
    set(CALVIX_SCREENSHOTS "  <screenshots>\n${CALVIX_SCREENSHOTS}  </screenshots>")
  endif()
endif()
configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
