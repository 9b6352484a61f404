# Style checks: every C++ file formatted as .clang-format says, and the game's
# code clean under .clang-tidy. Each exits 77 (skipped) when its tool is not
# installed in the version it needs.
add_test(NAME format COMMAND bash ${PROJECT_SOURCE_DIR}/tools/check_format ${CMAKE_SOURCE_DIR})
add_test(NAME tidy COMMAND bash ${PROJECT_SOURCE_DIR}/tools/check_tidy --built ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
set_tests_properties(format tidy PROPERTIES SKIP_RETURN_CODE 77)
set_tests_properties(format PROPERTIES TIMEOUT 120)
set_tests_properties(tidy PROPERTIES TIMEOUT 900 PROCESSORS 2)

# The analysis takes longer than all the rest of the tests: the build runs it,
# a file a job beside the compiler's, and again for a file only when what it
# was found from changes (tools/check_tidy says what). A finding does not stop
# the build; the tidy test reports it, and analyses any file the build left.
set(check_tidy ${PROJECT_SOURCE_DIR}/tools/check_tidy)
execute_process(COMMAND bash ${check_tidy} --find ${CMAKE_SOURCE_DIR}
                RESULT_VARIABLE not_found OUTPUT_QUIET ERROR_QUIET)
if(not_found)
  return()
endif()
set(work ${CMAKE_BINARY_DIR}/style-tidy)
set(databases "")
set(logs "")
foreach(source IN LISTS SKARVEL_SOURCES ITEMS screens/main.cpp)
  string(REPLACE / _ name ${source})
  list(APPEND databases ${work}/db/${name}/compile_commands.json)
  list(APPEND logs ${work}/${name}.log)
  # The file's own command is a dependency through its depfile, so that only
  # a command that changed analyses the file again.
  add_custom_command(OUTPUT ${work}/${name}.log
    COMMAND bash ${check_tidy} --file ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR}/${source}
    DEPENDS ${CMAKE_SOURCE_DIR}/${source} ${CMAKE_SOURCE_DIR}/.clang-tidy ${check_tidy}
    DEPFILE ${work}/${name}.d
    COMMENT "Analysing ${source}"
    VERBATIM)
endforeach()
# Rewrites only the commands that changed; the stamp, not the commands, is
# what make sees as this step's output, since unchanged commands keep their
# time and would otherwise look out of date after every configure.
add_custom_command(OUTPUT ${work}/db/stamp
  COMMAND bash ${check_tidy} --databases ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}
  COMMAND ${CMAKE_COMMAND} -E touch ${work}/db/stamp
  DEPENDS ${CMAKE_BINARY_DIR}/compile_commands.json ${check_tidy}
  BYPRODUCTS ${databases}
  COMMENT "Taking the command each file is analysed with"
  VERBATIM)
add_custom_target(skarvel_tidy_commands DEPENDS ${work}/db/stamp)
add_custom_target(skarvel_tidy ALL DEPENDS ${logs})
add_dependencies(skarvel_tidy skarvel_tidy_commands)
