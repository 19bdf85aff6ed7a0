# Runs at install time: writes the launcher, the desktop entry and the manual
# page with the paths of the prefix actually installed to (cmake --install
# --prefix, or /usr when CPack builds a package), compresses the manual page
# and the changelog, then installs them.
# Set by the caller: TORVENKA_GAMESDIR, TORVENKA_LIBEXECDIR,
# TORVENKA_GAMEDATADIR, TORVENKA_DATADIR, TORVENKA_MANDIR, TORVENKA_DOCDIR
# (relative to the prefix, or absolute), TORVENKA_VERSION,
# TORVENKA_RELEASE_DATE, TORVENKA_GZIP, TORVENKA_TEMPLATES, TORVENKA_WORKDIR,
# TORVENKA_WINDOW_CLASS.

function(torvenka_full out dir)
  if(IS_ABSOLUTE "${dir}")
    set(${out} "${dir}" PARENT_SCOPE)
  else()
    set(${out} "${CMAKE_INSTALL_PREFIX}/${dir}" PARENT_SCOPE)
  endif()
endfunction()

torvenka_full(games "${TORVENKA_GAMESDIR}")
torvenka_full(libexec "${TORVENKA_LIBEXECDIR}")
torvenka_full(TORVENKA_FULL_DATA "${TORVENKA_GAMEDATADIR}")
torvenka_full(share "${TORVENKA_DATADIR}")
torvenka_full(man "${TORVENKA_MANDIR}")
torvenka_full(doc "${TORVENKA_DOCDIR}")
set(TORVENKA_FULL_LAUNCHER "${games}/torvenka")
set(TORVENKA_FULL_BINARY "${libexec}/torvenka")

# Installs to different prefixes may run side by side (the tests do), so
# each prefix writes its files into its own folder.
string(MD5 key "$ENV{DESTDIR}|${CMAKE_INSTALL_PREFIX}")
set(work "${TORVENKA_WORKDIR}/${key}")
configure_file("${TORVENKA_TEMPLATES}/torvenka.in" "${work}/torvenka" @ONLY)
configure_file("${TORVENKA_TEMPLATES}/torvenka.desktop.in" "${work}/torvenka.desktop" @ONLY)
configure_file("${TORVENKA_TEMPLATES}/torvenka.6.in" "${work}/torvenka.6" @ONLY)
configure_file("${TORVENKA_TEMPLATES}/changelog" "${work}/changelog" COPYONLY)

# gzip -9n as Debian wants it: the smallest file, with neither the name nor
# the time stamp in its header, so every build gives the same bytes.
foreach(f torvenka.6 changelog)
  execute_process(COMMAND "${TORVENKA_GZIP}" -9nf "${work}/${f}" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "gzip -9n ${work}/${f} failed: ${rc}")
  endif()
endforeach()

file(INSTALL DESTINATION "${games}" TYPE PROGRAM FILES "${work}/torvenka")
file(INSTALL DESTINATION "${share}/applications" TYPE FILE FILES "${work}/torvenka.desktop")
file(INSTALL DESTINATION "${man}/man6" TYPE FILE FILES "${work}/torvenka.6.gz")
file(INSTALL DESTINATION "${doc}" TYPE FILE FILES "${work}/changelog.gz")
file(REMOVE_RECURSE "${work}")
