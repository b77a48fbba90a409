# The NSIS installer's settings and the files only it installs, included on Windows by
# packaging/CMakeLists.txt (and by a test that generates the installer script on Linux).
# Expects ORBISK_EXECUTABLE_NAME, ORBISK_PACKAGE_VERSION and CPACK_PACKAGE_HOMEPAGE_URL.
set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Orbisk Client")
set(CPACK_NSIS_DISPLAY_NAME "Orbisk Client")
set(CPACK_NSIS_PACKAGE_NAME "Orbisk Client ${ORBISK_PACKAGE_VERSION}")
set(CPACK_NSIS_INSTALLED_ICON_NAME "${ORBISK_EXECUTABLE_NAME}.exe")
set(CPACK_NSIS_MUI_ICON ${CMAKE_CURRENT_LIST_DIR}/orbisk-client.ico)
set(CPACK_NSIS_MUI_UNIICON ${CMAKE_CURRENT_LIST_DIR}/orbisk-client.ico)
set(CPACK_NSIS_URL_INFO_ABOUT ${CPACK_PACKAGE_HOMEPAGE_URL})
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# A start-menu entry for the client, which sits in the installation folder itself.
set(CPACK_PACKAGE_EXECUTABLES "${ORBISK_EXECUTABLE_NAME};Orbisk Client")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
# The client registers itself under the per-user Run key at every start; the
# uninstaller removes that value for the user who uninstalls, so no start entry
# points at a deleted program. Settings and server lists stay.
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS
    "DeleteRegValue HKCU 'Software\\Microsoft\\Windows\\CurrentVersion\\Run' '${ORBISK_EXECUTABLE_NAME}'")
# The Group Policy template (ADMX with its English ADML), for administrators to copy into
# their PolicyDefinitions folder. The client itself never reads them, only the registry
# values they set.
install(DIRECTORY ${CMAKE_CURRENT_LIST_DIR}/policy/ DESTINATION policy)
