# The browser build driven from the desktop one. The browser build stands on
# its own (scripts/web configures it alone: `emcmake cmake -S . -B build-web`,
# Emscripten, FluidSynth, oggenc and the soundfont, no SDL and no X11) and
# makes the site itself (cmake/site.cmake); the desktop build runs that same
# build in build/wasm, so the site is the same bytes either way:
#
#   cmake --build build --target wasm    the Emscripten build in build/wasm:
#                                        the headless tests for node, the
#                                        page and its test build, the site
#   cmake --build build --target site    build/site/, the Emscripten build's
#                                        site: index.html and the files it
#                                        loads, a folder for any static host
#
# Neither is part of the default build. When em++ and node are installed,
# ctest runs the headless tests under node as wasm.*; with the themes'
# renders (the desktop's own, handed over, so they are made once) the site
# is built, and ctest runs the browser scenarios tests/web/*_test.py in each
# engine whose tools are installed (cmake/web_tests.cmake). For anything
# missing, configuring says in one line what it is.
include(ExternalProject)
include(ProcessorCount)

find_program(TORVENKA_EMCMAKE emcmake)
find_program(TORVENKA_NODE NAMES node nodejs)

set(web_missing "")
if(NOT TORVENKA_EMCMAKE)
  list(APPEND web_missing "emscripten (em++)")
endif()
if(NOT TORVENKA_NODE)
  list(APPEND web_missing "node")
endif()
set(wasm_ready FALSE)
if(NOT web_missing)
  set(wasm_ready TRUE)
endif()
if(NOT TARGET theme_renders)
  list(APPEND web_missing "${theme_renders_MISSING}")
endif()
set(site_ready FALSE)
if(NOT web_missing AND EXISTS ${PROJECT_SOURCE_DIR}/src/web)
  set(site_ready TRUE)
endif()
if(web_missing)
  list(JOIN web_missing ", " missing_text)
  if(NOT wasm_ready)
    set(skipped "no wasm.* or web.* tests")
  else()
    set(skipped "no site and no web.* tests")
  endif()
  message(STATUS "Browser build: ${skipped}; missing: ${missing_text} (scripts/test installs them)")
endif()
if(NOT wasm_ready)
  return()
endif()

# The Emscripten build runs its own make with its own -j, apart from this
# build's job server. em++ runs node's JavaScript tools, which need Debian's
# acorn when the node on the PATH is not Debian's.
set(web_env ${CMAKE_COMMAND} -E env --unset=MAKEFLAGS)
if(EXISTS /usr/share/nodejs/acorn)
  list(APPEND web_env NODE_PATH=/usr/share/nodejs)
endif()

ProcessorCount(cores)
if(cores EQUAL 0)
  set(cores 2)
endif()

option(TORVENKA_WASM_TESTS "Build the headless tests with Emscripten and run them under node (wasm.*)" ON)

set(TORVENKA_WASM_DIR ${PROJECT_BINARY_DIR}/wasm)
set(TORVENKA_SITE_DIR ${PROJECT_BINARY_DIR}/site)
set(wasm_targets)
set(wasm_depends)
set(wasm_options -DCMAKE_BUILD_TYPE=Release -DTORVENKA_TESTS=${TORVENKA_WASM_TESTS})
if(TORVENKA_WASM_TESTS)
  list(APPEND wasm_targets torvenka_tests)
endif()
if(site_ready)
  list(APPEND wasm_targets site torvenka_page_watched)
  list(APPEND wasm_depends DEPENDS theme_renders)
  list(APPEND wasm_options -DTORVENKA_THEME_RENDERS=${PROJECT_BINARY_DIR}/theme-renders)
endif()
if(wasm_targets)
  set(wasm_build ${web_env} ${CMAKE_COMMAND} --build <BINARY_DIR> --parallel ${cores})
  foreach(t ${wasm_targets})
    list(APPEND wasm_build --target ${t})
  endforeach()
else()
  set(wasm_build ${CMAKE_COMMAND} -E true)
endif()
ExternalProject_Add(wasm
  ${wasm_depends}
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${TORVENKA_WASM_DIR}
  PREFIX ${PROJECT_BINARY_DIR}/wasm-prefix
  CONFIGURE_COMMAND ${web_env} ${TORVENKA_EMCMAKE} ${CMAKE_COMMAND} -S <SOURCE_DIR> -B <BINARY_DIR> ${wasm_options}
  BUILD_COMMAND ${wasm_build}
  INSTALL_COMMAND ""
  BUILD_ALWAYS TRUE
  EXCLUDE_FROM_ALL TRUE
  USES_TERMINAL_CONFIGURE TRUE
  USES_TERMINAL_BUILD TRUE)

# The headless tests under node, in three parts: the golden traces, the
# replays, and all the others. A part that runs no test fails.
if(TORVENKA_WASM_TESTS)
add_test(NAME wasm.build COMMAND ${CMAKE_COMMAND} --build ${PROJECT_BINARY_DIR} --target wasm)
# Two builds of this tree at once would trip over each other.
set_tests_properties(wasm.build PROPERTIES FIXTURES_SETUP wasm TIMEOUT 1800 RESOURCE_LOCK build_tree)
set(wasm_tests ${TORVENKA_WASM_DIR}/tests/torvenka_tests.js)
foreach(part "traces:Trace.*" "replays:Replays.*" "headless:-Trace.*:Replays.*")
  string(REPLACE ":" ";" fields "${part}")
  list(POP_FRONT fields name)
  list(JOIN fields ":" filter)
  add_test(NAME wasm.${name}
    COMMAND ${TORVENKA_NODE} ${wasm_tests} --gtest_brief=1 --gtest_filter=${filter}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR})
  set_tests_properties(wasm.${name} PROPERTIES FIXTURES_REQUIRED wasm TIMEOUT 600
    FAIL_REGULAR_EXPRESSION "\\] 0 tests from")
endforeach()
endif()

if(NOT site_ready)
  return()
endif()

# build/site: the Emscripten build's site, copied whole (emptied first, so
# that nothing stale stays in it).
add_custom_target(site
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${TORVENKA_SITE_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${TORVENKA_WASM_DIR}/site ${TORVENKA_SITE_DIR}
  DEPENDS wasm
  COMMENT "Copying the Emscripten build's site to ${TORVENKA_SITE_DIR}" VERBATIM)

# The site, and the desktop's tool that works out what the page must show
# when this tree has it, so that ctest -R '^web\.' needs no build before it.
set(site_targets site)
if(TARGET pagecheck)
  list(APPEND site_targets pagecheck)
endif()
add_test(NAME web.site COMMAND ${CMAKE_COMMAND} --build ${PROJECT_BINARY_DIR} --target ${site_targets})
set_tests_properties(web.site PROPERTIES FIXTURES_SETUP web_site TIMEOUT 1800 RESOURCE_LOCK build_tree)
# The release test holds the page's about line to the project's version too.
if(TEST packaging.release_test)
  set_tests_properties(packaging.release_test PROPERTIES FIXTURES_REQUIRED web_site
    ENVIRONMENT "TORVENKA_SITE=${TORVENKA_SITE_DIR}")
endif()

# The browser scenarios in each engine whose tools are here, as their driver
# layer (python/web_browsers.py, the one list of what each engine needs)
# finds them, run with the test build of the page from page-watched/.
find_program(web_python NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH NO_CACHE)
set(web_engines "")
set(engines_missing "")
if(web_python)
  execute_process(COMMAND ${web_python} ${PROJECT_SOURCE_DIR}/python/web_browsers.py ready
    OUTPUT_VARIABLE ready_lines OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
  if(NOT failed)
    string(REPLACE "\n" ";" ready_lines "${ready_lines}")
    foreach(line ${ready_lines})
      string(REPLACE " " ";" words "${line}")
      list(POP_FRONT words engine)
      if(words)
        list(JOIN words ", " what)
        list(APPEND engines_missing "${engine}: ${what}")
      else()
        list(APPEND web_engines ${engine})
      endif()
    endforeach()
  endif()
else()
  set(engines_missing "every engine: /usr/bin/python3")
endif()
if(engines_missing)
  list(JOIN engines_missing "; " missing_text)
  if(web_engines)
    list(JOIN web_engines ", " ready_text)
    set(skipped "browser tests in ${ready_text} only")
  else()
    set(skipped "no browser tests")
  endif()
  message(STATUS "Browser tests: ${skipped}; missing for ${missing_text} (scripts/test installs them)")
endif()
if(web_engines AND TARGET pagecheck)
  set(web_test_env "TORVENKA_WATCHED_PAGE=${TORVENKA_WASM_DIR}/page-watched")
  include(${PROJECT_SOURCE_DIR}/cmake/web_tests.cmake)
endif()
