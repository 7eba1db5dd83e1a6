# The Windows deliverables: per architecture a portable zip and an NSIS installer (cmake/nsis) of
# both programs with the README for Windows (CRLF line ends) and the licence in English and in
# German, the installer's language. The programs are stripped after linking; their symbols stay
# beside them (velotrix.exe.debug) for crash reports. The texts are UTF-8 with a byte order mark
# (their first line begins with @VELOTRIX_BOM@), so that every Notepad and the installer's licence
# page show their umlauts.
string(ASCII 239 187 191 VELOTRIX_BOM)
foreach(text README-windows.txt:README.txt LICENSE.txt:LICENSE.txt LIZENZ.txt:LIZENZ.txt)
    string(REPLACE ":" ";" names ${text})
    list(GET names 0 source)
    list(GET names 1 target)
    configure_file(doc/${source} ${CMAKE_BINARY_DIR}/${target} @ONLY NEWLINE_STYLE CRLF)
endforeach()

foreach(program velotrix velotrix-cli)
    add_custom_command(TARGET ${program} POST_BUILD
        COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${program}>
                $<TARGET_FILE:${program}>.debug
        COMMAND ${CMAKE_STRIP} --strip-all $<TARGET_FILE:${program}>
        COMMAND ${CMAKE_OBJCOPY} --add-gnu-debuglink=$<TARGET_FILE:${program}>.debug
                $<TARGET_FILE:${program}>
        WORKING_DIRECTORY $<TARGET_FILE_DIR:${program}>
        VERBATIM)
endforeach()
install(TARGETS velotrix RUNTIME DESTINATION .)
install(FILES ${CMAKE_BINARY_DIR}/README.txt ${CMAKE_BINARY_DIR}/LICENSE.txt
              ${CMAKE_BINARY_DIR}/LIZENZ.txt DESTINATION .)

if(MINGW_ARCH STREQUAL "x86_64")
    set(VELOTRIX_WINDOWS_SUFFIX win64)
    # Only a 64-bit installer runs where 32-bit programs cannot.
    set(CPACK_VELOTRIX_NSIS_TARGET amd64-unicode)
else()
    set(VELOTRIX_WINDOWS_SUFFIX win32)
    set(CPACK_VELOTRIX_NSIS_TARGET x86-unicode)
endif()
set(CPACK_GENERATOR "ZIP;NSIS")
set(CPACK_PACKAGE_NAME velotrix)
set(CPACK_PACKAGE_VENDOR "The Velotrix developers")
set(CPACK_PACKAGE_FILE_NAME velotrix-${PROJECT_VERSION}-${VELOTRIX_WINDOWS_SUFFIX})
set(CPACK_VELOTRIX_ICON ${CMAKE_SOURCE_DIR}/ui-resources/velotrix.ico)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/CPackWindowsOptions.cmake)
# cpack installs the two programs, which need not wait for the test suites to be built.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
# The installer's script is ours (cmake/nsis), in place of CPack's, which installs for all users.
list(PREPEND CMAKE_MODULE_PATH ${CMAKE_SOURCE_DIR}/cmake/nsis)
include(CPack)
