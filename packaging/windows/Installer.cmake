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
# Copies of the client that run, in any user's session and often hidden in the tray,
# hold its files open: NSIS would stop at them while installing and leave them behind
# while uninstalling. Installer and uninstaller end them first (with their web engine
# processes) and say so; the elevated installer may end other users' copies too.
set(orbisk_end_clients
    "DetailPrint 'Closing every running copy of Orbisk Client'"
    "nsExec::Exec '\"$SYSDIR\\taskkill.exe\" /F /T /IM \"${ORBISK_EXECUTABLE_NAME}.exe\"'"
    "Pop $0")
list(JOIN orbisk_end_clients "\n" orbisk_end_clients)
set(orbisk_closing_notice "Running copies of Orbisk Client, in every user's session, are closed before")
set(CPACK_NSIS_DEFINES
    "!define MUI_WELCOMEPAGE_TEXT \"This installs $(^NameDA).$\\r$\\n$\\r$\\n${orbisk_closing_notice} files are copied. Each user starts the client again afterwards.$\\r$\\n$\\r$\\n$_CLICK\""
    "!define MUI_UNCONFIRMPAGE_TEXT_TOP \"$(^NameDA) will be removed. ${orbisk_closing_notice} its files are removed.\"")
list(JOIN CPACK_NSIS_DEFINES "\n" CPACK_NSIS_DEFINES)
set(CPACK_NSIS_EXTRA_PREINSTALL_COMMANDS "${orbisk_end_clients}")
# The client writes its per-user Run value at every start. The uninstaller runs elevated, so
# HKCU is the hive of the account that elevated: it removes that account's value, and only
# on a real uninstall. The uninstall before an upgrade runs silently (/S) and keeps it, or
# the upgrading user's client would not start at the next sign-in. Other users' values
# stay; Windows skips a Run value whose program is gone. Settings and server lists stay.
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS
    "${orbisk_end_clients}\nIfSilent +2\nDeleteRegValue HKCU 'Software\\Microsoft\\Windows\\CurrentVersion\\Run' '${ORBISK_EXECUTABLE_NAME}'")
# Qt 5.15's network module loads OpenSSL 1.1 at run time for the update check's https
# request, and windeployqt does not ship it (the page is not affected: the web engine has
# a TLS stack of its own). The two libraries go beside the client.
set(ORBISK_QT_OPENSSL_DIR "" CACHE PATH
    "Folder of the OpenSSL 1.1 libraries Qt loads (libssl-1_1-x64.dll, libcrypto-1_1-x64.dll)")
if(ORBISK_QT_OPENSSL_DIR)
    foreach(library libssl-1_1-x64.dll libcrypto-1_1-x64.dll)
        if(NOT EXISTS "${ORBISK_QT_OPENSSL_DIR}/${library}")
            message(FATAL_ERROR "ORBISK_QT_OPENSSL_DIR (${ORBISK_QT_OPENSSL_DIR}) has no ${library}")
        endif()
        install(FILES "${ORBISK_QT_OPENSSL_DIR}/${library}" DESTINATION .)
    endforeach()
else()
    message(WARNING "ORBISK_QT_OPENSSL_DIR is not set: the installer will lack the OpenSSL 1.1 libraries, "
        "and the installed client's update check fails over https")
endif()
# The Group Policy template (ADMX with its English ADML), for administrators to copy into
# their PolicyDefinitions folder. The client itself never reads them, only the registry
# values they set.
install(DIRECTORY ${CMAKE_CURRENT_LIST_DIR}/policy/ DESTINATION policy)
