# cmake --install: the game in bin/, its help text in share/skarvel/, its
# manual page in share/man/man6/ (plain; the Debian package gzips it).
#
# Each install is also written down in the build folder (install_record.txt:
# the files and the folders it made), for the uninstall target to take away
# again: `cmake --build build --target uninstall`. cpack's own install into
# its staging folder is not written down.
set(SKARVEL_INSTALL_RECORD ${CMAKE_BINARY_DIR}/install_record.txt)
set(skarvel_install_folders
  ${CMAKE_INSTALL_BINDIR} ${CMAKE_INSTALL_DATADIR}/skarvel ${CMAKE_INSTALL_MANDIR}/man6)

install(CODE "
  include(\"${CMAKE_CURRENT_LIST_DIR}/install_record.cmake\")
  skarvel_note_missing_folders(\"${skarvel_install_folders}\")")

install(TARGETS skarvel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES data/help.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/skarvel)
install(FILES data/skarvel.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

install(CODE "skarvel_write_install_record(\"${SKARVEL_INSTALL_RECORD}\")")

add_custom_target(uninstall
  COMMAND ${CMAKE_COMMAND} -DRECORD=${SKARVEL_INSTALL_RECORD} -P ${CMAKE_CURRENT_LIST_DIR}/uninstall.cmake
  COMMENT "Removing what cmake --install put in place"
  VERBATIM)
