# Run by cpack once it has installed the game into its staging folder, before
# it makes the package (CPACK_PRE_BUILD_SCRIPTS): lays the tree out as a
# Debian package keeps a game. The game goes to /usr/games, where it still
# finds its help text at ../share/skarvel; the manual page is gzipped; the
# changelog joins the documentation, in Debian's form. Symbols not needed to run go too.
cmake_policy(VERSION 3.20)  # run outside the project, which sets it
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
set(usr "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
set(maintainer "${CPACK_DEBIAN_PACKAGE_MAINTAINER}")
if(NOT maintainer)
  set(maintainer "${CPACK_PACKAGE_CONTACT}")
endif()

function(skarvel_gzip file)
  if(NOT CPACK_SKARVEL_GZIP)
    message(FATAL_ERROR "gzip is needed to make the Debian package")
  endif()
  # -n: no name or time stamp inside, so the same file gives the same bytes.
  execute_process(COMMAND "${CPACK_SKARVEL_GZIP}" -9nf "${file}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot gzip ${file}")
  endif()
endfunction()

file(RELATIVE_PATH data_from_games "${CPACK_PACKAGING_INSTALL_PREFIX}/games"
     "${CPACK_PACKAGING_INSTALL_PREFIX}/${CPACK_SKARVEL_DATADIR}/skarvel")
if(NOT data_from_games STREQUAL CPACK_SKARVEL_DATA_FROM_BIN)
  message(FATAL_ERROR "In /usr/games the game would not find its help text at "
                      "${CPACK_SKARVEL_DATA_FROM_BIN}; keep CMAKE_INSTALL_BINDIR one folder below the prefix")
endif()
set(game "${usr}/games/skarvel")
if(NOT CPACK_SKARVEL_BINDIR STREQUAL "games")
  file(MAKE_DIRECTORY "${usr}/games")
  file(RENAME "${usr}/${CPACK_SKARVEL_BINDIR}/skarvel" "${game}")
  execute_process(COMMAND rmdir "${usr}/${CPACK_SKARVEL_BINDIR}" ERROR_QUIET)
endif()
if(CPACK_SKARVEL_STRIP)
  execute_process(COMMAND "${CPACK_SKARVEL_STRIP}" --remove-section=.comment --remove-section=.note "${game}")
endif()

skarvel_gzip("${usr}/${CPACK_SKARVEL_MANDIR}/man6/skarvel.6")

# The changelog in Debian's form: each release a heading, its items as
# written, and a closing line with the package's maintainer and the day.
file(STRINGS "${CPACK_SKARVEL_CHANGELOG}" lines)
set(changelog "")
set(closing "")
foreach(line IN LISTS lines)
  if(line MATCHES "^([0-9][^ ,]*), released ([A-Z][a-z][a-z], [0-3][0-9] [A-Z][a-z][a-z] [0-9][0-9][0-9][0-9])$")
    if(changelog STREQUAL "" AND NOT CMAKE_MATCH_1 STREQUAL CPACK_PACKAGE_VERSION)
      message(FATAL_ERROR "CHANGELOG names ${CMAKE_MATCH_1} as the newest release, not ${CPACK_PACKAGE_VERSION}")
    endif()
    string(APPEND changelog "${closing}skarvel (${CMAKE_MATCH_1}) unstable; urgency=medium\n\n")
    set(closing "\n -- ${maintainer}  ${CMAKE_MATCH_2} 00:00:00 +0000\n\n")
  elseif(NOT changelog STREQUAL "" AND line MATCHES "^  ")
    string(APPEND changelog "${line}\n")
  endif()
endforeach()
if(changelog STREQUAL "")
  message(FATAL_ERROR "CHANGELOG names no release")
endif()
string(REGEX REPLACE "\n\n$" "\n" closing "${closing}")
set(doc "${usr}/share/doc/skarvel")
file(WRITE "${doc}/changelog" "${changelog}${closing}")
skarvel_gzip("${doc}/changelog")

# help.txt is read by the game, not by the player: it stays beside the game's data.
file(WRITE "${usr}/share/lintian/overrides/skarvel"
     "skarvel: package-contains-documentation-outside-usr-share-doc [usr/share/skarvel/help.txt]\n")
