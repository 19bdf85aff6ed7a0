# The site, in the Emscripten build (included by cmake/web_page.cmake):
#
#   cmake --build <build> --target site   <build>/site/: index.html and the
#                                         files it loads, for any static host
#
# It takes the page (<build>/page/), the themes' renders (made here by the
# one rule of cmake/theme_renders.cmake, or, with -DTORVENKA_THEME_RENDERS=
# a folder, the renders another build made from the same files: the desktop
# build hands over its own), the effects of dat/ as they are, the page's
# style sheet, manifest and worker template from src/web/, and its icons,
# committed in src/web/icons/ (tools/webicons draws them; a test of the
# desktop build checks them). It needs nothing but Emscripten, FluidSynth,
# oggenc and the soundfont.
set(TORVENKA_THEME_RENDERS "" CACHE PATH "A folder of the themes' renders made by another build (empty: render them here)")
set(TORVENKA_SITE_DIR ${PROJECT_BINARY_DIR}/site)
set(site_sounds ${TORVENKA_THEME_RENDERS})
set(site_depends torvenka_page)
if(NOT site_sounds)
  include(${PROJECT_SOURCE_DIR}/cmake/theme_renders.cmake)
  torvenka_theme_renders(site_renders DAT ${PROJECT_SOURCE_DIR}/dat OUTPUT ${PROJECT_BINARY_DIR}/theme-renders)
  if(NOT TARGET site_renders)
    message(STATUS "No site: the themes cannot be rendered; missing: ${site_renders_MISSING}")
    return()
  endif()
  set(site_sounds ${PROJECT_BINARY_DIR}/theme-renders)
  list(APPEND site_depends site_renders)
endif()
add_custom_target(site
  COMMAND ${CMAKE_COMMAND} -DSITE=${TORVENKA_SITE_DIR} -DPAGE=${TORVENKA_PAGE_DIR}
    -DSOUNDS=${site_sounds} -DDAT=${PROJECT_SOURCE_DIR}/dat -DWEB=${PROJECT_SOURCE_DIR}/src/web
    -DICONS=${PROJECT_SOURCE_DIR}/src/web/icons
    -P ${PROJECT_SOURCE_DIR}/cmake/assemble_site.cmake
  DEPENDS ${site_depends}
  COMMENT "Putting the site together in ${TORVENKA_SITE_DIR}" VERBATIM)
