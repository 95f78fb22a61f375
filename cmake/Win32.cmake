# The Windows program: the real platform backend, the Win32 window, the
# resources (icon, version information, manifest), Tarnwick.exe and the tests
# that run under Wine. Included from the top-level CMakeLists.txt when
# TW_BUILD_WIN32 is on (the windows-x86 and windows-x64 presets).
if(NOT WIN32)
    message(FATAL_ERROR "TW_BUILD_WIN32 needs a Windows target (MSVC or a MinGW toolchain file)")
endif()

enable_language(RC)

# Windows 7 headers; the program itself asks nothing newer than Windows 2000 of
# the system, and looks up what older systems lack at run time.
set(TW_WIN32_DEFINITIONS UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601
                         WINVER=0x0601)

tw_library(tw_platform_win32 DIRS platform/win32 LINK tw_platform netapi32 advapi32 kernel32 user32
                                                   gdi32)
target_compile_definitions(tw_platform_win32 PUBLIC ${TW_WIN32_DEFINITIONS})

tw_library(tw_toolkit_win32 DIRS toolkit/win32 LINK tw_toolkit user32 gdi32 comctl32 oleacc ole32
                                                        oleaut32 uuid)
target_compile_definitions(tw_toolkit_win32 PUBLIC ${TW_WIN32_DEFINITIONS})

# The simulated platform, for tarnwick-scenario.exe: the scenario suite
# through the Win32 window. It reads machine descriptions with nlohmann/json.
if(NOT TARGET tw_sim)
    include(${CMAKE_SOURCE_DIR}/cmake/NlohmannJson.cmake)
    tw_library(tw_sim DIRS platform/sim LINK tw_platform tw_nlohmann_json)
endif()

# Icon, manifest and version information: the object library tw_resources_win32.
add_subdirectory(resources)

option(TW_BUILD_WINE_TESTS "Build tarnwick-win32-tests.exe (run under Wine or on Windows)" ON)
if(TW_BUILD_WINE_TESTS)
    add_subdirectory(tests/wine)
endif()
