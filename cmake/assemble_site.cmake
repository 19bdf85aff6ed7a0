# Puts the web site together (run by the `site` target with cmake -P):
#   SITE    the folder to fill; emptied first
#   PAGE    the Emscripten build's page/ folder: index.html, torvenka.js,
#           torvenka.wasm and the page's other scripts
#   SOUNDS  the rendered themes (*.ogg)
#   DAT     the game's dat/ folder, whose effects (*.wav) go in as they are
#   WEB     the page's sources, src/web/: its style sheet (*.css), its web app
#           manifest (*.webmanifest) and the service worker's template
#           (sw.js.in)
#   ICONS   the page's icons (*.png), src/web/icons/, drawn by tools/webicons
# The site is then index.html and the files it loads, nothing else:
#   index.html  page.js  page.css  torvenka.js  torvenka.wasm  dat/*.ogg
#   dat/*.wav  manifest.webmanifest  the icons  sw.js
# and last sw.js, which lists all the others with a hash of each
# (cmake/site_worker.cmake), for keeping the site offline.
foreach(var SITE PAGE SOUNDS DAT WEB ICONS)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "assemble_site.cmake needs -D${var}=...")
  endif()
endforeach()

file(REMOVE_RECURSE ${SITE})
file(MAKE_DIRECTORY ${SITE}/dat)

file(GLOB page_files LIST_DIRECTORIES false ${PAGE}/*)
file(GLOB web_files LIST_DIRECTORIES false ${WEB}/*.css ${WEB}/*.webmanifest)
file(GLOB icons LIST_DIRECTORIES false ${ICONS}/*.png)
file(COPY ${page_files} ${web_files} ${icons} DESTINATION ${SITE})

file(GLOB themes ${SOUNDS}/*.ogg)
file(GLOB effects ${DAT}/*.wav)
if(themes)
  file(COPY ${themes} DESTINATION ${SITE}/dat)
endif()
if(effects)
  file(COPY ${effects} DESTINATION ${SITE}/dat)
endif()

# The service worker last, over everything else the site holds.
set(TEMPLATE ${WEB}/sw.js.in)
include(${CMAKE_CURRENT_LIST_DIR}/site_worker.cmake)
