# The web page, in the Emscripten build: the game, the loop and the pure screen
# code, the same files as the desktop's, with the page's front end in src/web/.
# What it makes goes to <build>/page/, everything of the site except the
# sounds (the desktop build renders those; see cmake/web.cmake):
#   torvenka.js, torvenka.wasm   the game (the page loads torvenka.js)
#   index.html                   src/web/index.html with the project's
#                                version in its about line
#   other src/web/*.js           copied as they are, for the page to load
# JavaScript in src/web/ named library_*.js is compiled in as an Emscripten
# JS library (--js-library), *.pre.js before and *.post.js after the
# generated script (--pre-js, --post-js).
#
# The browser tests and the bench watch a second link of the same code, the
# test build of the page, in <build>/page-watched/ (torvenka.js and
# torvenka.wasm only): it links page_watch.cpp and library_watch.js, which
# keep what the page did in window.torvenkaWatch; the page that ships links
# no_page_watch.cpp instead, and nothing watches it.
set(TORVENKA_PAGE_DIR ${PROJECT_BINARY_DIR}/page)
set(TORVENKA_PAGE_WATCHED_DIR ${PROJECT_BINARY_DIR}/page-watched)

file(GLOB WEB_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/web/*.cpp)
# The pointer input and the wake-up's aim are a library of their own
# (torvenka_web_input), which the headless tests link too, so they are
# compiled there only; the watchers are each link's own.
list(REMOVE_ITEM WEB_SOURCES ${PROJECT_SOURCE_DIR}/src/web/pointer_input.cpp
  ${PROJECT_SOURCE_DIR}/src/web/wake_aim.cpp
  ${PROJECT_SOURCE_DIR}/src/web/page_watch.cpp ${PROJECT_SOURCE_DIR}/src/web/no_page_watch.cpp)
file(GLOB WEB_SCRIPTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/web/*.js)
set(WATCH_SCRIPT ${PROJECT_SOURCE_DIR}/src/web/library_watch.js)
list(REMOVE_ITEM WEB_SCRIPTS ${WATCH_SCRIPT})

# The code both links share, compiled once.
add_library(torvenka_web_objects OBJECT ${WEB_SOURCES})
torvenka_headers(torvenka_web_objects src/web)
target_link_libraries(torvenka_web_objects PUBLIC torvenka_loop torvenka_screen torvenka_sound_parser
  torvenka_web_input)

# The page's about line says the project's version, as torvenka --version
# and the package do.
configure_file(${PROJECT_SOURCE_DIR}/src/web/index.html ${TORVENKA_PAGE_DIR}/index.html @ONLY)
set(page_files)
function(torvenka_page_link target dir)
  add_executable(${target} ${ARGN})
  target_link_libraries(${target} PRIVATE torvenka_web_objects)
  set_target_properties(${target} PROPERTIES OUTPUT_NAME torvenka RUNTIME_OUTPUT_DIRECTORY ${dir})
  target_link_options(${target} PRIVATE -sENVIRONMENT=web -sALLOW_MEMORY_GROWTH=1
    -sEXPORTED_FUNCTIONS=_main,_web_woken,_web_timer_back,_web_title_shown,_web_pointer,_web_audio_arrived,_web_audio_decoded,_web_audio_failed,_web_audio_ended,_web_watch_again,_web_watch_file,_malloc,_free)
  # The page's Content-Security-Policy allows no eval: the link fails should
  # the generated script ever need it.
  target_link_options(${target} PRIVATE -sDYNAMIC_EXECUTION=0)
  foreach(script ${WEB_SCRIPTS})
    get_filename_component(name ${script} NAME)
    if(name MATCHES "^library_.*\\.js$")
      target_link_options(${target} PRIVATE "SHELL:--js-library ${script}")
    elseif(name MATCHES "\\.pre\\.js$")
      target_link_options(${target} PRIVATE "SHELL:--pre-js ${script}")
    elseif(name MATCHES "\\.post\\.js$")
      target_link_options(${target} PRIVATE "SHELL:--post-js ${script}")
    else()
      continue()
    endif()
    # A changed JS library relinks the page.
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${script})
  endforeach()
endfunction()

torvenka_page_link(torvenka_web ${TORVENKA_PAGE_DIR} ${PROJECT_SOURCE_DIR}/src/web/no_page_watch.cpp)
torvenka_page_link(torvenka_web_watched ${TORVENKA_PAGE_WATCHED_DIR} ${PROJECT_SOURCE_DIR}/src/web/page_watch.cpp)
target_link_libraries(torvenka_web_watched PRIVATE torvenka_headless)
target_link_options(torvenka_web_watched PRIVATE "SHELL:--js-library ${WATCH_SCRIPT}")
set_property(TARGET torvenka_web_watched APPEND PROPERTY LINK_DEPENDS ${WATCH_SCRIPT})
add_custom_target(torvenka_page_watched ALL DEPENDS torvenka_web_watched)

foreach(script ${WEB_SCRIPTS})
  get_filename_component(name ${script} NAME)
  if(NOT name MATCHES "^library_.*\\.js$|\\.pre\\.js$|\\.post\\.js$")
    list(APPEND page_files ${script})
  endif()
endforeach()

# The page's own files beside the game, copied when they change.
set(page_copies)
foreach(f ${page_files})
  get_filename_component(name ${f} NAME)
  add_custom_command(OUTPUT ${TORVENKA_PAGE_DIR}/${name}
    COMMAND ${CMAKE_COMMAND} -E copy ${f} ${TORVENKA_PAGE_DIR}/${name}
    DEPENDS ${f} VERBATIM)
  list(APPEND page_copies ${TORVENKA_PAGE_DIR}/${name})
endforeach()
add_custom_target(torvenka_page ALL DEPENDS torvenka_web ${page_copies})
include(${PROJECT_SOURCE_DIR}/cmake/site.cmake)
