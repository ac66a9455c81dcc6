# vexa_add_test(<name> LABEL <subsystem> SOURCES <files...> LIBS <targets...> [ENV <VAR=value...>])
#
# Builds one GoogleTest executable (with the shared main that creates a
# QApplication on the offscreen platform) and registers each of its cases with
# CTest, labelled with the subsystem so `ctest -L <subsystem>` selects them.
find_package(GTest REQUIRED)
include(GoogleTest)

function(vexa_add_test name)
  cmake_parse_arguments(T "" "LABEL" "SOURCES;LIBS;ENV;FIXTURES" ${ARGN})
  if(NOT T_LABEL)
    message(FATAL_ERROR "vexa_add_test(${name}): LABEL is required")
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE vexa_testmain ${T_LIBS})
  set(props LABELS ${T_LABEL}
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VEXA_SOURCE_DIR=${VEXA_SOURCE_DIR};${T_ENV}")
  if(T_FIXTURES)
    list(APPEND props FIXTURES_REQUIRED "${T_FIXTURES}")
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ${props})
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
