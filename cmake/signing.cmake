# Authenticode signing of the packages, read by CPack (never by the build) when scripts/package.sh --sign has
# set QM_SIGN_PFX. CPack reads this file twice for each package kind: first as the project's CPack
# configuration, before anything is staged, then as a script run once the files are staged and before they
# are packed.
if(NOT DEFINED ENV{QM_SIGN_PFX})
  return()
endif()

set(sign "bash \"${CPACK_QM_SIGN_SCRIPT}\"")
if(NOT CPACK_TEMPORARY_DIRECTORY)
  list(APPEND CPACK_PRE_BUILD_SCRIPTS "${CMAKE_CURRENT_LIST_FILE}")
  # NSIS runs the command on the uninstaller it has written and packs the file as the command left it, then
  # runs it on the finished installer; a command that fails stops the build.
  string(APPEND CPACK_NSIS_DEFINES "\n!uninstfinalize '${sign} \"%1\"' = 0\n!finalize '${sign} \"%1\"' = 0")
else()
  # The staged panel has been stripped already: a signature made before the strip would be cut off by it.
  execute_process(COMMAND bash "${CPACK_QM_SIGN_SCRIPT}" "${CPACK_TEMPORARY_DIRECTORY}/Quenmarel.exe"
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "Quenmarel.exe could not be signed")
  endif()
endif()
