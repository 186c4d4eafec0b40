# Every test program runs under Wine in the build tree's own prefix. The
# fixture "wine" creates the prefix on first use and starts Xvfb and a
# persistent wineserver; its cleanup stops both, so nothing lingers after
# a run and two build trees never share state.

set(VL_TEST_STATE_DIR ${CMAKE_BINARY_DIR}/wine)
file(MAKE_DIRECTORY ${VL_TEST_STATE_DIR})
set(VL_SCRIPTS ${CMAKE_SOURCE_DIR}/scripts)

add_test(NAME wine_setup COMMAND ${VL_SCRIPTS}/wine-prefix.sh setup ${VL_TEST_STATE_DIR})
set_tests_properties(wine_setup PROPERTIES FIXTURES_SETUP wine TIMEOUT 600)
add_test(NAME wine_cleanup COMMAND ${VL_SCRIPTS}/wine-prefix.sh cleanup ${VL_TEST_STATE_DIR})
set_tests_properties(wine_cleanup PROPERTIES FIXTURES_CLEANUP wine)

# GoogleTest from Debian's sources, built with the same cross toolchain.
set(VL_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
add_subdirectory(${VL_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# vl_add_test(<name> SOURCES ... [LIBS ...] [TIMEOUT s] [SERIAL])
#   A GoogleTest program run under Wine. The build tree's path is given to it
#   in VL_BUILD_DIR (as a Unix path; tests map it through Z:).
function(vl_add_test name)
  cmake_parse_arguments(A "SERIAL" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_compile_options(${name} PRIVATE ${VL_WARNINGS})
  target_link_libraries(${name} PRIVATE ${A_LIBS} gtest gtest_main)
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 300)
  endif()
  add_test(NAME ${name}
           COMMAND ${VL_SCRIPTS}/wine-run.sh ${VL_TEST_STATE_DIR} $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT ${A_TIMEOUT}
                       ENVIRONMENT "VL_BUILD_DIR=${CMAKE_BINARY_DIR};VL_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
  if(A_SERIAL)
    set_tests_properties(${name} PROPERTIES RUN_SERIAL ON)
  endif()
endfunction()
