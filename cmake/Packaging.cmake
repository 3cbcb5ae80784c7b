# Desktop integration and the Debian package: the registrations the screen-saver daemons look for, and
# CPack's DEB generator. Included from the top-level CMakeLists.txt.

# The directory the installed install-path file names. Staged and test installs keep the installation
# directory itself; the Debian package points it at a per-machine writable directory its postinst makes.
set(SYLVORA_INSTALL_PATH_TARGET "${SYLVORA_INSTALL_DIR}" CACHE STRING
    "Directory named by the installed install-path file (where options.ini is written)")

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

# The package's maintainer scripts make and remove the writable directory.
foreach(script postinst postrm)
  configure_file(${CMAKE_SOURCE_DIR}/packaging/${script}.in ${SYLVORA_PACKAGING_DIR}/control/${script} @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                                  WORLD_EXECUTE)
endforeach()

set(CPACK_PACKAGE_NAME "sylvora")
set(CPACK_PACKAGE_VENDOR "Tavro Software")
set(CPACK_PACKAGE_CONTACT "Tavro Software <support@tavro-software.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Sylvora Screensaver: painted nature scenes in motion with bird songs")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "x11")
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libsdl2-2.0-0, libturbojpeg0, libopenal1, libvorbisfile3, libvorbis0a, libogg0, libgtk-3-0")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver | xfce4-screensaver")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${SYLVORA_PACKAGING_DIR}/control/postinst ${SYLVORA_PACKAGING_DIR}/control/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)
