# ZIP and Windows installer (NSIS) of the panel: `scripts/package.sh` builds both.
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
set(CPACK_GENERATOR "ZIP;NSIS")
set(CPACK_STRIP_FILES ON)

# Start-menu entry for the panel; the installer also writes an uninstaller and its Start-menu link.
set(CPACK_PACKAGE_EXECUTABLES "Quenmarel;Quenmarel MetaTrader 4 Interface")
set(CPACK_NSIS_DISPLAY_NAME "Quenmarel MetaTrader 4 Interface")
set(CPACK_NSIS_PACKAGE_NAME "Quenmarel MetaTrader 4 Interface")
set(CPACK_NSIS_INSTALLED_ICON_NAME "Quenmarel.exe")
set(CPACK_NSIS_URL_INFO_ABOUT "http://www.qrxforex.example")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MODIFY_PATH OFF)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY ".")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
# A 64-bit installer for the 64-bit panel: NSIS's default 32-bit stub does not start where only 64-bit
# Windows programs run (Wine without its 32-bit half), and the 64-bit one writes the 64-bit registry view.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
if(QM_ICON_FILE)
  set(CPACK_NSIS_MUI_ICON "${QM_ICON_FILE}")
  set(CPACK_NSIS_MUI_UNIICON "${QM_ICON_FILE}")
endif()

# scripts/package.sh --sign: signing is decided when the packages are made, not when the tree is configured.
set(CPACK_PROJECT_CONFIG_FILE "${PROJECT_SOURCE_DIR}/cmake/signing.cmake")
set(CPACK_QM_SIGN_SCRIPT "${PROJECT_SOURCE_DIR}/scripts/lib/authenticode-sign.sh")

include(CPack)
