# Writes and installs one desktop entry of Calvix when the files are installed, so that the
# entry names the program where this installation puts it: `cmake --install --prefix` and
# CPack's /usr both give their own prefix only at that moment. Included by the install rules
# of packaging/CMakeLists.txt.

# A path as the Exec key wants it: quoted when it holds a character that the desktop entry
# format reserves, with the backslash doubled once more for the value's own escaping.
function(calvix_exec_argument out path)
  string(REPLACE "%" "%%" path "${path}")
  if(NOT path MATCHES "[] \t\"'\\\\><~|&;$*?#()`[]")
    set(${out} "${path}" PARENT_SCOPE)
    return()
  endif()
  string(REPLACE "\\" "\\\\\\\\" path "${path}")
  string(REPLACE "\"" "\\\\\"" path "${path}")
  string(REPLACE "`" "\\\\`" path "${path}")
  string(REPLACE "$" "\\\\$" path "${path}")
  set(${out} "\"${path}\"" PARENT_SCOPE)
endfunction()

# calvix_install_desktop_entry(TEMPLATE WORK_DIR NAME BINDIR DESTINATION EXTRA): configures
# TEMPLATE into WORK_DIR/NAME for the program in BINDIR (relative to the install prefix, or
# absolute), with the lines EXTRA at its end, and installs it into DESTINATION (likewise).
function(calvix_install_desktop_entry template work name bindir destination extra)
  foreach(dir bindir destination)
    if(NOT IS_ABSOLUTE "${${dir}}")
      set(${dir} "${CMAKE_INSTALL_PREFIX}/${${dir}}")
    endif()
  endforeach()
  # The folder and the file are plain string values: only their backslashes need escaping.
  # TryExec makes the desktop pass over an entry whose program has gone, as the login entry
  # that the package keeps as a configuration file after `apt remove`.
  string(REPLACE "\\" "\\\\" CALVIX_PROGRAM_DIR "${bindir}")
  string(REPLACE "\\" "\\\\" CALVIX_PROGRAM_FILE "${bindir}/MorCalvix")
  calvix_exec_argument(CALVIX_PROGRAM "${bindir}/MorCalvix")
  set(CALVIX_ENTRY_EXTRA "${extra}")
  configure_file("${template}" "${work}/${name}" @ONLY NEWLINE_STYLE UNIX)
  file(INSTALL DESTINATION "${destination}" TYPE FILE FILES "${work}/${name}")
endfunction()
