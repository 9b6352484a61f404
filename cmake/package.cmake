# The Debian package: `cpack -G DEB` in the build folder. It holds what
# cmake --install puts in place, laid out as Debian keeps a game
# (cmake/deb_layout.cmake): the game in /usr/games, the manual page gzipped,
# and CHANGELOG as /usr/share/doc/skarvel/changelog.gz.
#
# A package names a real maintainer, so there is no default: configure with
# -DSKARVEL_PACKAGE_MAINTAINER="Name <name@example.org>" (or give cpack
# -D CPACK_PACKAGE_CONTACT=...); cpack stops without one (cmake/cpack_checks.cmake).
set(SKARVEL_PACKAGE_MAINTAINER "" CACHE STRING
  "The Maintainer field of the Debian package, as in \"Name <name@example.org>\"")
if(SKARVEL_PACKAGE_MAINTAINER)
  set(CPACK_PACKAGE_CONTACT ${SKARVEL_PACKAGE_MAINTAINER})
endif()
set(CPACK_PACKAGE_NAME skarvel)
set(CPACK_PACKAGE_VENDOR "Keldry's Skarvel")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turn-based game for the text terminal")
set(CPACK_PACKAGE_DESCRIPTION "A single-player, turn-based game for the text terminal. You move a
marker one cell per key press through a field whose edges wrap around,
and after every move bombs fall on free cells. The best score and the
games won carry over from one run to the next.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
find_program(SKARVEL_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(SKARVEL_DPKG_SHLIBDEPS)
  # The libraries the binary links, with the versions it needs.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libncursesw6, libtinfo6, libstdc++6, libc6")
endif()

set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/cpack_checks.cmake)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/deb_layout.cmake)
# What the layout script needs to know, handed on through CPackConfig.cmake.
find_program(SKARVEL_GZIP gzip)
set(CPACK_SKARVEL_GZIP ${SKARVEL_GZIP})
set(CPACK_SKARVEL_STRIP ${CMAKE_STRIP})
set(CPACK_SKARVEL_CHANGELOG ${PROJECT_SOURCE_DIR}/CHANGELOG)
set(CPACK_SKARVEL_BINDIR ${CMAKE_INSTALL_BINDIR})
set(CPACK_SKARVEL_DATADIR ${CMAKE_INSTALL_DATADIR})
set(CPACK_SKARVEL_MANDIR ${CMAKE_INSTALL_MANDIR})
set(CPACK_SKARVEL_DATA_FROM_BIN ${SKARVEL_DATA_FROM_BIN})
include(CPack)
