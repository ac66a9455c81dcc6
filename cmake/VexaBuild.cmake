# vexa_add_test(<name> LABEL <subsystem> SOURCES <files...> LIBS <targets...> [ENV <VAR=value...>]
#               [FIXTURES <fixtures...>] [PRINTING] [ONE_AT_A_TIME])
#
# Builds one GoogleTest executable (with the shared main that creates a
# QApplication on the offscreen platform) and registers each of its cases with
# CTest, labelled with the subsystem so `ctest -L <subsystem>` selects them.
# PRINTING runs the tests against the private CUPS scheduler: its queue
# "VexaPDF" is then an installed printer, and VEXA_PDF_OUT names the folder
# where the printed PDFs appear.
# ONE_AT_A_TIME runs the cases one after the other (they share files).
find_package(GTest REQUIRED)
include(GoogleTest)

function(vexa_add_test name)
  cmake_parse_arguments(T "PRINTING;ONE_AT_A_TIME" "LABEL" "SOURCES;LIBS;ENV;FIXTURES" ${ARGN})
  if(NOT T_LABEL)
    message(FATAL_ERROR "vexa_add_test(${name}): LABEL is required")
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE vexa_testmain ${T_LIBS})
  if(T_PRINTING)
    list(APPEND T_FIXTURES cups)
    execute_process(COMMAND id -un OUTPUT_VARIABLE user OUTPUT_STRIP_TRAILING_WHITESPACE)
    list(APPEND T_ENV "CUPS_SERVER=${CMAKE_BINARY_DIR}/cups/run/cups.sock"
                      "VEXA_PDF_OUT=/var/spool/cups-pdf-vexatest/${user}")
  endif()
  # gtest_discover_tests flattens property lists, so a test's environment
  # travels in a file that the shared test main loads before anything runs.
  set(env "QT_QPA_PLATFORM=offscreen" "VEXA_SOURCE_DIR=${VEXA_SOURCE_DIR}" ${T_ENV})
  list(JOIN env "\n" env_text)
  set(env_file ${CMAKE_CURRENT_BINARY_DIR}/${name}.env)
  file(GENERATE OUTPUT ${env_file} CONTENT "${env_text}\n")
  set(env_source ${CMAKE_CURRENT_BINARY_DIR}/${name}_env.cpp)
  file(GENERATE OUTPUT ${env_source}
       CONTENT "extern const char* const kVexaTestEnvFile;\nconst char* const kVexaTestEnvFile = \"${env_file}\";\n")
  target_sources(${name} PRIVATE ${env_source})
  set(props LABELS ${T_LABEL})
  # Every printing test reads its PDF back from the one cups-pdf spool folder:
  # run them one at a time so that no test picks up another's document.
  if(T_PRINTING)
    list(APPEND props RESOURCE_LOCK cups_pdf_spool)
  endif()
  # Tests whose cases share files under their XDG folders (a list of
  # practitioners, the settings) run their cases one after the other.
  if(T_ONE_AT_A_TIME)
    list(APPEND props RESOURCE_LOCK ${name}_files)
  endif()
  list(LENGTH T_FIXTURES fixture_count)
  if(fixture_count EQUAL 1)
    list(APPEND props FIXTURES_REQUIRED "${T_FIXTURES}")
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ${props})
  # Several fixtures make a list, which the discovery would flatten into
  # separate properties: they are given to the discovered tests afterwards.
  if(fixture_count GREATER 1)
    set(fixtures_file ${CMAKE_CURRENT_BINARY_DIR}/${name}_fixtures.cmake)
    file(GENERATE OUTPUT ${fixtures_file}
         CONTENT "set_tests_properties(\${${name}_TESTS} PROPERTIES FIXTURES_REQUIRED \"${T_FIXTURES}\")\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${fixtures_file})
  endif()
endfunction()

# Adds every child folder of the current one that has a CMakeLists.txt, so the
# parts of a subsystem (core, ui, ...) join the build as they appear.
function(vexa_add_subdirs)
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child IN LISTS children)
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()
