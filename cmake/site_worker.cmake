# Writes the site's service worker, SITE/sw.js, from TEMPLATE (src/web/sw.js.in),
# with the list of every other file of the site and the SHA-256 of its bytes,
# and the build's name, made from that list: any change to any file of the
# site makes another worker, which the browsers then install in place of the
# old one. Run by assemble_site.cmake, or on its own:
#   cmake -DSITE=build/site -DTEMPLATE=src/web/sw.js.in -P cmake/site_worker.cmake
foreach(var SITE TEMPLATE)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "site_worker.cmake needs -D${var}=...")
  endif()
endforeach()

file(GLOB_RECURSE site_files LIST_DIRECTORIES false RELATIVE ${SITE} ${SITE}/*)
list(REMOVE_ITEM site_files sw.js)
list(SORT site_files)
set(listing "")
set(SITE_FILES "{")
set(separator "")
foreach(f ${site_files})
  file(SHA256 ${SITE}/${f} sum)
  string(APPEND listing "${sum}  ${f}\n")
  string(APPEND SITE_FILES "${separator}\n  \"${f}\": \"${sum}\"")
  set(separator ",")
endforeach()
string(APPEND SITE_FILES "\n}")
string(SHA256 build "${listing}")
string(SUBSTRING ${build} 0 16 SITE_BUILD)
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
