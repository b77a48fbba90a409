# Generates the Windows installer from packaging/windows/Installer.cmake with CPack's
# NSIS generator (makensis runs on Linux too) and checks its script: the start-menu
# entry, the uninstaller, the removal of the Run value on a real uninstall only, the
# closing of running copies before installing and uninstalling (and the pages' notice of
# it), and the files beside the client: the Group Policy template and Qt's OpenSSL 1.1
# libraries (which the uninstaller lists because the installer holds them).
# cmake -DSOURCE_DIR=... -DWORK_DIR=... -DCPACK=... -P CheckInstaller.cmake
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/packaging/installer -B ${WORK_DIR}
        -DORBISK_SOURCE_DIR=${SOURCE_DIR}
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "Configuring the installer project failed:\n${output}")
endif()
execute_process(COMMAND ${CPACK} -G NSIS --config ${WORK_DIR}/CPackConfig.cmake -B ${WORK_DIR}/out
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "CPack could not build the installer:\n${output}")
endif()
file(GLOB_RECURSE scripts ${WORK_DIR}/out/_CPack_Packages/*/project.nsi)
file(GLOB installers ${WORK_DIR}/out/*.exe)
if(NOT scripts OR NOT installers)
    message(FATAL_ERROR "No installer or no installer script in ${WORK_DIR}/out")
endif()
list(GET scripts 0 script)
file(READ ${script} text)

set(expected
    "CreateShortCut \"$SMPROGRAMS\\$STARTMENU_FOLDER\\Orbisk Client.lnk\" \"$INSTDIR\\.\\Orbisk Client.exe\""
    "WriteUninstaller \"$INSTDIR\\Uninstall.exe\""
    "CreateShortCut \"$SMPROGRAMS\\$STARTMENU_FOLDER\\Uninstall.lnk\" \"$INSTDIR\\Uninstall.exe\""
    "DeleteRegValue HKCU 'Software\\Microsoft\\Windows\\CurrentVersion\\Run' 'Orbisk Client'"
    "Delete \"$INSTDIR\\policy\\orbisk-client.admx\""
    "Delete \"$INSTDIR\\policy\\en-US\\orbisk-client.adml\""
    "Delete \"$INSTDIR\\libssl-1_1-x64.dll\""
    "Delete \"$INSTDIR\\libcrypto-1_1-x64.dll\""
    "!define MUI_WELCOMEPAGE_TEXT"
    "!define MUI_UNCONFIRMPAGE_TEXT_TOP")
set(missing "")
foreach(line IN LISTS expected)
    string(FIND "${text}" "${line}" position)
    if(position EQUAL -1)
        string(APPEND missing "\n  ${line}")
    endif()
endforeach()
if(missing)
    message(FATAL_ERROR "The installer script ${script} lacks:${missing}")
endif()
# Running copies end before the first file is installed and before the first is removed.
set(end_clients "nsExec::Exec '\"$SYSDIR\\taskkill.exe\" /F /T /IM \"Orbisk Client.exe\"'\nPop $0")
string(FIND "${text}" "Section \"Uninstall\"" uninstall)
if(uninstall EQUAL -1)
    message(FATAL_ERROR "The installer script ${script} has no uninstaller section")
endif()
string(FIND "${text}" "${end_clients}" install_end)
string(FIND "${text}" "File /r" install_files)
string(SUBSTRING "${text}" ${uninstall} -1 uninstall_text)
string(FIND "${uninstall_text}" "${end_clients}" uninstall_end)
string(FIND "${uninstall_text}" "Delete \"$INSTDIR\\" uninstall_files)
if(install_end EQUAL -1 OR install_end GREATER install_files OR uninstall_end EQUAL -1
        OR uninstall_end GREATER uninstall_files)
    message(FATAL_ERROR "Running copies are not ended before files are installed and removed in ${script}")
endif()
# The Run value goes in the uninstaller's section, skipped when it runs silently (an upgrade).
string(FIND "${uninstall_text}"
    "IfSilent +2\nDeleteRegValue HKCU 'Software\\Microsoft\\Windows\\CurrentVersion\\Run' 'Orbisk Client'" removal)
if(removal EQUAL -1)
    message(FATAL_ERROR "The uninstaller does not remove the Run value on a real uninstall only in ${script}")
endif()
message(STATUS "Installer: start-menu entry, uninstaller, Run value, closing of running copies, "
    "policy template and OpenSSL libraries present")
