# The Windows packages, in the MinGW-w64 build (scripts/windows,
# cmake/windows.cmake):
#
#   cmake --build <build> --target windows_zip        torvenka-<version>-windows.zip
#   cmake --build <build> --target windows_installer  torvenka-<version>-setup.exe
#   cmake --build <build> --target windows_packages   both
#
# Both hold the portable folder, <build>/Torvenka/: torvenka.exe (stripped),
# copyright.txt, and dat/ with the effects, the MIDI files and the themes'
# renders. The renders are made here by the one rule of
# cmake/theme_renders.cmake, with the build machine's FluidSynth and oggenc,
# or, with -DTORVENKA_THEME_RENDERS=<folder>, taken from the Linux build that
# made them from the same files. The installer is made by makensis
# (packaging/windows/torvenka.nsi.in).
set(TORVENKA_THEME_RENDERS "" CACHE PATH "A folder of the themes' renders made by another build (empty: render them here)")

file(GLOB windows_midi CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/dat/*)
list(FILTER windows_midi INCLUDE REGEX "\\.[mM][iI][dD]$")
file(GLOB windows_effects CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/dat/*.wav)
set(windows_renders)
set(windows_depends torvenka)
if(TORVENKA_THEME_RENDERS)
  foreach(mid ${windows_midi})
    get_filename_component(name ${mid} NAME_WLE)
    list(APPEND windows_renders ${TORVENKA_THEME_RENDERS}/${name}.ogg)
  endforeach()
else()
  include(${PROJECT_SOURCE_DIR}/cmake/theme_renders.cmake)
  torvenka_theme_renders(windows_theme_renders DAT ${PROJECT_SOURCE_DIR}/dat
    OUTPUT ${PROJECT_BINARY_DIR}/theme-renders)
  if(TARGET windows_theme_renders)
    set(windows_renders ${windows_theme_renders_FILES})
    list(APPEND windows_depends windows_theme_renders)
  else()
    message(WARNING "The Windows packages carry no renders of the themes (the game then has Windows "
      "synthesise the MIDI files); missing: ${windows_theme_renders_MISSING} (scripts/windows installs them)")
  endif()
endif()
set(windows_dat ${windows_effects} ${windows_midi} ${windows_renders})

# The portable folder.
set(windows_stage ${PROJECT_BINARY_DIR}/Torvenka)
include(${PROJECT_SOURCE_DIR}/cmake/copyright.cmake)
torvenka_copyright_file(${PROJECT_BINARY_DIR}/packaging/copyright.txt)
add_custom_command(OUTPUT ${windows_stage}/torvenka.exe
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${windows_stage}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${windows_stage}/dat
  COMMAND ${CMAKE_STRIP} -o ${windows_stage}/torvenka.exe $<TARGET_FILE:torvenka>
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_BINARY_DIR}/packaging/copyright.txt ${windows_stage}/
  COMMAND ${CMAKE_COMMAND} -E copy ${windows_dat} ${windows_stage}/dat/
  DEPENDS ${windows_depends} ${windows_dat} ${PROJECT_BINARY_DIR}/packaging/copyright.txt
  COMMENT "Putting the portable folder together in ${windows_stage}" VERBATIM)
# One target makes it, which the zip and the installer wait for (two targets
# with the same command would run it twice at once).
add_custom_target(windows_portable DEPENDS ${windows_stage}/torvenka.exe)

set(TORVENKA_WINDOWS_ZIP ${PROJECT_BINARY_DIR}/torvenka-${PROJECT_VERSION}-windows.zip)
add_custom_command(OUTPUT ${TORVENKA_WINDOWS_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${TORVENKA_WINDOWS_ZIP}
  COMMAND ${CMAKE_COMMAND} -E tar cf ${TORVENKA_WINDOWS_ZIP} --format=zip Torvenka
  WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
  DEPENDS ${windows_stage}/torvenka.exe
  COMMENT "Packing ${TORVENKA_WINDOWS_ZIP}" VERBATIM)
add_custom_target(windows_zip DEPENDS ${TORVENKA_WINDOWS_ZIP})
add_dependencies(windows_zip windows_portable)
set(windows_packages windows_zip)

find_program(TORVENKA_MAKENSIS makensis)
if(NOT TORVENKA_MAKENSIS)
  message(STATUS "No Windows installer: missing makensis (nsis; scripts/windows installs it)")
else()
  set(TORVENKA_INSTALLER ${PROJECT_BINARY_DIR}/torvenka-${PROJECT_VERSION}-setup.exe)
  # What the installer puts in place, and what its uninstaller takes away
  # again: the same list.
  set(files "  File \"${windows_stage}/torvenka.exe\"\n  File \"${windows_stage}/copyright.txt\"\n")
  string(APPEND files "  SetOutPath \"$INSTDIR\\dat\"\n")
  set(deletes "  Delete \"$INSTDIR\\torvenka.exe\"\n  Delete \"$INSTDIR\\copyright.txt\"\n")
  foreach(f ${windows_dat})
    get_filename_component(name ${f} NAME)
    string(APPEND files "  File \"${windows_stage}/dat/${name}\"\n")
    string(APPEND deletes "  Delete \"$INSTDIR\\dat\\${name}\"\n")
  endforeach()
  set(TORVENKA_NSIS_FILES "${files}")
  set(TORVENKA_NSIS_DELETES "${deletes}")
  # The installer's own icon is the game's, when the front end has one as a
  # file.
  set(TORVENKA_NSIS_ICON "")
  if(TORVENKA_ICO AND EXISTS "${TORVENKA_ICO}")
    set(TORVENKA_NSIS_ICON "Icon \"${TORVENKA_ICO}\"\nUninstallIcon \"${TORVENKA_ICO}\"")
  endif()
  file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE TORVENKA_COPYRIGHT_LINE LIMIT_COUNT 1 REGEX "^Copyright ")
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/torvenka.nsi.in ${PROJECT_BINARY_DIR}/packaging/torvenka.nsi
    @ONLY)
  add_custom_command(OUTPUT ${TORVENKA_INSTALLER}
    COMMAND ${TORVENKA_MAKENSIS} -V2 -NOCD ${PROJECT_BINARY_DIR}/packaging/torvenka.nsi
    DEPENDS ${windows_stage}/torvenka.exe ${PROJECT_BINARY_DIR}/packaging/torvenka.nsi
    COMMENT "Making the installer ${TORVENKA_INSTALLER}" VERBATIM)
  add_custom_target(windows_installer DEPENDS ${TORVENKA_INSTALLER})
  add_dependencies(windows_installer windows_portable)
  list(APPEND windows_packages windows_installer)
endif()
add_custom_target(windows_packages DEPENDS ${windows_packages})
