# The Windows build driven from the desktop one, and its tests under wine.
# The Windows build stands on its own (scripts/windows configures it alone:
# MinGW-w64's cross compilers with cmake/mingw-w64.cmake, no SDL, no X11) and
# makes the program, the portable zip and the installer itself
# (cmake/windows_package.cmake); the desktop build runs that same build in
# build/windows:
#
#   cmake --build build --target windows   the MinGW-w64 build in
#                                          build/windows: the headless tests,
#                                          torvenka.exe, the zip, the installer
#
# Not part of the default build. When the cross compilers are installed,
# ctest runs the headless tests under wine as windows.unit, and the end-to-end
# tests of tests/windows/*_test.sh as windows.<name>, each in a Windows (a
# wine prefix) and an X server of its own; without wine they are skipped
# (77), saying so. The desktop's renders of the themes are handed over, so
# they are made once, and its iconexport draws the program's icon file.
include(ExternalProject)
include(ProcessorCount)

find_program(TORVENKA_MINGW_CXX x86_64-w64-mingw32-g++-posix)
if(NOT TORVENKA_MINGW_CXX)
  message(STATUS "Windows build: no windows.* tests; missing: g++-mingw-w64-x86-64-posix (scripts/test installs it)")
  return()
endif()

ProcessorCount(cores)
if(cores EQUAL 0)
  set(cores 2)
endif()

set(TORVENKA_WINDOWS_DIR ${PROJECT_BINARY_DIR}/windows)
set(windows_options -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release
  -DTORVENKA_DESKTOP=OFF -DTORVENKA_GTEST_FROM_SOURCE=ON)
set(windows_depends)
set(windows_targets torvenka_tests)
set(windows_needs)
if(TARGET theme_renders)
  list(APPEND windows_needs theme_renders)
  list(APPEND windows_options -DTORVENKA_THEME_RENDERS=${PROJECT_BINARY_DIR}/theme-renders)
endif()
# The program's icon file, drawn by this build's iconexport.
if(TARGET iconexport)
  list(APPEND windows_needs iconexport)
  list(APPEND windows_options -DTORVENKA_ICONEXPORT=$<TARGET_FILE:iconexport>)
endif()
if(windows_needs)
  set(windows_depends DEPENDS ${windows_needs})
endif()
# The program and its packages, once the Windows front end is in the tree.
if(EXISTS ${PROJECT_SOURCE_DIR}/src/win32)
  list(APPEND windows_targets torvenka windows_packages)
endif()
set(windows_build ${CMAKE_COMMAND} -E env --unset=MAKEFLAGS ${CMAKE_COMMAND} --build <BINARY_DIR> --parallel ${cores})
foreach(t ${windows_targets})
  list(APPEND windows_build --target ${t})
endforeach()
ExternalProject_Add(windows
  ${windows_depends}
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${TORVENKA_WINDOWS_DIR}
  PREFIX ${PROJECT_BINARY_DIR}/windows-prefix
  CONFIGURE_COMMAND ${CMAKE_COMMAND} -S <SOURCE_DIR> -B <BINARY_DIR> ${windows_options}
  BUILD_COMMAND ${windows_build}
  INSTALL_COMMAND ""
  BUILD_ALWAYS TRUE
  EXCLUDE_FROM_ALL TRUE
  USES_TERMINAL_CONFIGURE TRUE
  USES_TERMINAL_BUILD TRUE)

add_test(NAME windows.build COMMAND ${CMAKE_COMMAND} --build ${PROJECT_BINARY_DIR} --target windows)
# Two builds of this tree at once would trip over each other.
set_tests_properties(windows.build PROPERTIES FIXTURES_SETUP windows TIMEOUT 1800 RESOURCE_LOCK build_tree)

# The wine prefixes' template (tests/windows/wine.sh) lives here.
set(wine_dir ${PROJECT_BINARY_DIR}/windows-wine)
add_test(NAME windows.unit
  COMMAND bash ${PROJECT_SOURCE_DIR}/tests/windows/unit_test.sh ${TORVENKA_WINDOWS_DIR}/tests/torvenka_tests.exe
    ${wine_dir}
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR})
set_tests_properties(windows.unit PROPERTIES FIXTURES_REQUIRED windows TIMEOUT 600 SKIP_RETURN_CODE 77)

# The end-to-end tests drive torvenka.exe under wine through its window, with
# the desktop's pagecheck for what they need to know of the game.
if(EXISTS ${PROJECT_SOURCE_DIR}/src/win32 AND TARGET pagecheck)
  file(GLOB WINDOWS_E2E_TESTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/windows/*_test.sh)
  list(REMOVE_ITEM WINDOWS_E2E_TESTS ${PROJECT_SOURCE_DIR}/tests/windows/unit_test.sh)
  foreach(t ${WINDOWS_E2E_TESTS})
    get_filename_component(name ${t} NAME_WE)
    add_test(NAME windows.${name}
      COMMAND bash ${t} ${TORVENKA_WINDOWS_DIR} ${wine_dir} $<TARGET_FILE:pagecheck>
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR})
    set_tests_properties(windows.${name} PROPERTIES FIXTURES_REQUIRED windows TIMEOUT 600 SKIP_RETURN_CODE 77)
  endforeach()
  # Its bounds are on real time, as the Linux one's: it runs alone.
  set_tests_properties(windows.gameover_test PROPERTIES RUN_SERIAL TRUE)
endif()
