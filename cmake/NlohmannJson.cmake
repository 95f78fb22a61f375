# nlohmann/json for the Windows builds, as the interface target tw_nlohmann_json.
#
# A native build (MSVC, MSYS2) uses the installed package. A cross build uses
# the package of the target's own root when it has one; otherwise it takes the
# build machine's copy of the library, which is header-only, but never the
# build machine's include folder itself (that would put its C library headers
# before the target's): only the nlohmann folder is copied into the build tree.
if(TARGET tw_nlohmann_json)
    return()
endif()
add_library(tw_nlohmann_json INTERFACE)

if(NOT CMAKE_CROSSCOMPILING)
    find_package(nlohmann_json 3 REQUIRED)
    target_link_libraries(tw_nlohmann_json INTERFACE nlohmann_json::nlohmann_json)
    return()
endif()

find_package(nlohmann_json 3 QUIET CONFIG ONLY_CMAKE_FIND_ROOT_PATH)
if(nlohmann_json_FOUND)
    target_link_libraries(tw_nlohmann_json INTERFACE nlohmann_json::nlohmann_json)
    return()
endif()

find_path(TW_HOST_NLOHMANN_JSON_INCLUDE nlohmann/json.hpp
    PATHS /usr/include /usr/local/include
    NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH
    DOC "The build machine's include folder that holds nlohmann/json.hpp")
if(NOT TW_HOST_NLOHMANN_JSON_INCLUDE)
    message(FATAL_ERROR "nlohmann/json not found for the Windows build: install "
                        "nlohmann-json3-dev, or set TW_HOST_NLOHMANN_JSON_INCLUDE")
endif()
set(staged ${CMAKE_BINARY_DIR}/third-party/include)
# Copies only what changed; a newer host package arrives with the next configure.
file(COPY ${TW_HOST_NLOHMANN_JSON_INCLUDE}/nlohmann DESTINATION ${staged})
set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${TW_HOST_NLOHMANN_JSON_INCLUDE}/nlohmann/json.hpp)
target_include_directories(tw_nlohmann_json SYSTEM INTERFACE ${staged})
