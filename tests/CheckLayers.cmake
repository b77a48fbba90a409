# Fails on an include in src/ that points upward or across the layers, naming the file
# and line. Layers, bottom up; folders on one line share a layer and may not include
# each other. An include may point down or stay within its own folder.
#   cmake -DSOURCE_DIR=<src> -P CheckLayers.cmake
set(layers
    "storage"
    "platform"
    "core"
    "servers;ui"
    "web;update"
    "dialogs;login"
    "mainwindow"
    "app")

set(level 0)
foreach(layer IN LISTS layers)
    foreach(folder IN LISTS layer)
        set(level_of_${folder} ${level})
    endforeach()
    math(EXPR level "${level} + 1")
endforeach()

file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp")
set(faults "")
foreach(source IN LISTS sources)
    string(REGEX MATCH "^[^/]+" from "${source}")
    if(NOT DEFINED level_of_${from})
        string(APPEND faults "src/${source}: the folder ${from} is in no layer\n")
        continue()
    endif()
    file(STRINGS "${SOURCE_DIR}/${source}" lines)
    set(number 0)
    foreach(line IN LISTS lines)
        math(EXPR number "${number} + 1")
        if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([^/\"]+)/")
            continue()
        endif()
        set(to "${CMAKE_MATCH_1}")
        if(to STREQUAL from)
            continue()
        endif()
        if(NOT DEFINED level_of_${to})
            string(APPEND faults "src/${source}:${number}: includes ${to}/, which is in no layer\n")
        elseif(NOT level_of_${to} LESS level_of_${from})
            string(APPEND faults "src/${source}:${number}: ${from}/ may not include ${to}/ (upward or across)\n")
        endif()
    endforeach()
endforeach()

if(faults)
    message(FATAL_ERROR "Includes against the layers:\n${faults}")
endif()
