# Writes the desktop entry of an install, run by `cmake --install` with DORMIO_ENTRY_TEMPLATE (the entry
# with @DORMIO_EXEC@ for its command) and DORMIO_ENTRY_FOLDER (where, under the prefix, it goes) set. It is
# made in its place, so that installs into several prefixes at once never share a file. The entry starts the program by its absolute path, known only once the install's
# prefix is: the same command the open-at-login entry names, quoted the same way where the path holds a
# space or a character that the Exec key reserves.
set(program "${CMAKE_INSTALL_PREFIX}/bin/dormio")
string(REPLACE "%" "%%" DORMIO_EXEC "${program}")
if(program MATCHES [=[[] 	"'\\><~|&;$*?#()`=%]]=])
  foreach(reserved IN ITEMS [[\]] [["]] [[`]] [[$]])
    string(REPLACE "${reserved}" "\\${reserved}" DORMIO_EXEC "${DORMIO_EXEC}")
  endforeach()
  set(DORMIO_EXEC "\"${DORMIO_EXEC}\"")
endif()
# The value itself escapes a backslash once more.
string(REPLACE [[\]] [[\\]] DORMIO_EXEC "${DORMIO_EXEC}")
get_filename_component(name "${DORMIO_ENTRY_TEMPLATE}" NAME_WLE)
set(entry "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${DORMIO_ENTRY_FOLDER}/${name}")
message(STATUS "Installing: ${entry}")
configure_file("${DORMIO_ENTRY_TEMPLATE}" "${entry}" @ONLY)
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${entry}")
