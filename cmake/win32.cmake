# Windows' own front end (src/win32/), a peer of SDL's (src/app/) and the
# browser's (src/web/): the same loop, screen, sound commands and desktop
# rules, on Win32 windows, waveOut and the multimedia layer's MIDI sequencer.
# Built when cross-compiling for Windows (cmake/mingw-w64.cmake, with
# -DTORVENKA_DESKTOP=OFF); no SDL anywhere.

# The mixing of the two channels and the WAV effects, plain C++: built
# everywhere, so the tests hold them on any system.
add_library(torvenka_win32_sound_mix STATIC ${PROJECT_SOURCE_DIR}/src/win32/pcm_mix.cpp)
torvenka_headers(torvenka_win32_sound_mix src/win32)

if(NOT WIN32)
  return()
endif()

set(STB_VORBIS_SOURCE /usr/include/stb/stb_vorbis.h CACHE FILEPATH
  "stb_vorbis, the Ogg Vorbis decoder for the themes' renders (Debian's libstb-dev)")
if(NOT EXISTS ${STB_VORBIS_SOURCE})
  message(FATAL_ERROR "No ${STB_VORBIS_SOURCE}: install libstb-dev")
endif()

add_library(torvenka_win32 STATIC
  ${PROJECT_SOURCE_DIR}/src/win32/win32_window.cpp ${PROJECT_SOURCE_DIR}/src/win32/win32_clock.cpp
  ${PROJECT_SOURCE_DIR}/src/win32/win32_lock.cpp ${PROJECT_SOURCE_DIR}/src/win32/wave_out_back_end.cpp
  ${PROJECT_SOURCE_DIR}/src/win32/render_source.cpp ${PROJECT_SOURCE_DIR}/src/win32/stb_vorbis.c)
torvenka_headers(torvenka_win32 src/win32)
target_compile_definitions(torvenka_win32 PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
  _WIN32_WINNT=0x0A00)
target_compile_definitions(torvenka_win32 PRIVATE TORVENKA_STB_VORBIS="${STB_VORBIS_SOURCE}")
# The decoder is someone else's code: its warnings are not ours to fix.
set_source_files_properties(${PROJECT_SOURCE_DIR}/src/win32/stb_vorbis.c PROPERTIES COMPILE_OPTIONS -w)
target_link_libraries(torvenka_win32 PUBLIC torvenka_desktop torvenka_win32_sound_mix torvenka_loop torvenka_screen
  torvenka_sound_parser winmm)

# The version resource, the manifest (per-monitor DPI awareness) and the
# program's icon, which Explorer, the Start menu and shortcuts show (the
# window sets its own from the same drawing as it opens). The icon file is
# TORVENKA_ICO, or drawn here by a native iconexport (tools/iconexport from a
# Linux build of the same sources, TORVENKA_ICONEXPORT); with neither, the
# program has no icon of its own in Explorer.
set(TORVENKA_ICO "" CACHE FILEPATH "The game's icon as a .ico file for the program's resources")
set(TORVENKA_ICONEXPORT "" CACHE FILEPATH "A native tools/iconexport that draws the program's icon file")
if(TORVENKA_ICONEXPORT AND NOT TORVENKA_ICO)
  set(drawn_ico ${PROJECT_BINARY_DIR}/win32/torvenka.ico)
  file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/win32)
  execute_process(COMMAND ${TORVENKA_ICONEXPORT} --ico ${drawn_ico} 16 20 24 32 40 48 64 256
    RESULT_VARIABLE drawn)
  if(drawn EQUAL 0)
    set(TORVENKA_ICO ${drawn_ico})  # the installer takes it from here too
  else()
    message(WARNING "${TORVENKA_ICONEXPORT} could not draw the icon file: no icon in the program's resources")
  endif()
  # Drawn again when the icon's code (and so the tool) changes.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TORVENKA_ICONEXPORT})
endif()
string(REPLACE "." "," TORVENKA_VERSION_COMMAS "${PROJECT_VERSION}.0")
if(TORVENKA_ICO AND EXISTS "${TORVENKA_ICO}")
  set(TORVENKA_ICON_RESOURCE "1 ICON \"${TORVENKA_ICO}\"")
else()
  set(TORVENKA_ICON_RESOURCE "")
endif()
configure_file(${PROJECT_SOURCE_DIR}/src/win32/torvenka.rc.in ${PROJECT_BINARY_DIR}/win32/torvenka.rc @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/src/win32/torvenka.manifest ${PROJECT_BINARY_DIR}/win32/torvenka.manifest COPYONLY)
if(TORVENKA_ICON_RESOURCE)
  set_source_files_properties(${PROJECT_BINARY_DIR}/win32/torvenka.rc PROPERTIES OBJECT_DEPENDS ${TORVENKA_ICO})
endif()

add_executable(torvenka WIN32 src/win32/main.cpp ${PROJECT_BINARY_DIR}/win32/torvenka.rc)
target_link_libraries(torvenka PRIVATE torvenka_win32)
target_compile_definitions(torvenka PRIVATE TORVENKA_VERSION="${PROJECT_VERSION}")
# Everything in the one file: it loads only Windows' own DLLs.
target_link_options(torvenka PRIVATE -static -municode)
set_target_properties(torvenka PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
