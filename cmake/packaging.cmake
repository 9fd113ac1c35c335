# Install rules and packages, all from project()'s version.
#   Windows: Orvane-VERSION-win64.zip with both programs, README, LICENSE and
#            the notices of the runtime linked into them.
#   Elsewhere: orvane-cli_VERSION_ARCH.deb with orvane-cli alone (component
#            "cli"), its manual page, bash completion and Debian copyright.
# `cmake --build --preset NAME --target package` writes them in the build tree.

set(CPACK_PACKAGE_NAME Orvane)
set(CPACK_PACKAGE_VENDOR "The Orvane developers")
set(CPACK_PACKAGE_CONTACT "The Orvane developers <orvane-dev@example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "decode and encode ISO 8583 bitmaps")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

if(WIN32)
    install(TARGETS Orvane orvane-cli RUNTIME DESTINATION . COMPONENT programs)
    install(FILES README.md LICENSE DESTINATION . COMPONENT programs)

    # The programs link the MinGW-w64 runtime statically: libstdc++ and libgcc
    # (GPL-3 with the GCC Runtime Library Exception, which lets us ship them
    # under our terms), the CRT and winpthreads (their notices ask to be
    # reproduced). nlohmann/json is compiled in. Debian's copyright files of
    # the packages that built them are those notices.
    set(notices
        gcc-runtime.txt /usr/share/doc/gcc-mingw-w64-base/copyright
        GPL-3.txt /usr/share/common-licenses/GPL-3
        mingw-w64-runtime.txt /usr/share/doc/mingw-w64-common/copyright
        nlohmann-json.txt /usr/share/doc/nlohmann-json3-dev/copyright)
    set(notices_index "The programs contain code of these libraries, under these notices:\n\n")
    while(notices)
        list(POP_FRONT notices name source)
        if(NOT EXISTS ${source})
            message(FATAL_ERROR "packaging: ${source} is missing; scripts/setup.sh installs it")
        endif()
        install(FILES ${source} DESTINATION notices RENAME ${name} COMPONENT programs)
    endwhile()
    string(APPEND notices_index
        "gcc-runtime.txt        libstdc++ and libgcc: GPL-3 (its text is GPL-3.txt)\n"
        "                       with the GCC Runtime Library Exception 3.1 (its text\n"
        "                       is in gcc-runtime.txt)\n"
        "mingw-w64-runtime.txt  the MinGW-w64 CRT and winpthreads\n"
        "nlohmann-json.txt      nlohmann/json (MIT/Expat)\n")
    file(WRITE ${CMAKE_BINARY_DIR}/packaging/README.txt "${notices_index}")
    install(FILES ${CMAKE_BINARY_DIR}/packaging/README.txt DESTINATION notices COMPONENT programs)

    set(CPACK_GENERATOR ZIP)
    set(CPACK_SYSTEM_NAME win64)
else()
    install(TARGETS orvane-cli RUNTIME DESTINATION bin COMPONENT cli)

    # Debian wants the manual page and changelog compressed at -9 without a
    # timestamp, so the package is the same from build to build.
    set(packaging_dir ${CMAKE_BINARY_DIR}/packaging)
    configure_file(${PROJECT_SOURCE_DIR}/docs/orvane-cli.1.in ${packaging_dir}/orvane-cli.1 @ONLY)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/changelog.in ${packaging_dir}/changelog @ONLY)
    add_custom_command(OUTPUT ${packaging_dir}/orvane-cli.1.gz ${packaging_dir}/changelog.gz
        COMMAND gzip -9nkf orvane-cli.1 changelog
        DEPENDS ${packaging_dir}/orvane-cli.1 ${packaging_dir}/changelog
        WORKING_DIRECTORY ${packaging_dir})
    add_custom_target(orvane_cli_docs ALL DEPENDS ${packaging_dir}/orvane-cli.1.gz ${packaging_dir}/changelog.gz)

    install(FILES ${packaging_dir}/orvane-cli.1.gz DESTINATION share/man/man1 COMPONENT cli)
    install(FILES ${PROJECT_SOURCE_DIR}/scripts/completion/orvane-cli.bash
        DESTINATION share/bash-completion/completions RENAME orvane-cli COMPONENT cli)
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/copyright ${packaging_dir}/changelog.gz
        DESTINATION share/doc/orvane-cli COMPONENT cli)

    set(CPACK_GENERATOR DEB)
    set(CPACK_DEB_COMPONENT_INSTALL ON)
    set(CPACK_COMPONENTS_ALL cli)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_CLI_PACKAGE_NAME orvane-cli)
    set(CPACK_DEBIAN_PACKAGE_SECTION utils)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    # CPack puts CPACK_PACKAGE_DESCRIPTION_SUMMARY before it as the synopsis.
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "orvane-cli reads the bitmaps of ISO 8583 payment messages from arguments,
files or standard input, as hex, ASCII or EBCDIC hex, raw bytes or whole
messages, and shows their length, set bits and data element names as text
or JSON Lines; it also renders a bitmap from bit numbers. It is the
command-line companion of the Orvane bitmap window.")
endif()

include(CPack)
