# The themes' renders: each dat/<name>.mid played once through FluidSynth
# with the TimGM6mb soundfont and kept as <name>.ogg, Ogg Vorbis. The web page
# plays them as its music; the desktop plays them in place of synthesising
# the MIDI files live. One rule for every build that makes them, so that the
# page and the desktop play the same bytes.
#
# In a CMake project:
#
#   include(cmake/theme_renders.cmake)
#   torvenka_theme_renders(<target> DAT <folder of the .mid files>
#                          OUTPUT <folder for the renders>
#                          [BESIDE_MIDI] [ALL] [TEST_PREFIX <prefix>])
#
# makes <target>, which renders every <name>.mid of DAT (the extension in any
# case) into OUTPUT/<name>.ogg; with BESIDE_MIDI it also puts a copy beside
# each MIDI file as DAT/<name>.ogg, where a game started from the folder
# above DAT finds it; ALL puts the target in the default build. TEST_PREFIX
# registers a test a theme, <prefix><name>_same_bytes, that renders it again
# and finds the same bytes. It sets <target>_FILES (the renders in OUTPUT)
# in the caller's scope. Without FluidSynth, oggenc (vorbis-tools) or the
# soundfont there is no target; <target>_MISSING then says what is missing.
#
# The same bytes from every build: FluidSynth's file renderer gives the same
# samples on every run, and each theme gets a fixed Ogg stream serial (1001
# for the first in name order, 1002 for the next) where oggenc would pick a
# random one. FluidSynth renders at gain 1.2, the gain SDL_mixer gives it at
# full music volume (six times FluidSynth's own default), so the music
# stands to the effects as it always has on the desktop.
#
# Each render records the MIDI file it was made from: a Vorbis comment
# MIDI_SHA256=<the file's SHA-256>, which the desktop compares with the MIDI
# file it is asked to play (src/sound/theme_render.h); and its own bytes: a
# comment RENDER_SHA256=<the SHA-256 of the render as it is with those 64
# digits written as zeros>, so that a render whose sound was changed, even
# in well-formed pages, is not taken for the build's.
#
# Run as a script (cmake -P this file), it renders one theme:
#   MID  OGG  SERIAL  FLUIDSYNTH  OGGENC  SOUNDFONT
#   SAME_AS  (optional) a render made before, which the new one must equal
#            byte for byte

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  foreach(var MID OGG SERIAL FLUIDSYNTH OGGENC SOUNDFONT)
    if(NOT DEFINED ${var})
      message(FATAL_ERROR "theme_renders.cmake needs -D${var}=...")
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
  file(SHA256 ${MID} midi_hash)
  # Encoded twice: first with 64 zeros for the render's own hash, which is
  # then the hash of that file, and again with the hash in their place. The
  # encoder gives the same bytes both times but for those digits and their
  # page's checksum.
  string(REPEAT 0 64 zeros)
  set(encode ${OGGENC} -Q -q 3 --serial ${SERIAL} -c MIDI_SHA256=${midi_hash})
  execute_process(COMMAND ${encode} -c RENDER_SHA256=${zeros} -o ${OGG}.zeros ${wav} RESULT_VARIABLE failed)
  if(NOT failed)
    file(SHA256 ${OGG}.zeros render_hash)
    execute_process(COMMAND ${encode} -c RENDER_SHA256=${render_hash} -o ${OGG} ${wav} RESULT_VARIABLE failed)
  endif()
  file(REMOVE ${wav} ${OGG}.zeros)
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
  return()
endif()

set(TORVENKA_SOUNDFONT /usr/share/sounds/sf2/TimGM6mb.sf2 CACHE FILEPATH
  "The soundfont the themes are rendered with (the one they were made with)")

function(torvenka_theme_renders target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "BESIDE_MIDI;ALL" "DAT;OUTPUT;TEST_PREFIX" "")
  if(NOT arg_DAT OR NOT arg_OUTPUT)
    message(FATAL_ERROR "torvenka_theme_renders(${target}) needs DAT and OUTPUT")
  endif()
  find_program(TORVENKA_FLUIDSYNTH fluidsynth)
  find_program(TORVENKA_OGGENC oggenc)
  set(missing)
  if(NOT TORVENKA_FLUIDSYNTH)
    list(APPEND missing "fluidsynth")
  endif()
  if(NOT TORVENKA_OGGENC)
    list(APPEND missing "oggenc (vorbis-tools)")
  endif()
  if(NOT EXISTS ${TORVENKA_SOUNDFONT})
    list(APPEND missing "${TORVENKA_SOUNDFONT} (timgm6mb-soundfont)")
  endif()
  list(JOIN missing ", " missing_text)
  set(${target}_MISSING "${missing_text}" PARENT_SCOPE)
  set(${target}_FILES "" PARENT_SCOPE)
  if(missing)
    return()
  endif()

  file(GLOB candidates CONFIGURE_DEPENDS ${arg_DAT}/*)
  list(FILTER candidates INCLUDE REGEX "\\.[mM][iI][dD]$")
  list(SORT candidates)
  set(script ${CMAKE_CURRENT_FUNCTION_LIST_FILE})
  set(renders)
  set(outputs)
  set(serial 1001)
  foreach(mid ${candidates})
    # The render of <name>.mid is <name>.ogg: the last extension replaced,
    # as renderOf() does in src/sound/theme_render.cpp.
    get_filename_component(name ${mid} NAME_WLE)
    set(ogg ${arg_OUTPUT}/${name}.ogg)
    set(render ${CMAKE_COMMAND} -DMID=${mid} -DSERIAL=${serial} -DFLUIDSYNTH=${TORVENKA_FLUIDSYNTH}
      -DOGGENC=${TORVENKA_OGGENC} -DSOUNDFONT=${TORVENKA_SOUNDFONT})
    add_custom_command(OUTPUT ${ogg}
      COMMAND ${render} -DOGG=${ogg} -P ${script}
      DEPENDS ${mid} ${TORVENKA_SOUNDFONT} ${script}
      COMMENT "Rendering ${name} to Ogg Vorbis" VERBATIM)
    list(APPEND renders ${ogg})
    list(APPEND outputs ${ogg})
    if(arg_BESIDE_MIDI)
      add_custom_command(OUTPUT ${arg_DAT}/${name}.ogg
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${ogg} ${arg_DAT}/${name}.ogg
        DEPENDS ${ogg}
        COMMENT "Putting the render of ${name} beside its MIDI file" VERBATIM)
      list(APPEND outputs ${arg_DAT}/${name}.ogg)
    endif()
    if(arg_TEST_PREFIX)
      add_test(NAME ${arg_TEST_PREFIX}${name}_same_bytes
        COMMAND ${render} -DOGG=${CMAKE_CURRENT_BINARY_DIR}/${target}-again/${name}.ogg -DSAME_AS=${ogg} -P ${script})
      set_tests_properties(${arg_TEST_PREFIX}${name}_same_bytes PROPERTIES TIMEOUT 300)
    endif()
    math(EXPR serial "${serial} + 1")
  endforeach()
  set(all)
  if(arg_ALL)
    set(all ALL)
  endif()
  add_custom_target(${target} ${all} DEPENDS ${outputs})
  set(${target}_FILES "${renders}" PARENT_SCOPE)
endfunction()
