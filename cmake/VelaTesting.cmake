# GoogleTest from the distribution's sources, and how tests run:
#   native     directly
#   win64      under 64-bit Wine through CMAKE_CROSSCOMPILING_EMULATOR, with a Wine prefix
#              that the build creates in its own folder and one wineserver kept up for the run
#   win32      not run by ctest here: tools/test.sh hands its test executables to the
#              32-bit Wine of the win64 tree's "win32" tests (emulated, one process each)
include_guard(GLOBAL)
include(GoogleTest)

set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

set(VELA_WINE_RUN ${CMAKE_SOURCE_DIR}/tools/wine/run)

if(WIN32 AND CMAKE_CROSSCOMPILING)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(VELA_WINE_ARCH win64)
  else()
    set(VELA_WINE_ARCH win32)
  endif()
  set(VELA_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VELA_WINE_RUN} ${VELA_WINE_ARCH} ${VELA_WINEPREFIX})

  # The build makes its own Wine prefix once; ctest keeps one wineserver up for the whole run,
  # so that each test process starts in a tenth of a second instead of several seconds.
  add_custom_command(OUTPUT ${VELA_WINEPREFIX}/.ready
    COMMAND ${VELA_WINE_RUN} ${VELA_WINE_ARCH} ${VELA_WINEPREFIX} --init
    COMMENT "Creating the Wine prefix ${VELA_WINEPREFIX}")
  # Made while the build compiles: the 32-bit prefix takes half a minute under emulation, which
  # would otherwise fall to the first 32-bit test.
  add_custom_target(wine_prefix ALL DEPENDS ${VELA_WINEPREFIX}/.ready)
  add_test(NAME wineserver_start COMMAND ${VELA_WINE_RUN} ${VELA_WINE_ARCH} ${VELA_WINEPREFIX} --server-start)
  add_test(NAME wineserver_stop COMMAND ${VELA_WINE_RUN} ${VELA_WINE_ARCH} ${VELA_WINEPREFIX} --server-stop)
  set_tests_properties(wineserver_start PROPERTIES FIXTURES_SETUP wine)
  set_tests_properties(wineserver_stop PROPERTIES FIXTURES_CLEANUP wine)
endif()

# The Windows builds compile test code at -O1 without debug information: that halves its
# compile time, and the code under test keeps the build type's own flags.
function(vela_quick_test_build target)
  if(WIN32)
    target_compile_options(${target} PRIVATE -O1 -g0)
  endif()
endfunction()
vela_quick_test_build(gtest)

# Precompiled headers that every test executable reuses: GoogleTest and the standard library,
# and for the suites that call Win32 also <windows.h> and <d3d9.h>. They took most of each test
# file's compile time.
function(vela_add_test_pch name header)
  add_library(${name} OBJECT ${CMAKE_SOURCE_DIR}/tests/support/precompiled.cpp)
  target_link_libraries(${name} PRIVATE GTest::gtest)
  target_precompile_headers(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/${header})
  vela_quick_test_build(${name})
endfunction()

vela_add_test_pch(vela_test_pch precompiled.h)
if(WIN32)
  vela_add_test_pch(vela_test_pch_win32 precompiled_win32.h)
endif()

# vela_add_test(NAME [PURE] SOURCES... LIBRARIES... PROPERTIES...): a GoogleTest executable.
# Natively ctest lists its cases one by one. Under Wine, where every process start costs a
# quarter of a second and more, one ctest entry runs the whole executable in one process (its
# output names the failing cases); the entries share the fixture's wineserver and run one at a
# time when they need the display (RESOURCE_LOCK display is added by the tests that open
# windows). PURE marks suites that must not see <windows.h>.
function(vela_add_test name)
  cmake_parse_arguments(ARG "PURE" "" "SOURCES;LIBRARIES;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES} ${CMAKE_SOURCE_DIR}/tests/support/test_main.cpp)
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gtest)
  vela_quick_test_build(${name})
  if(WIN32 AND NOT ARG_PURE)
    target_precompile_headers(${name} REUSE_FROM vela_test_pch_win32)
  else()
    target_precompile_headers(${name} REUSE_FROM vela_test_pch)
  endif()
  if(WIN32)
    vela_keep_below_2gib(${name})
  endif()
  set(props ${ARG_PROPERTIES})
  if(DEFINED VELA_WINE_ARCH)
    add_dependencies(${name} wine_prefix)
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine ${props})
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 PROPERTIES ${props})
  endif()
endfunction()

# The host hands the plug-in 32-bit addresses. A 64-bit test executable therefore loads low and
# is not large-address-aware, which keeps Wine's heap and VirtualAlloc below 2 GiB.
function(vela_keep_below_2gib target)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    target_link_options(${target} PRIVATE -Wl,--image-base,0x10000000)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND python3 ${CMAKE_SOURCE_DIR}/tools/pe_check.py clear-large-address-aware $<TARGET_FILE:${target}>
      VERBATIM)
  endif()
endfunction()
