# Build helpers shared by every folder: one static library per folder, one test program per
# test folder, fuzz targets that double as regression tests, and benchmarks.

# calvix_library(NAME DIR [DEPS...]): a static library of every .cpp directly in DIR.
# A folder that has no sources yet gives an interface library, so the graph stays whole.
function(calvix_library name dir)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARGN})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
endfunction()

# calvix_tests(NAME DIR [LIBS...]): one GoogleTest program of every *_test.cpp in DIR,
# each test registered with CTest.
function(calvix_tests name dir)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*_test.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest_main GTest::gmock)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES LABELS unit TIMEOUT 120)
endfunction()

# calvix_fuzzer(NAME SOURCE [LIBS...]): a libFuzzer target in the fuzz build; in the ordinary
# builds the same entry point replays the kept corpus fuzz/corpus/NAME as a regression test.
function(calvix_fuzzer name source)
  set(corpus ${CMAKE_SOURCE_DIR}/fuzz/corpus/${name})
  if(CALVIX_FUZZ)
    add_executable(fuzz_${name} ${source})
    target_link_libraries(fuzz_${name} PRIVATE ${ARGN})
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    add_test(NAME fuzz_${name}
             COMMAND ${CMAKE_SOURCE_DIR}/fuzz/run-fuzzer $<TARGET_FILE:fuzz_${name}> ${corpus})
    set_tests_properties(fuzz_${name} PROPERTIES LABELS fuzz TIMEOUT 300)
  else()
    add_executable(replay_${name} ${source} ${CMAKE_SOURCE_DIR}/fuzz/replay_main.cpp)
    target_link_libraries(replay_${name} PRIVATE ${ARGN})
    add_test(NAME replay_${name} COMMAND replay_${name} ${corpus})
    set_tests_properties(replay_${name} PROPERTIES LABELS unit TIMEOUT 120)
  endif()
endfunction()

# calvix_benchmark(NAME SOURCE [LIBS...]): a Google Benchmark program, built but not run.
function(calvix_benchmark name source)
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE ${ARGN} benchmark::benchmark_main)
endfunction()

# calvix_embed_forms(TARGET FORM...): compiles form descriptions into TARGET. Each FORM
# (a path relative to the source root, e.g. app/Principal.form) becomes the header
# <FORM>.h under the build's generated/ folder (#include "app/Principal.form.h"); the module
# that includes it registers the description under its root's class name at start-up, and
# the form reads it when it is created.
function(calvix_embed_forms target)
  set(generated_root ${CMAKE_BINARY_DIR}/generated)
  foreach(form ${ARGN})
    set(input ${CMAKE_SOURCE_DIR}/${form})
    set(output ${generated_root}/${form}.h)
    get_filename_component(output_dir ${output} DIRECTORY)
    file(MAKE_DIRECTORY ${output_dir})
    add_custom_command(
      OUTPUT ${output}
      COMMAND ${CMAKE_COMMAND} -DINPUT=${input} -DOUTPUT=${output} -DSOURCE_NAME=${form}
              -P ${CMAKE_SOURCE_DIR}/cmake/EmbedForm.cmake
      DEPENDS ${input} ${CMAKE_SOURCE_DIR}/cmake/EmbedForm.cmake
      COMMENT "Embedding form description ${form}")
    target_sources(${target} PRIVATE ${output})
  endforeach()
  target_include_directories(${target} PUBLIC ${generated_root})
endfunction()

# calvix_resources(TARGET DESCRIPTION): compiles the resource description (a path relative to
# the source root) into TARGET. On Linux the project's resource compiler (tools/calvix-rc)
# writes the resource directory into an ELF section of its own; for Windows windres compiles
# the same file into the executable's resources. File names in the description are relative to
# its folder, and its texts are UTF-8, for both compilers.
function(calvix_resources target description)
  set(source ${CMAKE_SOURCE_DIR}/${description})
  if(WIN32)
    get_filename_component(source_dir ${source} DIRECTORY)
    set_source_files_properties(${source} TARGET_DIRECTORY ${target}
                                PROPERTIES COMPILE_OPTIONS "-c;65001;-I;${source_dir}")
    target_sources(${target} PRIVATE ${source})
    return()
  endif()
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.c)
  add_custom_command(
    OUTPUT ${output} ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.bin
    COMMAND calvix-rc ${source} -o ${output} -b ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.bin
            -d ${output}.d
    DEPENDS calvix-rc ${source}
    DEPFILE ${output}.d
    COMMENT "Compiling the resources of ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${output})
endfunction()

# calvix_product_version(VAR): the program's version ("2.1.3.13") as its version resource
# (app/MorCalvix.rc) gives it, the one place that holds it. CMake configures again when the
# resource changes.
function(calvix_product_version var)
  set(resource ${CMAKE_SOURCE_DIR}/app/MorCalvix.rc)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${resource})
  file(STRINGS ${resource} line REGEX "VALUE \"ProductVersion\"")
  string(REGEX REPLACE ".*\"ProductVersion\", *\"([^\"]+)\".*" "\\1" version "${line}")
  if(NOT version MATCHES "^[0-9]+(\\.[0-9]+)*$")
    message(FATAL_ERROR "No ProductVersion found in ${resource}")
  endif()
  set(${var} ${version} PARENT_SCOPE)
endfunction()
