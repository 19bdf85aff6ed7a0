# Installation and packaging rules: the game, its sounds, a launcher, the
# desktop entry, AppStream metadata and the icon, and a Debian package.
#
# Installed layout (prefix /usr for the package, /usr/local by default):
#   bin/torvenka                      launcher: cds to share/torvenka, runs the game
#   libexec/torvenka/torvenka         the game itself
#   share/torvenka/dat/               its sound files
#   share/applications/torvenka.desktop
#   share/metainfo/org.torvenka.torvenka.metainfo.xml
#   share/icons/hicolor/NxN/apps/torvenka.png
#   share/doc/torvenka/copyright
# The game reads dat/ relative to its working directory, so build/torvenka
# started from the source tree works without installing.
include(GNUInstallDirs)

set(TORVENKA_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

# The game. Its launcher goes in bin/; the binary itself is not meant to be
# started directly.
install(TARGETS torvenka RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/torvenka)

# The sound files: whatever is in dat/ when installing.
if(EXISTS ${PROJECT_SOURCE_DIR}/dat)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/dat/
    DESTINATION ${CMAKE_INSTALL_DATADIR}/torvenka/dat
    PATTERN ".*" EXCLUDE)
else()
  message(WARNING "No dat/ folder: the game will be installed without its sounds")
  install(DIRECTORY DESTINATION ${CMAKE_INSTALL_DATADIR}/torvenka/dat)
endif()

# The launcher and the desktop entry name absolute paths under the prefix,
# which is only known when installing (cmake --install --prefix, CPack).
install(CODE "
  set(TORVENKA_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
  set(TORVENKA_DATADIR \"${CMAKE_INSTALL_DATADIR}\")
  set(TORVENKA_LIBEXECDIR \"${CMAKE_INSTALL_LIBEXECDIR}\")
  set(TORVENKA_TEMPLATES \"${TORVENKA_PACKAGING_DIR}\")
  set(TORVENKA_WORKDIR \"${PROJECT_BINARY_DIR}/packaging\")
  include(\"${TORVENKA_PACKAGING_DIR}/install_generated.cmake\")
")

# AppStream wants the file named after the component id.
set(TORVENKA_APPSTREAM_ID org.torvenka.torvenka)
install(FILES ${TORVENKA_PACKAGING_DIR}/torvenka.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo RENAME ${TORVENKA_APPSTREAM_ID}.metainfo.xml)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE
  DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)

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
# The Japanese font and a General MIDI sound font are found at run time.
set(TORVENKA_DEB_RUNTIME_DEPENDS
  "fonts-ipafont-gothic | fonts-japanese-gothic"
  "timgm6mb-soundfont | fluid-soundfont-gm | sf2-soundfont-gm")
find_program(TORVENKA_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(TORVENKA_DPKG_SHLIBDEPS)
  # The libraries with their least versions, as dpkg-shlibdeps finds them.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  list(PREPEND TORVENKA_DEB_RUNTIME_DEPENDS
    libsdl2-2.0-0 libsdl2-ttf-2.0-0 libsdl2-mixer-2.0-0 libfontconfig1 libstdc++6 libgcc-s1 libc6)
endif()
list(JOIN TORVENKA_DEB_RUNTIME_DEPENDS ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
set(CPACK_GENERATOR DEB)
include(CPack)

# Tests of the install, the Debian package and the installed launcher:
# tests/packaging/*_test.sh, each given the build tree and the version.
enable_testing()
file(GLOB TORVENKA_PACKAGING_TESTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/packaging/*_test.sh)
foreach(t ${TORVENKA_PACKAGING_TESTS})
  get_filename_component(name ${t} NAME_WE)
  add_test(NAME packaging.${name} COMMAND bash ${t} ${PROJECT_BINARY_DIR} ${PROJECT_VERSION})
  # 77: no X display to start the game on. Each test installs from this
  # build tree and puts its install manifest back afterwards, one at a time.
  set_tests_properties(packaging.${name} PROPERTIES TIMEOUT 120 SKIP_RETURN_CODE 77
    RESOURCE_LOCK torvenka_install_manifest)
endforeach()
