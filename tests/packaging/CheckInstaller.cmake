# Generates the Windows installer from packaging/windows/Installer.cmake with CPack's
# NSIS generator (makensis runs on Linux too) and checks its script: the start-menu
# entry, the uninstaller, the removal of the Run value and the Group Policy template
# (which the uninstaller lists because the installer holds it).
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
    "Delete \"$INSTDIR\\policy\\en-US\\orbisk-client.adml\"")
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
# The Run value goes in the uninstaller's section, not while installing.
string(FIND "${text}" "Section \"Uninstall\"" uninstall)
string(FIND "${text}" "DeleteRegValue HKCU 'Software\\Microsoft\\Windows\\CurrentVersion\\Run'" removal)
if(uninstall EQUAL -1 OR removal LESS uninstall)
    message(FATAL_ERROR "The Run value is not removed by the uninstaller in ${script}")
endif()
message(STATUS "Installer: start-menu entry, uninstaller, Run value removal and policy template present")
