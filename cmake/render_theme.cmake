# Renders one theme for the web page (run with cmake -P by the web_sounds
# target, and again by the test that the renders are reproducible):
#   MID         the MIDI file
#   OGG         the Ogg Vorbis file to write
#   SERIAL      its fixed Ogg stream serial
#   FLUIDSYNTH  OGGENC  SOUNDFONT   the tools and the soundfont
#   SAME_AS     (optional) a render made before, which the new one must equal
#               byte for byte
# FluidSynth renders at the gain SDL_mixer gives it on the desktop (1.2 at
# full music volume, six times FluidSynth's own default), so the page's music
# stands to its effects as the desktop's does; oggenc would pick a random
# stream serial, so each theme gets a fixed one.
foreach(var MID OGG SERIAL FLUIDSYNTH OGGENC SOUNDFONT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "render_theme.cmake needs -D${var}=...")
  endif()
endforeach()

get_filename_component(dir ${OGG} DIRECTORY)
file(MAKE_DIRECTORY ${dir})
set(wav ${OGG}.render.wav)
execute_process(
  COMMAND ${FLUIDSYNTH} -n -i -q -g 1.2 -r 44100 -T wav -F ${wav} ${SOUNDFONT} ${MID}
  RESULT_VARIABLE failed OUTPUT_QUIET)
if(failed OR NOT EXISTS ${wav})
  message(FATAL_ERROR "fluidsynth could not render ${MID}")
endif()
execute_process(COMMAND ${OGGENC} -Q -q 3 --serial ${SERIAL} -o ${OGG} ${wav} RESULT_VARIABLE failed)
file(REMOVE ${wav})
if(failed)
  message(FATAL_ERROR "oggenc could not encode ${MID}")
endif()

if(DEFINED SAME_AS)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${SAME_AS} ${OGG} RESULT_VARIABLE differ)
  if(differ)
    message(FATAL_ERROR "Two renders of ${MID} differ: ${SAME_AS} and ${OGG}")
  endif()
  message(STATUS "A second render of ${MID} gives the same bytes as ${SAME_AS}")
endif()
