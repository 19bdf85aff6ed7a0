# The web page, in the Emscripten build: the game, the loop and the pure screen
# code, the same files as the desktop's, with the page's front end in src/web/.
# What it makes goes to <build>/page/, everything of the site except the
# sounds (the desktop build renders those; see cmake/web.cmake):
#   torvenka.js, torvenka.wasm   the game (the page loads torvenka.js)
#   index.html                   src/web/index.html as it is
#   other src/web/*.js           copied as they are, for the page to load
# JavaScript in src/web/ named library_*.js is compiled in as an Emscripten
# JS library (--js-library), *.pre.js before and *.post.js after the
# generated script (--pre-js, --post-js).
set(TORVENKA_PAGE_DIR ${PROJECT_BINARY_DIR}/page)

file(GLOB WEB_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/web/*.cpp)
list(REMOVE_ITEM WEB_SOURCES ${PROJECT_SOURCE_DIR}/src/web/pointer_input.cpp)  # torvenka_web_input
file(GLOB WEB_SCRIPTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/web/*.js)
add_executable(torvenka_web ${WEB_SOURCES})
torvenka_headers(torvenka_web src/web)
target_link_libraries(torvenka_web PRIVATE torvenka_loop torvenka_screen torvenka_sound_parser torvenka_web_input)
if(TARGET torvenka_glyphs)
  target_link_libraries(torvenka_web PRIVATE torvenka_glyphs)
endif()
set_target_properties(torvenka_web PROPERTIES OUTPUT_NAME torvenka
  RUNTIME_OUTPUT_DIRECTORY ${TORVENKA_PAGE_DIR})
target_link_options(torvenka_web PRIVATE
  -sENVIRONMENT=web -sALLOW_MEMORY_GROWTH=1
  -sEXPORTED_FUNCTIONS=_main,_web_turns,_web_pointer,_web_audio_arrived,_web_audio_decoded,_web_audio_failed,_web_audio_ended)
# The page's Content-Security-Policy allows no eval: the link fails should
# the generated script ever need it.
target_link_options(torvenka_web PRIVATE -sDYNAMIC_EXECUTION=0)

set(page_files ${PROJECT_SOURCE_DIR}/src/web/index.html)
foreach(script ${WEB_SCRIPTS})
  get_filename_component(name ${script} NAME)
  if(name MATCHES "^library_.*\\.js$")
    target_link_options(torvenka_web PRIVATE "SHELL:--js-library ${script}")
  elseif(name MATCHES "\\.pre\\.js$")
    target_link_options(torvenka_web PRIVATE "SHELL:--pre-js ${script}")
  elseif(name MATCHES "\\.post\\.js$")
    target_link_options(torvenka_web PRIVATE "SHELL:--post-js ${script}")
  else()
    list(APPEND page_files ${script})
    continue()
  endif()
  # A changed JS library relinks the page.
  set_property(TARGET torvenka_web APPEND PROPERTY LINK_DEPENDS ${script})
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
