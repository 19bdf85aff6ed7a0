# The copyright file in Debian's machine-readable format, with the licence
# text of LICENSE: packaging/copyright.in filled in. The Debian package ships
# it, and so do the Windows zip and installer (as copyright.txt).
#
#   include(cmake/copyright.cmake)
#   torvenka_copyright_file(<output file>)
function(torvenka_copyright_file output)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
  file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE TORVENKA_COPYRIGHT_LINE LIMIT_COUNT 1
    REGEX "^Copyright ")
  if(NOT TORVENKA_COPYRIGHT_LINE)
    message(FATAL_ERROR "LICENSE has no 'Copyright ...' line")
  endif()
  string(REGEX REPLACE "^Copyright (\\([cC]\\) )?" "" TORVENKA_COPYRIGHT "${TORVENKA_COPYRIGHT_LINE}")
  file(READ ${PROJECT_SOURCE_DIR}/LICENSE TORVENKA_LICENSE_TEXT)
  # The licence body starts after the copyright line; each of its lines is
  # indented by one space, and empty lines become " .".
  string(REGEX REPLACE "^.*\nCopyright [^\n]*\n+" "" TORVENKA_LICENSE_TEXT "${TORVENKA_LICENSE_TEXT}")
  string(STRIP "${TORVENKA_LICENSE_TEXT}" TORVENKA_LICENSE_TEXT)
  string(REGEX REPLACE "\n" "\n " TORVENKA_LICENSE_TEXT " ${TORVENKA_LICENSE_TEXT}")
  string(REGEX REPLACE "\n \n" "\n .\n" TORVENKA_LICENSE_TEXT "${TORVENKA_LICENSE_TEXT}")
  configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright.in ${output} @ONLY)
endfunction()
