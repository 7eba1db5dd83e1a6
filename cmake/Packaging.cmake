# What the install tree holds beside the two programs (menu entry, icons, file type, AppStream
# data, manual pages, completion, documentation), and the Debian package CPack builds from it.
if(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/PackagingWindows.cmake)
    return()
endif()

include(GNUInstallDirs)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Manual pages and the changelog are installed compressed, as Debian keeps them; -n leaves the
# time stamp out, so that the same text gives the same file. The German pages (doc/de) go where man
# looks for a German locale, the English ones where it looks for every other.
set(VELOTRIX_COMPRESSED_DOCS)
foreach(source velotrix.1 velotrix-cli.1 de/velotrix.1 de/velotrix-cli.1 changelog)
    set(compressed ${CMAKE_BINARY_DIR}/doc/${source}.gz)
    get_filename_component(compressed_dir ${compressed} DIRECTORY)
    add_custom_command(OUTPUT ${compressed}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${compressed_dir}
        COMMAND sh -c "gzip -9nc '${CMAKE_SOURCE_DIR}/doc/${source}' > '${compressed}'"
        DEPENDS ${CMAKE_SOURCE_DIR}/doc/${source}
        VERBATIM)
    list(APPEND VELOTRIX_COMPRESSED_DOCS ${compressed})
endforeach()
add_custom_target(velotrix_docs ALL DEPENDS ${VELOTRIX_COMPRESSED_DOCS})
# A build of either program can be installed at once.
foreach(program velotrix velotrix-cli)
    if(TARGET ${program})
        add_dependencies(${program} velotrix_docs)
    endif()
endforeach()

set(VELOTRIX_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/velotrix)
install(FILES ${CMAKE_BINARY_DIR}/doc/velotrix-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/doc/de/velotrix-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/de/man1)
install(FILES doc/velotrix-cli.bash
    DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME velotrix-cli)
install(FILES README.md doc/copyright ${CMAKE_BINARY_DIR}/doc/changelog.gz
    DESTINATION ${VELOTRIX_DOC_DIR})

if(TARGET velotrix)
    install(FILES ${CMAKE_BINARY_DIR}/doc/velotrix.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${CMAKE_BINARY_DIR}/doc/de/velotrix.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/de/man1)
    install(FILES ui-resources/velotrix.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(DIRECTORY ui-resources/hicolor/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
    install(FILES ui-resources/velotrix-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME velotrix.xml)
    install(FILES ui-resources/org.velotrix.velotrix.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# cpack -G DEB: dependencies from the binaries (dpkg-shlibdeps), stripped programs under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velotrix)
set(CPACK_PACKAGE_VENDOR "The Velotrix developers")
set(CPACK_PACKAGE_CONTACT "Velotrix developers <velotrix@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "exchange files with Z80 home computers over RS-232")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Velotrix moves files between a PC and Z80 home computers such as the AC1 and\n"
    "the LLC2 over a serial line. It receives a transfer, lists it in hex, decodes\n"
    "its z80 header, shows its length and CRC and saves exactly the bytes received.\n"
    "It loads .bin, .z80 and .COM files, synthesizes or edits their header and\n"
    "sends them, once or continuously. The window speaks German; velotrix-cli runs\n"
    "the same transfers from the command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS socat)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
