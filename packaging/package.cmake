# What a system install and the Debian package hold beyond the programs, and the CPack settings
# that make `cpack -G DEB` in the build folder write lumo_<version>-<revision>_<arch>.deb.

# Manual pages and the Debian changelog go in gzipped (-n: no name or time stamp, so a rebuild
# gives the same bytes).
set(LUMO_GZIPPED)
function(lumo_gzip source output)
    add_custom_command(OUTPUT ${output}
        COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${source} ${output}
        DEPENDS ${source} VERBATIM)
    set(LUMO_GZIPPED ${LUMO_GZIPPED} ${output} PARENT_SCOPE)
endfunction()

set(LUMO_MAN_PAGES lumo.1 lumo-cli.1 lumo-mms-server.1)
foreach(page ${LUMO_MAN_PAGES})
    lumo_gzip(${PROJECT_SOURCE_DIR}/data/man/${page} ${PROJECT_BINARY_DIR}/man/${page}.gz)
    install(FILES ${PROJECT_BINARY_DIR}/man/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
lumo_gzip(${PROJECT_SOURCE_DIR}/packaging/changelog ${PROJECT_BINARY_DIR}/changelog.Debian.gz)
add_custom_target(lumo_gzipped ALL DEPENDS ${LUMO_GZIPPED})

install(FILES ${PROJECT_BINARY_DIR}/changelog.Debian.gz ${PROJECT_SOURCE_DIR}/packaging/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${PROJECT_SOURCE_DIR}/docs/architecture.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME lumo)

if(TARGET lumo)
    install(FILES ${PROJECT_SOURCE_DIR}/data/lumo.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps)
    install(FILES ${PROJECT_SOURCE_DIR}/data/org.lumo.downloader.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The packaging's own revision: 1 for each new program version, up by one for a package-only change
# (packaging/changelog names the same).
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_PACKAGE_VENDOR "The Lumo developers")
set(CPACK_PACKAGE_CONTACT "The Lumo developers <lumo@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "record Windows-Media (MMS) streams to ASF files")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Lumo speaks the MMS streaming protocol to a media server and writes the ASF
header and data packets it receives into a local .asf file that any player
opens. Stored programmes download from start to end and resume after an
interruption; live broadcasts record until stopped and get their header
repaired so the file plays and shows its length. Redirect files (ASX) and web
pages are scanned for MMS addresses.
.
The package holds the desktop program (lumo), the same core on the command
line for scripts (lumo-cli) and a small MMS server for tests and
demonstrations (lumo-mms-server).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Library dependencies come from dpkg-shlibdeps; the preview player decodes through GStreamer, and
# the help menu opens the read-me with xdg-open.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, \
gstreamer1.0-plugins-ugly, gstreamer1.0-libav, xdg-utils")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
