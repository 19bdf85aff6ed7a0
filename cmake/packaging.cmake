# Installation rules laid out as Debian lays out a game, and a Debian package.
#
# Installed layout (prefix /usr for the package, /usr/local by default):
#   games/torvenka                    launcher: cds to the data folder, runs the game
#   libexec/torvenka/torvenka         the game itself, not meant to be run directly
#   share/games/torvenka/dat/         its sound files and the themes' renders
#   share/man/man6/torvenka.6.gz      the manual page
#   share/applications/torvenka.desktop
#   share/metainfo/org.torvenka.torvenka.metainfo.xml
#   share/icons/hicolor/NxN/apps/torvenka.png
#   share/doc/torvenka/copyright, changelog.gz
# The game reads dat/ relative to its working directory, so build/torvenka
# started from the source tree works without installing.
#
# Debian keeps a game's command in /usr/games and its data in
# /usr/share/games/<game>. The game binary is only ever started by the
# launcher, so it is an internal binary: FHS 3.0, which Debian policy
# follows, gives those /usr/libexec/<program>. (lintian also takes
# /usr/lib/games/<game>, but flags executables in /usr/lib and asks for
# /usr/libexec.)
include(GNUInstallDirs)

set(TORVENKA_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(TORVENKA_INSTALL_GAMESDIR games)
set(TORVENKA_INSTALL_LIBEXECDIR ${CMAKE_INSTALL_LIBEXECDIR}/torvenka)
set(TORVENKA_INSTALL_GAMEDATADIR ${CMAKE_INSTALL_DATADIR}/games/torvenka)

# Debian's hardening flags for the game and the libraries it is built from:
# stack protector, fortified libc calls, relocations read-only and bound at
# start. They add checks and change nothing in how the game plays. Not with
# the sanitizers, which bring checks of their own; fortification needs the
# optimiser, so not in Debug builds either.
option(TORVENKA_HARDENING "Build the game with Debian's hardening flags" ON)
if(TORVENKA_HARDENING AND NOT TORVENKA_SANITIZE)
  set(game_targets torvenka)
  set(pending torvenka)
  while(pending)
    list(POP_FRONT pending t)
    get_target_property(deps ${t} LINK_LIBRARIES)
    get_target_property(interface_deps ${t} INTERFACE_LINK_LIBRARIES)
    foreach(d IN LISTS deps interface_deps)
      if(TARGET ${d} AND NOT d IN_LIST game_targets)
        get_target_property(imported ${d} IMPORTED)
        get_target_property(type ${d} TYPE)
        if(NOT imported AND type MATCHES "^(STATIC|OBJECT)_LIBRARY$")
          list(APPEND game_targets ${d})
          list(APPEND pending ${d})
        endif()
      endif()
    endforeach()
  endwhile()
  foreach(t IN LISTS game_targets)
    target_compile_options(${t} PRIVATE -fstack-protector-strong
      $<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2>)
  endforeach()
  target_link_options(torvenka PRIVATE LINKER:-z,relro LINKER:-z,now)
endif()

# The game. Its launcher goes in games/, its data in share/games/.
install(TARGETS torvenka RUNTIME DESTINATION ${TORVENKA_INSTALL_LIBEXECDIR})

# The sound files: whatever is in dat/ when installing, but for the renders
# the build puts there; and this build's renders of the themes beside them.
if(EXISTS ${PROJECT_SOURCE_DIR}/dat)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/dat/
    DESTINATION ${TORVENKA_INSTALL_GAMEDATADIR}/dat
    PATTERN ".*" EXCLUDE PATTERN "*.ogg" EXCLUDE)
  if(theme_renders_FILES)
    install(FILES ${theme_renders_FILES} DESTINATION ${TORVENKA_INSTALL_GAMEDATADIR}/dat)
  endif()
else()
  message(WARNING "No dat/ folder: the game will be installed without its sounds")
  install(DIRECTORY DESTINATION ${TORVENKA_INSTALL_GAMEDATADIR}/dat)
endif()

# The changelog, newest release first, as Debian writes it. Its newest entry
# gives the manual page its date.
set(TORVENKA_CHANGELOG ${TORVENKA_PACKAGING_DIR}/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TORVENKA_CHANGELOG})
file(STRINGS ${TORVENKA_CHANGELOG} TORVENKA_CHANGELOG_HEAD LIMIT_COUNT 1
  REGEX "^torvenka \\(")
file(STRINGS ${TORVENKA_CHANGELOG} TORVENKA_CHANGELOG_DATE LIMIT_COUNT 1
  REGEX "^ -- ")
string(REGEX MATCH "^torvenka \\(([^)]+)\\)" _ "${TORVENKA_CHANGELOG_HEAD}")
set(TORVENKA_CHANGELOG_VERSION "${CMAKE_MATCH_1}")
string(REGEX MATCH ">  [A-Z][a-z][a-z], ([0-9][0-9]?) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) "
  _ "${TORVENKA_CHANGELOG_DATE}")
set(day "${CMAKE_MATCH_1}")
set(year "${CMAKE_MATCH_3}")
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND months "${CMAKE_MATCH_2}" month)
if(NOT TORVENKA_CHANGELOG_VERSION OR month EQUAL -1)
  message(FATAL_ERROR "${TORVENKA_CHANGELOG}: no 'torvenka (VERSION)' line "
    "followed by a ' -- Name <address>  date' line")
endif()
math(EXPR month "${month} + 1")
string(REGEX REPLACE "^([0-9])$" "0\\1" month "${month}")
string(REGEX REPLACE "^([0-9])$" "0\\1" day "${day}")
set(TORVENKA_RELEASE_DATE "${year}-${month}-${day}")
if(NOT TORVENKA_CHANGELOG_VERSION STREQUAL PROJECT_VERSION)
  message(WARNING "The newest entry of ${TORVENKA_CHANGELOG} is "
    "${TORVENKA_CHANGELOG_VERSION}, the project is at ${PROJECT_VERSION}: "
    "give the new release an entry")
endif()

# The launcher, the desktop entry and the manual page name absolute paths
# under the prefix, which is only known when installing (cmake --install
# --prefix, CPack); the manual page and the changelog are compressed then too.
find_program(TORVENKA_GZIP gzip REQUIRED)
# The window's class, which the desktop entry's StartupWMClass names: the
# application's own name in capitals, as the game sets it
# (src/desktop/desktop_names.h).
file(STRINGS ${PROJECT_SOURCE_DIR}/src/desktop/desktop_names.h application_name
  REGEX "^inline constexpr char kApplicationName\\[\\] = \"[a-z]+\";$")
if(NOT application_name MATCHES "\"([a-z]+)\"")
  message(FATAL_ERROR "No kApplicationName in src/desktop/desktop_names.h for the desktop entry's window class")
endif()
string(TOUPPER "${CMAKE_MATCH_1}" TORVENKA_WINDOW_CLASS)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/desktop/desktop_names.h)
install(CODE "
  set(TORVENKA_WINDOW_CLASS \"${TORVENKA_WINDOW_CLASS}\")
  set(TORVENKA_GAMESDIR \"${TORVENKA_INSTALL_GAMESDIR}\")
  set(TORVENKA_LIBEXECDIR \"${TORVENKA_INSTALL_LIBEXECDIR}\")
  set(TORVENKA_GAMEDATADIR \"${TORVENKA_INSTALL_GAMEDATADIR}\")
  set(TORVENKA_DATADIR \"${CMAKE_INSTALL_DATADIR}\")
  set(TORVENKA_MANDIR \"${CMAKE_INSTALL_MANDIR}\")
  set(TORVENKA_DOCDIR \"${CMAKE_INSTALL_DOCDIR}\")
  set(TORVENKA_VERSION \"${PROJECT_VERSION}\")
  set(TORVENKA_RELEASE_DATE \"${TORVENKA_RELEASE_DATE}\")
  set(TORVENKA_GZIP \"${TORVENKA_GZIP}\")
  set(TORVENKA_TEMPLATES \"${TORVENKA_PACKAGING_DIR}\")
  set(TORVENKA_WORKDIR \"${PROJECT_BINARY_DIR}/packaging\")
  include(\"${TORVENKA_PACKAGING_DIR}/install_generated.cmake\")
")

# AppStream wants the file named after the component id.
set(TORVENKA_APPSTREAM_ID org.torvenka.torvenka)
install(FILES ${TORVENKA_PACKAGING_DIR}/torvenka.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo RENAME ${TORVENKA_APPSTREAM_ID}.metainfo.xml)

# The copyright file in Debian's machine-readable format, with the licence
# text of LICENSE.
include(${PROJECT_SOURCE_DIR}/cmake/copyright.cmake)
torvenka_copyright_file(${PROJECT_BINARY_DIR}/packaging/copyright)
install(FILES ${PROJECT_BINARY_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The icon, drawn at build time by tools/iconexport from the game's own
# pictures.
set(TORVENKA_ICON_SIZES 32 48 64 128)
set(TORVENKA_ICON_DIR ${PROJECT_BINARY_DIR}/icons)
set(TORVENKA_ICONS)
foreach(size ${TORVENKA_ICON_SIZES})
  list(APPEND TORVENKA_ICONS ${TORVENKA_ICON_DIR}/hicolor/${size}x${size}/apps/torvenka.png)
endforeach()
add_custom_command(OUTPUT ${TORVENKA_ICONS}
  COMMAND iconexport ${TORVENKA_ICON_DIR} ${TORVENKA_ICON_SIZES}
  DEPENDS iconexport
  COMMENT "Drawing the desktop icon")
add_custom_target(torvenka_icons ALL DEPENDS ${TORVENKA_ICONS})
install(DIRECTORY ${TORVENKA_ICON_DIR}/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# Debian package: cpack -G DEB
set(TORVENKA_PACKAGE_MAINTAINER "Torvenka developers <torvenka@example.org>"
  CACHE STRING "Maintainer named in the Debian package")
set(CPACK_PACKAGE_NAME torvenka)
# A version without a Debian revision: the package is native, and its
# changelog is changelog.gz.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Torvenka developers")
set(CPACK_PACKAGE_CONTACT ${TORVENKA_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "diving arcade game played with the mouse")
set(CPACK_PACKAGE_DESCRIPTION [[A diver sinks through a scrolling sea, turns cards for oxygen, spare
tanks, a spear or a ring, and fights an octopus, a crab, a moray and a
giant squid by giving the spear the creature's colour. One small window
with Japanese on-screen text, played with the mouse alone.]])
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TORVENKA_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # torvenka_<version>_<arch>.deb
# The game's text needs no font: it is drawn from the glyph table built into
# the game. A General MIDI soundfont is needed only to synthesise a theme that
# has no render that fits it (a player's own dat/): recommended where the
# package carries the renders, needed where it does not.
set(TORVENKA_DEB_RUNTIME_DEPENDS)
set(TORVENKA_DEB_SOUNDFONT "timgm6mb-soundfont | fluid-soundfont-gm | sf2-soundfont-gm")
if(theme_renders_FILES)
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS ${TORVENKA_DEB_SOUNDFONT})
else()
  list(APPEND TORVENKA_DEB_RUNTIME_DEPENDS ${TORVENKA_DEB_SOUNDFONT})
endif()
find_program(TORVENKA_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(TORVENKA_DPKG_SHLIBDEPS)
  # The libraries with their least versions, as dpkg-shlibdeps finds them.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  list(PREPEND TORVENKA_DEB_RUNTIME_DEPENDS
    libsdl2-2.0-0 libsdl2-mixer-2.0-0 libvorbisfile3 libstdc++6 libgcc-s1 libc6)
endif()
list(JOIN TORVENKA_DEB_RUNTIME_DEPENDS ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
set(CPACK_GENERATOR DEB)
include(CPack)

# Tests of the install, the Debian package (lintian included) and the
# installed launcher: tests/packaging/*_test.sh, each given the build tree
# and the version.
file(GLOB TORVENKA_PACKAGING_TESTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/packaging/*_test.sh)
foreach(t ${TORVENKA_PACKAGING_TESTS})
  get_filename_component(name ${t} NAME_WE)
  # The launch test starts the game: in an X server of its own.
  set(x_server)
  if(name STREQUAL "launch_test")
    set(x_server ${PROJECT_SOURCE_DIR}/tests/with_x)
  endif()
  add_test(NAME packaging.${name} COMMAND ${x_server} bash ${t} ${PROJECT_BINARY_DIR} ${PROJECT_VERSION})
  # 77: no X display to start the game on. Each test installs from this
  # build tree and puts its install manifest back afterwards, one at a time.
  set_tests_properties(packaging.${name} PROPERTIES TIMEOUT 300 SKIP_RETURN_CODE 77
    RESOURCE_LOCK torvenka_install_manifest)
endforeach()
