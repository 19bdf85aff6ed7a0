# Runs at install time: writes the launcher and the desktop entry with the
# paths of the prefix actually installed to (cmake --install --prefix, or
# /usr when CPack builds a package), then installs them.
# Set by the caller: TORVENKA_BINDIR, TORVENKA_DATADIR, TORVENKA_LIBEXECDIR
# (as GNUInstallDirs gives them), TORVENKA_TEMPLATES, TORVENKA_WORKDIR.

function(torvenka_full out dir)
  if(IS_ABSOLUTE "${dir}")
    set(${out} "${dir}" PARENT_SCOPE)
  else()
    set(${out} "${CMAKE_INSTALL_PREFIX}/${dir}" PARENT_SCOPE)
  endif()
endfunction()

torvenka_full(bin "${TORVENKA_BINDIR}")
torvenka_full(share "${TORVENKA_DATADIR}")
torvenka_full(libexec "${TORVENKA_LIBEXECDIR}")
set(TORVENKA_FULL_DATA "${share}/torvenka")
set(TORVENKA_FULL_BINARY "${libexec}/torvenka/torvenka")

# Installs to different prefixes may run side by side (the tests do), so
# each prefix writes its files into its own folder.
string(MD5 key "$ENV{DESTDIR}|${CMAKE_INSTALL_PREFIX}")
set(work "${TORVENKA_WORKDIR}/${key}")
configure_file("${TORVENKA_TEMPLATES}/torvenka.in" "${work}/torvenka" @ONLY)
configure_file("${TORVENKA_TEMPLATES}/torvenka.desktop.in" "${work}/torvenka.desktop" @ONLY)

file(INSTALL DESTINATION "${bin}" TYPE PROGRAM FILES "${work}/torvenka")
file(INSTALL DESTINATION "${share}/applications" TYPE FILE FILES "${work}/torvenka.desktop")
file(REMOVE_RECURSE "${work}")
