# Compiles the Windows resource script with MinGW's windres, decompiles the result
# and checks that the executable would carry what Windows shows: the icon, the
# version record and the manifest.
# cmake -DWINDRES=... -DRC=... -DWORK_DIR=... -P CheckWindowsResources.cmake
file(MAKE_DIRECTORY ${WORK_DIR})
execute_process(COMMAND ${WINDRES} ${RC} -O coff -o ${WORK_DIR}/orbisk-client.res.o
    RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "windres cannot compile ${RC}:\n${errors}")
endif()
execute_process(COMMAND ${WINDRES} -i ${WORK_DIR}/orbisk-client.res.o -O rc -o ${WORK_DIR}/decompiled.rc
    RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "windres cannot read back its own output:\n${errors}")
endif()
file(READ ${WORK_DIR}/decompiled.rc decompiled)

set(expected
    "/* RT_ICON */"
    "/* RT_GROUP_ICON */"
    "/* RT_MANIFEST */"
    "VALUE \"FileVersion\", \"0.0.0.0\""
    "VALUE \"ProductName\", \"Orbisk Client\""
    "VALUE \"OriginalFilename\", \"Orbisk Client.exe\""
    "level=\"\"asInvoker\"\""
    "name=\"\"Microsoft.Windows.Common-Controls\"\" version=\"\"6.0.0.0\"\"")
set(missing "")
foreach(text IN LISTS expected)
    string(FIND "${decompiled}" "${text}" position)
    if(position EQUAL -1)
        string(APPEND missing "\n  ${text}")
    endif()
endforeach()
if(missing)
    message(FATAL_ERROR "The compiled resources lack:${missing}\nDecompiled: ${WORK_DIR}/decompiled.rc")
endif()
message(STATUS "Windows resources: icon, version record and manifest present")
