# Installs beside the client every library it loads, directly or through another library,
# that vcpkg built: found by the imports of the client and of what they resolve to, and
# taken from vcpkg's bin folder. Qt's libraries are windeployqt's, the system's stay.
# Runs at install time (install(CODE) in packaging/CMakeLists.txt) with
# ORBISK_CLIENT_FILE, the built client, and ORBISK_VCPKG_BIN_DIR.
# Qt's and most of the system's libraries do not resolve here; that is not an error.
file(GET_RUNTIME_DEPENDENCIES
    EXECUTABLES "${ORBISK_CLIENT_FILE}"
    DIRECTORIES "${ORBISK_VCPKG_BIN_DIR}"
    PRE_EXCLUDE_REGEXES "^api-ms-" "^ext-ms-"
    RESOLVED_DEPENDENCIES_VAR resolved
    UNRESOLVED_DEPENDENCIES_VAR unresolved)
# Compared by name, in lower case as the resolver gives it: a copy beside the built client
# (vcpkg puts one there) is found before vcpkg's own.
set(needed "")
foreach(library IN LISTS resolved)
    get_filename_component(name "${library}" NAME)
    string(TOLOWER "${name}" name)
    list(APPEND needed "${name}")
endforeach()
file(GLOB built LIST_DIRECTORIES false "${ORBISK_VCPKG_BIN_DIR}/*.dll")
foreach(library IN LISTS built)
    get_filename_component(name "${library}" NAME)
    string(TOLOWER "${name}" name)
    list(FIND needed "${name}" position)
    if(NOT position EQUAL -1)
        file(INSTALL "${library}" DESTINATION "${CMAKE_INSTALL_PREFIX}")
    endif()
endforeach()
