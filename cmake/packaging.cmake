# Windows installer (NSIS) of the panel; `scripts/package.sh` makes it and, from the same staged files, the ZIP
# (CPack's ZIP stores the builder's times, user and group in every entry: scripts/lib/make-zip.sh does not).
install(TARGETS Quenmarel RUNTIME DESTINATION .)
# The trader's README, with Windows line ends so that every Notepad shows its lines.
configure_file("${PROJECT_SOURCE_DIR}/docs/README-trader.txt" "${PROJECT_BINARY_DIR}/README.txt" @ONLY
               NEWLINE_STYLE CRLF)
install(FILES "${PROJECT_BINARY_DIR}/README.txt" DESTINATION .)

set(CPACK_PACKAGE_NAME "Quenmarel")
set(CPACK_PACKAGE_VENDOR "QRX Forex")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Quenmarel: MetaTrader 4 Interface")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_FILE_NAME "Quenmarel-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Quenmarel")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Quenmarel")
set(CPACK_GENERATOR "NSIS")
set(CPACK_STRIP_FILES ON)

# The installer is the project's own template (cmake/nsis/NSIS.template.in): for the current user or for all
# users, with a fixed list of files, the two above. Its Start-menu entry for the panel is the display name; it
# also writes an uninstaller and its Start-menu link.
set(CPACK_MODULE_PATH "${PROJECT_SOURCE_DIR}/cmake/nsis")
set(CPACK_NSIS_DISPLAY_NAME "Quenmarel MetaTrader 4 Interface")
set(CPACK_NSIS_PACKAGE_NAME "Quenmarel MetaTrader 4 Interface")
set(CPACK_NSIS_URL_INFO_ABOUT "http://www.qrxforex.example")
# A 64-bit installer for the 64-bit panel: NSIS's default 32-bit stub does not start where only 64-bit
# Windows programs run (Wine without its 32-bit half), and the 64-bit one writes the 64-bit registry view.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
if(QM_ICON_FILE)
  set(CPACK_NSIS_MUI_ICON "${QM_ICON_FILE}")
  set(CPACK_NSIS_MUI_UNIICON "${QM_ICON_FILE}")
endif()

# Each program is handed to scripts/lib/packed-program.sh as it goes into the installer (cmake/signing.cmake):
# signing, or the signatures given, are decided when the packages are made, not when the tree is configured.
set(CPACK_PROJECT_CONFIG_FILE "${PROJECT_SOURCE_DIR}/cmake/signing.cmake")
set(CPACK_QM_PACKED_PROGRAM_SCRIPT "${PROJECT_SOURCE_DIR}/scripts/lib/packed-program.sh")

include(CPack)
