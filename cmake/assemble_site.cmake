# Puts the web site together (run by the `site` target with cmake -P):
#   SITE    the folder to fill; emptied first
#   PAGE    the Emscripten build's page/ folder: index.html, torvenka.js,
#           torvenka.wasm and the page's other scripts; empty when the
#           source tree has no page
#   SOUNDS  the rendered themes (*.ogg)
#   DAT     the game's dat/ folder, whose effects (*.wav) go in as they are
# The site is then index.html and the files it loads, nothing else:
#   index.html  torvenka.js  torvenka.wasm  dat/*.ogg  dat/*.wav
foreach(var SITE PAGE SOUNDS DAT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "assemble_site.cmake needs -D${var}=...")
  endif()
endforeach()

file(REMOVE_RECURSE ${SITE})
file(MAKE_DIRECTORY ${SITE}/dat)

if(PAGE AND EXISTS ${PAGE}/index.html)
  file(GLOB page_files LIST_DIRECTORIES false ${PAGE}/*)
  file(COPY ${page_files} DESTINATION ${SITE})
else()
  # No front end in this source tree (src/web/ is missing): a page that says so.
  file(WRITE ${SITE}/index.html [=[<!DOCTYPE html>
<html lang="en">
<head><meta charset="utf-8"><title>Torvenka</title></head>
<body><p>This build of Torvenka has no web page: its source tree has no src/web/.</p></body>
</html>
]=])
endif()

file(GLOB themes ${SOUNDS}/*.ogg)
file(GLOB effects ${DAT}/*.wav)
if(themes)
  file(COPY ${themes} DESTINATION ${SITE}/dat)
endif()
if(effects)
  file(COPY ${effects} DESTINATION ${SITE}/dat)
endif()
