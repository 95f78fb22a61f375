# What the packages hold and how CPack makes them, with the version of
# resources/version.cmake in every file name:
#
#   Windows (the MinGW presets): Tarnwick-VERSION-win32.zip and
#     Tarnwick-VERSION-win32-setup.exe (win64 for x64): Tarnwick.exe and
#     tarnwick-cli.exe, the German language file beside them and ReadMe.txt;
#     the installer is built by NSIS from packaging/NSIS.template.in, and puts
#     its folder on the PATH when asked to.
#   Linux: tarnwick_VERSION-1_ARCH.deb: tarnwick and tarnwick-cli in
#     /usr/lib/tarnwick with their language file beside them (each reads it
#     from the folder of its executable, found through /proc/self/exe, past
#     its link in /usr/bin), tarnwick-scenario, the menu entry, icons,
#     manual pages, tarnwick-cli's bash completion.
#
#   Each program is shipped where the build has its target: a build without
#   tarnwick-cli makes the same packages less it (and the installer without
#   its PATH option).
#   <build>/package-programs.txt lists the programs the packages ship, a
#   built file a line, for the package checks (tests/packaging/).
#
#   cmake --build --preset PRESET --target package   # into build/PRESET/packages
#
# Included at the end of the top-level CMakeLists.txt.

set(TW_MAINTAINER "${TW_COMPANY} <brenholt@quillmere.example>")
# The Debian version: the program's, and the number of the package made of it.
set(TW_DEBIAN_RELEASE 1)
set(TW_DEBIAN_VERSION "${TW_VERSION}-${TW_DEBIAN_RELEASE}")

if(TARGET Tarnwick)
    install(TARGETS Tarnwick RUNTIME DESTINATION .)
    set(programs Tarnwick)
    # The console program for scripts, beside the window; ReadMe.txt says
    # how to use it only where it is there.
    set(TW_README_CLI "")
    set(CPACK_TW_CLI_PROGRAM "")
    if(TARGET tarnwick-cli)
        install(TARGETS tarnwick-cli RUNTIME DESTINATION .)
        list(APPEND programs tarnwick-cli)
        file(READ ${CMAKE_SOURCE_DIR}/resources/windows/ReadMe-cli.txt TW_README_CLI)
        # configure_file gives the template's own lines CR LF, not a value's.
        string(REPLACE "\n" "\r\n" TW_README_CLI "${TW_README_CLI}")
        set(CPACK_TW_CLI_PROGRAM tarnwick-cli.exe)
    endif()
    configure_file(${CMAKE_SOURCE_DIR}/resources/windows/ReadMe.txt.in
                   ${CMAKE_BINARY_DIR}/generated/ReadMe.txt @ONLY NEWLINE_STYLE CRLF)
    install(FILES ${CMAKE_SOURCE_DIR}/resources/languages/1031.loc
                  ${CMAKE_BINARY_DIR}/generated/ReadMe.txt
            DESTINATION .)

    set(CPACK_GENERATOR ZIP NSIS)
    set(CPACK_PACKAGE_INSTALL_DIRECTORY Tarnwick)
    set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Tarnwick)
    set(CPACK_NSIS_PACKAGE_NAME "${TW_TITLE} ${TW_VERSION}")
    set(CPACK_NSIS_DISPLAY_NAME "${TW_TITLE}")
    set(CPACK_NSIS_URL_INFO_ABOUT "https://${TW_WEB_ADDRESS}")
    set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
    set(CPACK_MODULE_PATH ${CMAKE_SOURCE_DIR}/cmake/packaging) # NSIS.template.in
    set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/packaging/CPackOptions.cmake)
    # Read by NSIS.template.in.
    set(CPACK_TW_PROGRAM Tarnwick.exe)
    set(CPACK_TW_README ReadMe.txt)
    set(CPACK_TW_ICON ${CMAKE_BINARY_DIR}/generated/Tarnwick.ico)
    set(CPACK_TW_LEGAL_COPYRIGHT "${TW_LEGAL_COPYRIGHT}")
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        # A 64-bit installer for the 64-bit program, into the 64-bit Program Files.
        set(CPACK_TW_NSIS_TARGET amd64-unicode)
        set(CPACK_TW_NSIS_PROGRAM_FILES "$PROGRAMFILES64")
    else()
        set(CPACK_TW_NSIS_TARGET x86-unicode)
        set(CPACK_TW_NSIS_PROGRAM_FILES "$PROGRAMFILES")
    endif()
elseif(TARGET tarnwick AND TARGET tarnwick-scenario)
    # Folders as Debian has them, whatever the umask of the build.
    set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
        GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    add_subdirectory(resources/linux)
    install(TARGETS tarnwick RUNTIME DESTINATION lib/tarnwick)
    install(FILES ${CMAKE_SOURCE_DIR}/resources/languages/1031.loc DESTINATION lib/tarnwick)
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/install-links)
    file(CREATE_LINK ../lib/tarnwick/tarnwick ${CMAKE_BINARY_DIR}/install-links/tarnwick SYMBOLIC)
    install(FILES ${CMAKE_BINARY_DIR}/install-links/tarnwick DESTINATION bin)
    install(TARGETS tarnwick-scenario RUNTIME DESTINATION bin)
    set(programs tarnwick tarnwick-scenario)
    set(stripped lib/tarnwick/tarnwick bin/tarnwick-scenario)
    if(TARGET tarnwick-cli)
        # Beside the language file, as tarnwick is, with a link on the PATH;
        # its manual page and bash completion come with resources/linux.
        install(TARGETS tarnwick-cli RUNTIME DESTINATION lib/tarnwick)
        file(CREATE_LINK ../lib/tarnwick/tarnwick-cli ${CMAKE_BINARY_DIR}/install-links/tarnwick-cli
             SYMBOLIC)
        install(FILES ${CMAKE_BINARY_DIR}/install-links/tarnwick-cli DESTINATION bin)
        list(APPEND programs tarnwick-cli)
        list(APPEND stripped lib/tarnwick/tarnwick-cli)
    endif()
    # A stripped install (the package's, `cmake --install --strip`) also drops
    # the sections Debian's own stripping drops.
    foreach(program ${stripped})
        install(CODE "if(CMAKE_INSTALL_DO_STRIP)
            execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment
                --remove-section=.note \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${program}\"
                COMMAND_ERROR_IS_FATAL ANY)
        endif()")
    endforeach()

    set(CPACK_GENERATOR DEB)
    set(CPACK_STRIP_FILES ON)
    set(CPACK_DEBIAN_PACKAGE_NAME tarnwick)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_RELEASE ${TW_DEBIAN_RELEASE})
    set(CPACK_DEBIAN_PACKAGE_SECTION admin)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
    set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
    # After the summary (CPACK_PACKAGE_DESCRIPTION_SUMMARY), in lines that fit
    # 80 columns.
    string(JOIN "\n" CPACK_DEBIAN_PACKAGE_DESCRIPTION
        "${TW_TITLE} shows one Windows user account's state flags and counters"
        "and changes them (account disabled, locked out, password required,"
        "password never expires, user can change password), and shows and"
        "changes the account policy (password ages and length, lockout, history)."
        ""
        "It manages the accounts of real Windows and Samba servers over the"
        "network (MS-SAMR), or of a built-in demo machine, a simulated Windows"
        "computer."
        ""
        "The package also holds tarnwick-scenario, which runs scenario files"
        "through the same window.")
    if(TARGET tarnwick-cli)
        string(JOIN "\n" CPACK_DEBIAN_PACKAGE_DESCRIPTION
            "${CPACK_DEBIAN_PACKAGE_DESCRIPTION}"
            ""
            "tarnwick-cli does the same from the shell and from scripts: it lists"
            "the accounts (the locked-out or disabled ones), shows and changes an"
            "account and the policy, with exit statuses and JSON output.")
    endif()
else()
    return()
endif()

# The programs shipped, as the build made them.
list(TRANSFORM programs REPLACE "(.+)" "$<TARGET_FILE:\\1>")
list(JOIN programs "\n" programs)
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/package-programs.txt CONTENT "${programs}\n")

set(CPACK_PACKAGE_NAME Tarnwick)
set(CPACK_PACKAGE_VENDOR "${TW_COMPANY}")
set(CPACK_PACKAGE_VERSION "${TW_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Windows account administration in one window")
set(CPACK_PACKAGE_CONTACT "${TW_MAINTAINER}")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://${TW_WEB_ADDRESS}")
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/packages)
include(CPack)
