# Included by the build's install script. Before the files are installed,
# skarvel_note_missing_folders notes which of the folders they go to (and
# which folders above them) do not exist yet; after, skarvel_write_install_record
# appends those folders and every file installed to the install record that
# cmake/uninstall.cmake reads. Under cpack (SKARVEL_PACKAGING in the
# environment, set by cmake/cpack_checks.cmake) nothing is written down.
# SKARVEL_INSTALL_RECORD in the environment names another record, as the
# tests do so as to leave the build's own alone.
cmake_policy(VERSION 3.20)  # run outside the project, which sets it

macro(skarvel_note_missing_folders destinations)
  set(skarvel_missing_folders "")
  foreach(destination IN ITEMS ${destinations})
    if(IS_ABSOLUTE "${destination}")
      set(folder "$ENV{DESTDIR}${destination}")
    else()
      set(folder "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${destination}")
    endif()
    while(NOT folder STREQUAL "" AND NOT EXISTS "${folder}" AND NOT folder IN_LIST skarvel_missing_folders)
      list(APPEND skarvel_missing_folders "${folder}")
      get_filename_component(folder "${folder}" DIRECTORY)
    endwhile()
  endforeach()
endmacro()

function(skarvel_write_install_record record)
  if(DEFINED ENV{SKARVEL_PACKAGING})
    return()
  endif()
  if(DEFINED ENV{SKARVEL_INSTALL_RECORD})
    set(record "$ENV{SKARVEL_INSTALL_RECORD}")
  endif()
  set(lines "")
  foreach(folder IN LISTS skarvel_missing_folders)
    string(APPEND lines "folder ${folder}\n")
  endforeach()
  foreach(file IN LISTS CMAKE_INSTALL_MANIFEST_FILES)
    string(APPEND lines "file $ENV{DESTDIR}${file}\n")
  endforeach()
  file(APPEND "${record}" "${lines}")
endfunction()
