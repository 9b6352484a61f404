# Takes away what cmake --install put in place, as the install record
# (-DRECORD=FILE) lists it: every file installed, then every folder an install
# made, deepest first, where nothing else has been put in it since. Folders
# that were there before are left alone. The record goes last.
#
#   cmake -DRECORD=build/install_record.txt -P cmake/uninstall.cmake
#
# SKARVEL_INSTALL_RECORD in the environment names another record, as it does
# for the install (cmake/install_record.cmake).
cmake_policy(VERSION 3.20)  # run outside the project, which sets it
if(DEFINED ENV{SKARVEL_INSTALL_RECORD})
  set(RECORD "$ENV{SKARVEL_INSTALL_RECORD}")
endif()
if(NOT EXISTS "${RECORD}")
  message(STATUS "Nothing to remove: no install is written down in ${RECORD}")
  return()
endif()
file(STRINGS "${RECORD}" lines)
set(folders "")
foreach(line IN LISTS lines)
  if(line MATCHES "^file (.+)$")
    if(EXISTS "${CMAKE_MATCH_1}" OR IS_SYMLINK "${CMAKE_MATCH_1}")
      message(STATUS "Removing ${CMAKE_MATCH_1}")
      file(REMOVE "${CMAKE_MATCH_1}")
    endif()
  elseif(line MATCHES "^folder (.+)$")
    list(APPEND folders "${CMAKE_MATCH_1}")
  endif()
endforeach()
# A folder sorts after every folder above it.
list(REMOVE_DUPLICATES folders)
list(SORT folders ORDER DESCENDING)
foreach(folder IN LISTS folders)
  if(IS_DIRECTORY "${folder}")
    # rmdir takes a folder only when it is empty.
    execute_process(COMMAND rmdir "${folder}" RESULT_VARIABLE kept ERROR_QUIET)
    if(kept EQUAL 0)
      message(STATUS "Removing ${folder}/")
    else()
      message(STATUS "Keeping ${folder}/: it holds other files")
    endif()
  endif()
endforeach()
file(REMOVE "${RECORD}")
