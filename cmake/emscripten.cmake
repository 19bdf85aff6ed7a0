# Settings of the Emscripten build (emcmake cmake -S . -B build-wasm), made
# with Debian's emscripten package alone: its system libraries come prebuilt,
# and its "ports" (-sUSE_SDL=2 and the like) would download, so none is used.

# C++ exceptions are caught as on the desktop (the tests throw through the
# game's sound sink on purpose). Debian's emscripten ships its libraries for
# exceptions handled in JavaScript, not for the newer wasm exceptions.
add_compile_options(-fexceptions)
add_link_options(-fexceptions)

# em++ runs node with its own JavaScript tools at link time, and those need
# acorn from Debian's node-acorn. A node that is not Debian's (one on the PATH
# from elsewhere) does not look in /usr/share/nodejs, so every link is told.
if(EXISTS /usr/share/nodejs/acorn)
  if(DEFINED ENV{NODE_PATH} AND NOT "$ENV{NODE_PATH}" STREQUAL "")
    set(torvenka_node_path "/usr/share/nodejs:$ENV{NODE_PATH}")
  else()
    set(torvenka_node_path "/usr/share/nodejs")
  endif()
  set_property(GLOBAL PROPERTY RULE_LAUNCH_LINK "${CMAKE_COMMAND} -E env NODE_PATH=${torvenka_node_path}")
endif()

# Programs built here run under node (ctest, GoogleTest's discovery). emcmake
# names node with a flag for wasm threads that newer versions of node refuse;
# nothing here uses threads, so node runs them plain.
list(GET CMAKE_CROSSCOMPILING_EMULATOR 0 torvenka_node)
if(torvenka_node)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${torvenka_node})
endif()
