# Desktop integration and the Debian package: the registrations the screen-saver daemons look for, and
# CPack's DEB generator. Included from the top-level CMakeLists.txt.

set(SYLVORA_PACKAGING_DIR ${CMAKE_BINARY_DIR}/packaging)
# xscreensaver and the lockers that embed its hacks look for programs here (Debian's hack directory).
set(SYLVORA_HACK_DIR "${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver")
set(SYLVORA_HACK_PROGRAM "${CMAKE_INSTALL_FULL_LIBEXECDIR}/xscreensaver/sylvora")

# xscreensaver's description of the hack, xfce4-screensaver's entry, and the settings launcher.
configure_file(${CMAKE_SOURCE_DIR}/packaging/sylvora.xml.in ${SYLVORA_PACKAGING_DIR}/sylvora.xml @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/sylvora-screensaver.desktop.in
               ${SYLVORA_PACKAGING_DIR}/screensavers/sylvora.desktop @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/sylvora-settings.desktop.in
               ${SYLVORA_PACKAGING_DIR}/sylvora-settings.desktop @ONLY)
install(FILES ${SYLVORA_PACKAGING_DIR}/sylvora.xml DESTINATION "${CMAKE_INSTALL_DATADIR}/xscreensaver/config")
install(FILES ${SYLVORA_PACKAGING_DIR}/screensavers/sylvora.desktop
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications/screensavers")
install(FILES ${SYLVORA_PACKAGING_DIR}/sylvora-settings.desktop DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")

# The program in the hack directory: a relative link to the one in bin/.
file(RELATIVE_PATH SYLVORA_HACK_LINK "${CMAKE_INSTALL_FULL_LIBEXECDIR}/xscreensaver"
     "${CMAKE_INSTALL_FULL_BINDIR}/sylvora")
file(MAKE_DIRECTORY ${SYLVORA_PACKAGING_DIR}/hack)
file(CREATE_LINK "${SYLVORA_HACK_LINK}" ${SYLVORA_PACKAGING_DIR}/hack/sylvora SYMBOLIC)
install(FILES ${SYLVORA_PACKAGING_DIR}/hack/sylvora DESTINATION "${SYLVORA_HACK_DIR}")

# The files Debian's policy asks of every package: its copyright, its changelog (compressed, without a
# time stamp, so the package is reproducible), and lintian's one override.
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/sylvora")
execute_process(COMMAND gzip -n -9 -c ${CMAKE_SOURCE_DIR}/packaging/changelog
                OUTPUT_FILE ${SYLVORA_PACKAGING_DIR}/changelog.gz)
install(FILES ${SYLVORA_PACKAGING_DIR}/changelog.gz DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/sylvora")
# The manual page, compressed as manual pages are installed.
execute_process(COMMAND gzip -n -9 -c ${CMAKE_SOURCE_DIR}/packaging/sylvora.6
                OUTPUT_FILE ${SYLVORA_PACKAGING_DIR}/sylvora.6.gz)
install(FILES ${SYLVORA_PACKAGING_DIR}/sylvora.6.gz DESTINATION "${CMAKE_INSTALL_MANDIR}/man6")
install(FILES ${CMAKE_SOURCE_DIR}/packaging/lintian-overrides DESTINATION "${CMAKE_INSTALL_DATADIR}/lintian/overrides"
        RENAME sylvora)

set(CPACK_PACKAGE_NAME "sylvora")
set(CPACK_PACKAGE_VENDOR "Tavro Software")
set(CPACK_PACKAGE_CONTACT "Tavro Software <support@tavro-software.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "animated nature screensaver with bird songs")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Sylvora Screensaver shows six painted nature scenes in motion: stacked picture
layers over a sky that scrolls with the wind, drifting seeds, a distant flock,
gliding birds and butterflies, with an ambient soundtrack and bird songs
placed around the listener. It runs full screen on its own or as a hack of
xscreensaver and xfce4-screensaver.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "x11")
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libsdl2-2.0-0, libturbojpeg0, libopenal1, libvorbisfile3, libvorbis0a, libogg0, libgtk-3-0")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver | xfce4-screensaver")
set(CPACK_STRIP_FILES ON)
include(CPack)
