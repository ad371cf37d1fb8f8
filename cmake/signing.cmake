# Read by CPack (never by the build), twice: first as the project's CPack configuration, before anything is
# staged, then as a script run once the files are staged and before they are packed. Each program that goes
# into the installer passes through scripts/lib/packed-program.sh, which signs it when scripts/package.sh asks
# for it (or attaches the signature made elsewhere) and keeps a copy of it as packed.
set(packed "bash \"${CPACK_QM_PACKED_PROGRAM_SCRIPT}\"")
if(NOT CPACK_TEMPORARY_DIRECTORY)
  list(APPEND CPACK_PRE_BUILD_SCRIPTS "${CMAKE_CURRENT_LIST_FILE}")
  # NSIS runs the command on the uninstaller it has written and packs the file as the command left it, then
  # runs it on the finished installer; a command that fails stops the build.
  string(APPEND CPACK_NSIS_DEFINES "\n!uninstfinalize '${packed} \"%1\" Uninstall.exe inner' = 0"
                                   "\n!finalize '${packed} \"%1\" ${CPACK_PACKAGE_FILE_NAME}.exe' = 0")
else()
  # The staged panel has been stripped already: a signature made before the strip would be cut off by it.
  execute_process(COMMAND bash "${CPACK_QM_PACKED_PROGRAM_SCRIPT}" "${CPACK_TEMPORARY_DIRECTORY}/Quenmarel.exe"
                          Quenmarel.exe inner RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "Quenmarel.exe could not be signed, or its signature not attached")
  endif()
endif()
