# CPack: one .deb holding the agent and the kit (headers, libraries, tools, language modules,
# CMake and pkg-config packages) and the example instrumentation directories, under /opt/ox:
# module files keep their Windows names beside the programs, which belongs to no FHS folder.
set(CPACK_PACKAGE_NAME ox)
set(CPACK_PACKAGE_VENDOR "Ox Project")
set(CPACK_PACKAGE_CONTACT "Ox Project <ox@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "DMI 2.0 component-instrumentation agent and module kit")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /opt/ox)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
# The platform library is private to the package, so dpkg-shlibdeps cannot resolve it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libsqlite3-0")
set(CPACK_STRIP_FILES ON) # the debug information stays in the build
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
include(CPack)
