# Debian packages, one per install component (cpack -G DEB in the build folder):
#   libzkmailslot1      runtime  the shared library
#   libzkmailslot-dev   dev      headers, namelink, CMake package, pkg-config file
#   docuvane-tools      tools    designer, docuvane, mailslot and their manual pages
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zkmailslot)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Docuvane")
set(CPACK_PACKAGE_CONTACT "Docuvane developers <dev@docuvane.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Mailslot messaging library and the Help Expert programs")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_COMPONENTS_ALL runtime dev tools)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_VERSION ${PROJECT_VERSION})

set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
    "Mailslot messaging library\n Mailslots as AF_UNIX datagram sockets: endpoints, plain, checked,\n safe, secure and long mail, messenger popups, and the word routines.")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libzkmailslot${PROJECT_VERSION_MAJOR})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
# A shlibs file, so that packages built against the library depend on it; ldconfig runs on
# install and removal.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
file(WRITE ${PROJECT_BINARY_DIR}/cpack/runtime/triggers "activate-noawait ldconfig\n")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/cpack/runtime/triggers)

set(CPACK_COMPONENT_DEV_DESCRIPTION
    "Mailslot messaging library, development files\n Headers, the CMake package (find_package(zkmailslot), target zk::mailslot)\n and the pkg-config file zkmailslot.pc.")
set(CPACK_DEBIAN_DEV_PACKAGE_NAME libzkmailslot-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
# The headers belong to exactly this build of the library.
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS
    "${CPACK_DEBIAN_RUNTIME_PACKAGE_NAME} (= ${CPACK_DEBIAN_PACKAGE_VERSION})")

set(CPACK_COMPONENT_TOOLS_DESCRIPTION
    "Docuvane Help Expert programs\n designer (the terminal form designer with the Help Expert), docuvane (the\n stand-in authoring application) and mailslot (send to and listen on mailslots).")
set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME docuvane-tools)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION utils)

# Run-time dependencies of the library and the programs come from their ELF files.
find_program(ZK_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(ZK_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  message(STATUS "dpkg-shlibdeps not found (package dpkg-dev): Debian packages get no Depends")
endif()

include(CPack)
