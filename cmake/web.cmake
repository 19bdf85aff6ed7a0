# The browser build beside the desktop one, from Debian's packages only.
#
#   cmake --build build --target wasm    the Emscripten build in build/wasm:
#                                        the headless tests for node, and the
#                                        page when src/web/ is there
#   cmake --build build --target site    build/site/: index.html and the files
#                                        it loads, a folder for any static host
#
# Neither is part of the default build. When em++ and node are installed,
# ctest runs the headless tests under node as wasm.*; with the themes'
# renders (cmake/theme_renders.cmake: FluidSynth, oggenc and the soundfont),
# the site is built; and ctest runs the browser tests tests/web/*_test.py in each of three engines whose
# tools are installed, as web.<engine>.<scenario>: Chromium (chromedriver and
# Python's selenium), Firefox ESR (over WebDriver BiDi: Python alone) and
# WebKit (WebKitWebDriver and its MiniBrowser, selenium, an X server). For
# anything missing, configuring says in one line what it is.
include(ExternalProject)
include(ProcessorCount)

find_program(TORVENKA_EMCMAKE emcmake)
find_program(TORVENKA_NODE NAMES node nodejs)
find_program(TORVENKA_CHROMIUM NAMES chromium chromium-browser)
find_program(TORVENKA_CHROMEDRIVER chromedriver)
find_program(TORVENKA_FIREFOX NAMES firefox-esr firefox)
find_program(TORVENKA_WEBKITWEBDRIVER WebKitWebDriver)
find_program(TORVENKA_XVFB Xvfb)
find_program(TORVENKA_XDOTOOL xdotool)
find_program(TORVENKA_PULSEAUDIO pulseaudio)
file(GLOB minibrowsers /usr/lib/*/webkit2gtk-4.1/MiniBrowser /usr/lib/*/webkit2gtk-4.0/MiniBrowser)
set(TORVENKA_MINIBROWSER "" CACHE FILEPATH "WebKitGTK's MiniBrowser, for the browser tests in WebKit")
if(NOT TORVENKA_MINIBROWSER AND minibrowsers)
  list(GET minibrowsers 0 first_minibrowser)
  set(TORVENKA_MINIBROWSER ${first_minibrowser} CACHE FILEPATH
    "WebKitGTK's MiniBrowser, for the browser tests in WebKit" FORCE)
endif()

# The browser tests run under Debian's python3 (which may not be the first
# python3 on the PATH), with its pytest and PIL; Chromium and WebKit are
# driven through its selenium, Firefox through its websocket.
find_program(web_python NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH NO_CACHE)
foreach(module pytest PIL selenium websocket)
  set(web_has_${module} FALSE)
  if(web_python)
    execute_process(COMMAND ${web_python} -c "import ${module}" RESULT_VARIABLE missing OUTPUT_QUIET ERROR_QUIET)
    if(missing EQUAL 0)
      set(web_has_${module} TRUE)
    endif()
  endif()
endforeach()

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
# The page's music is the themes' renders, made for the desktop as well.
if(NOT TARGET theme_renders)
  list(APPEND web_missing "${theme_renders_MISSING}")
endif()
set(site_ready FALSE)
if(NOT web_missing)
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

# Each engine of the browser tests, and what it lacks here.
set(engine_missing_chromium "")
if(NOT TORVENKA_CHROMIUM)
  list(APPEND engine_missing_chromium "chromium")
endif()
if(NOT TORVENKA_CHROMEDRIVER)
  list(APPEND engine_missing_chromium "chromedriver (chromium-driver)")
endif()
set(engine_missing_firefox "")
if(NOT TORVENKA_FIREFOX)
  list(APPEND engine_missing_firefox "firefox-esr")
endif()
set(engine_missing_webkit "")
if(NOT TORVENKA_WEBKITWEBDRIVER OR NOT TORVENKA_MINIBROWSER)
  list(APPEND engine_missing_webkit "WebKitWebDriver and MiniBrowser (webkit2gtk-driver)")
endif()
if(NOT TORVENKA_XDOTOOL)
  list(APPEND engine_missing_webkit "xdotool")
endif()
if(NOT TORVENKA_XVFB)
  list(APPEND engine_missing_webkit "Xvfb (xvfb)")
endif()
foreach(engine firefox webkit)
  # Their audio runs only on a sound device: a PulseAudio of the test's own.
  if(NOT TORVENKA_PULSEAUDIO)
    list(APPEND engine_missing_${engine} "pulseaudio")
  endif()
endforeach()
foreach(engine chromium webkit)
  if(NOT web_has_selenium)
    list(APPEND engine_missing_${engine} "python3-selenium")
  endif()
endforeach()
if(NOT web_has_websocket)
  list(APPEND engine_missing_firefox "python3-websocket")
endif()
foreach(engine chromium firefox webkit)
  if(NOT web_python)
    list(APPEND engine_missing_${engine} "/usr/bin/python3")
  endif()
  if(NOT web_has_pytest)
    list(APPEND engine_missing_${engine} "python3-pytest")
  endif()
  if(NOT web_has_PIL)
    list(APPEND engine_missing_${engine} "python3-pil")
  endif()
endforeach()
set(web_engines "")
set(engines_missing "")
foreach(engine chromium firefox webkit)
  if(engine_missing_${engine})
    list(JOIN engine_missing_${engine} ", " what)
    list(APPEND engines_missing "${engine}: ${what}")
  else()
    list(APPEND web_engines ${engine})
  endif()
endforeach()
if(site_ready AND engines_missing)
  list(JOIN engines_missing "; " missing_text)
  if(web_engines)
    list(JOIN web_engines ", " ready_text)
    set(skipped "browser tests in ${ready_text} only")
  else()
    set(skipped "no browser tests")
  endif()
  message(STATUS "Browser tests: ${skipped}; missing for ${missing_text} (scripts/test installs them)")
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

# scripts/web turns the tests off: it only wants the page.
option(TORVENKA_WASM_TESTS "Build the headless tests with Emscripten and run them under node (wasm.*)" ON)

set(TORVENKA_WASM_DIR ${PROJECT_BINARY_DIR}/wasm)
set(wasm_targets)
if(TORVENKA_WASM_TESTS)
  list(APPEND wasm_targets torvenka_tests)
endif()
if(EXISTS ${PROJECT_SOURCE_DIR}/src/web)
  list(APPEND wasm_targets torvenka_page torvenka_page_watched)
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
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${TORVENKA_WASM_DIR}
  PREFIX ${PROJECT_BINARY_DIR}/wasm-prefix
  CONFIGURE_COMMAND ${web_env} ${TORVENKA_EMCMAKE} ${CMAKE_COMMAND} -S <SOURCE_DIR> -B <BINARY_DIR>
    -DCMAKE_BUILD_TYPE=Release
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

# The page's music: the themes' renders (theme_renders, the desktop's own,
# cmake/theme_renders.cmake), the very files the desktop plays. The effects
# go to the page as the WAV files they are.
# The site: emptied, then filled with the page and the sounds, so that nothing
# stale stays in it. Without src/web/ it holds a placeholder page.
set(TORVENKA_SITE_DIR ${PROJECT_BINARY_DIR}/site)
set(page_dir "")
if(EXISTS ${PROJECT_SOURCE_DIR}/src/web)
  set(page_dir ${TORVENKA_WASM_DIR}/page)
endif()
set(web_dir "")
set(icons_dir ${PROJECT_BINARY_DIR}/web-icons)
if(page_dir)
  set(web_dir ${PROJECT_SOURCE_DIR}/src/web)
endif()
# The page's icons, drawn by the desktop's own tools/webicons.
add_custom_target(web_icons COMMAND webicons ${icons_dir} DEPENDS webicons VERBATIM)
add_custom_target(site
  COMMAND ${CMAKE_COMMAND} -DSITE=${TORVENKA_SITE_DIR} -DPAGE=${page_dir}
    -DSOUNDS=${PROJECT_BINARY_DIR}/theme-renders -DDAT=${PROJECT_SOURCE_DIR}/dat
    -DWEB=${web_dir} -DICONS=${icons_dir}
    -P ${PROJECT_SOURCE_DIR}/cmake/assemble_site.cmake
  DEPENDS wasm theme_renders web_icons
  COMMENT "Putting the site together in ${TORVENKA_SITE_DIR}" VERBATIM)

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

# The browser tests (cmake/web_tests.cmake): the scenarios in each engine,
# run with the test build of the page from page-watched/.
if(web_engines AND TARGET pagecheck)
  set(web_test_env "TORVENKA_WATCHED_PAGE=${TORVENKA_WASM_DIR}/page-watched")
  if(TORVENKA_CHROMIUM)
    list(APPEND web_test_env "CHROMIUM=${TORVENKA_CHROMIUM}" "CHROMEDRIVER=${TORVENKA_CHROMEDRIVER}")
  endif()
  if(TORVENKA_FIREFOX)
    list(APPEND web_test_env "FIREFOX=${TORVENKA_FIREFOX}")
  endif()
  if(TORVENKA_WEBKITWEBDRIVER AND TORVENKA_MINIBROWSER)
    list(APPEND web_test_env "WEBKITWEBDRIVER=${TORVENKA_WEBKITWEBDRIVER}" "MINIBROWSER=${TORVENKA_MINIBROWSER}")
  endif()
  include(${PROJECT_SOURCE_DIR}/cmake/web_tests.cmake)
endif()
