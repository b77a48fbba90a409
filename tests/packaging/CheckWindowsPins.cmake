# Checks what the Windows build pins, so that an edit cannot quietly undo it: the
# workflow's runner image and Qt action, vcpkg in manifest mode, Qt's OpenSSL 1.1 handed to
# the installer; vcpkg.json's baseline and its cpp-httplib, core features only, in the
# series the Linux build compiles against (the local service subclasses it); QtKeychain at
# the release Debian ships, built against the workflow's Qt.
# cmake -DWORKFLOW=... -DMANIFEST=... -DHTTPLIB_HEADER=... -P CheckWindowsPins.cmake
file(READ ${WORKFLOW} workflow)
file(READ ${MANIFEST} manifest)
file(READ ${HTTPLIB_HEADER} header)
string(REGEX MATCH "#define CPPHTTPLIB_VERSION \"([0-9]+)\\.([0-9]+)\\." series "${header}")
set(series "${CMAKE_MATCH_1}\\.${CMAKE_MATCH_2}")
set(problems "")
foreach(rule
        "workflow|runs-on: windows-2022\n" "workflow|uses: jurplel/install-qt-action@v4\n"
        "workflow|tools: tools_openssl_x64,qt.tools.openssl.win_x64\n"
        "workflow|-DCMAKE_TOOLCHAIN_FILE=[^\n]*/scripts/buildsystems/vcpkg\\.cmake" "workflow|-DORBISK_QT_OPENSSL_DIR="
        "workflow|qtkeychain/archive/refs/tags/0\\.13\\.2\\.zip" "workflow|-DQt5Keychain_DIR="
        "manifest|\"builtin-baseline\": \"[0-9a-f]+\""
        "manifest|\"name\": \"cpp-httplib\",[ \n]*\"default-features\": false[ \n]*}"
        "manifest|\"overrides\": [[][ \n]*{[ \n]*\"name\": \"cpp-httplib\",[ \n]*\"version\": \"${series}\\.[0-9]+\"")
    string(REPLACE "|" ";" rule "${rule}")
    list(GET rule 0 file)
    list(GET rule 1 pattern)
    if(NOT "${${file}}" MATCHES "${pattern}")
        string(APPEND problems "\n  ${file} does not match: ${pattern}")
    endif()
endforeach()
# A classic-mode install would take whatever version vcpkg has today.
if(workflow MATCHES "vcpkg(\\.exe)? install[ \n]")
    string(APPEND problems "\n  the workflow installs packages with vcpkg itself instead of through vcpkg.json")
endif()
if(problems)
    message(FATAL_ERROR "The Windows build's pins are off (cpp-httplib series ${series}):${problems}")
endif()
message(STATUS "Pins in place: windows-2022, install-qt-action@v4, vcpkg.json's baseline and cpp-httplib")
