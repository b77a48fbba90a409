# Checks what the Windows build pins, so that an edit cannot quietly undo it: the
# workflow's runner image and Qt action, vcpkg in manifest mode, and Qt's OpenSSL 1.1
# handed to the installer; vcpkg.json's baseline and its cpp-httplib, core features
# only, at the series the Linux build compiles against (the local service subclasses it).
# cmake -DWORKFLOW=... -DMANIFEST=... -DHTTPLIB_HEADER=... -P CheckWindowsPins.cmake
file(READ ${WORKFLOW} workflow)
file(READ ${MANIFEST} manifest)
file(READ ${HTTPLIB_HEADER} header)
set(problems "")

foreach(required "runs-on: windows-2022\n" "uses: jurplel/install-qt-action@v4\n"
        "tools: tools_openssl_x64,qt.tools.openssl.win_x64\n" "/scripts/buildsystems/vcpkg.cmake"
        "-DORBISK_QT_OPENSSL_DIR=")
    string(FIND "${workflow}" "${required}" position)
    if(position EQUAL -1)
        string(STRIP "${required}" required)
        string(APPEND problems "\n  the workflow lacks \"${required}\"")
    endif()
endforeach()
# A classic-mode install would take whatever version vcpkg has today.
if(workflow MATCHES "vcpkg(\\.exe)? install[ \n]")
    string(APPEND problems "\n  the workflow installs packages with vcpkg itself instead of through vcpkg.json")
endif()

string(JSON baseline ERROR_VARIABLE error GET "${manifest}" builtin-baseline)
string(LENGTH "${baseline}" baseline_length)
if(NOT baseline MATCHES "^[0-9a-f]+$" OR NOT baseline_length EQUAL 40)
    string(APPEND problems "\n  vcpkg.json has no builtin-baseline commit (${baseline})")
endif()
set(httplib "")
string(JSON count LENGTH "${manifest}" dependencies)
math(EXPR last "${count} - 1")
foreach(index RANGE ${last})
    string(JSON name ERROR_VARIABLE error GET "${manifest}" dependencies ${index} name)
    if(name STREQUAL "cpp-httplib")
        string(JSON httplib GET "${manifest}" dependencies ${index})
    endif()
endforeach()
string(JSON defaults ERROR_VARIABLE error GET "${httplib}" default-features)
string(JSON features ERROR_VARIABLE no_features GET "${httplib}" features)
if(NOT httplib OR NOT defaults STREQUAL "OFF" OR NOT no_features)
    string(APPEND problems "\n  vcpkg.json does not ask for cpp-httplib with its core features only: ${httplib}")
endif()
string(JSON pinned ERROR_VARIABLE error GET "${manifest}" overrides 0 version)
string(JSON pinned_name ERROR_VARIABLE error GET "${manifest}" overrides 0 name)
string(REGEX MATCH "#define CPPHTTPLIB_VERSION \"([0-9]+\\.[0-9]+)\\." series "${header}")
set(series "${CMAKE_MATCH_1}")
if(NOT pinned_name STREQUAL "cpp-httplib" OR NOT series OR NOT pinned MATCHES "^${series}\\.[0-9]+$")
    string(APPEND problems
        "\n  vcpkg.json pins cpp-httplib at \"${pinned}\", not in the series ${series} of ${HTTPLIB_HEADER}")
endif()

if(problems)
    message(FATAL_ERROR "The Windows build's pins are off:${problems}")
endif()
message(STATUS "windows-2022, install-qt-action@v4, vcpkg.json at ${baseline}, cpp-httplib ${pinned} core only")
