# Install rules of the library, in two components: runtime (the shared library) and dev (headers,
# the namelink or static archive, the CMake package and the pkg-config file). The programs go
# into the tools component (apps/CMakeLists.txt).
include(CMakePackageConfigHelpers)

set(ZK_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/zkmailslot)

install(TARGETS zkmailslot EXPORT zkmailslotTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT dev
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev
  FILE_SET HEADERS DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT dev)
install(EXPORT zkmailslotTargets NAMESPACE zk:: DESTINATION ${ZK_INSTALL_CMAKEDIR}
        COMPONENT dev)

configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/zkmailslotConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/zkmailslotConfig.cmake INSTALL_DESTINATION ${ZK_INSTALL_CMAKEDIR})
# Within a major version the interface stays compatible.
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/zkmailslotConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/zkmailslotConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/zkmailslotConfigVersion.cmake
        DESTINATION ${ZK_INSTALL_CMAKEDIR} COMPONENT dev)

# The pkg-config file finds the prefix from its own place, so the installed tree (and the
# packages' /usr) can be moved.
file(RELATIVE_PATH ZK_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
string(REGEX REPLACE "/$" "" ZK_PC_TO_PREFIX "${ZK_PC_TO_PREFIX}")
get_target_property(_zk_type zkmailslot TYPE)
if(_zk_type STREQUAL "STATIC_LIBRARY")
  set(ZK_PC_LIBS_PRIVATE "-pthread")
else()
  set(ZK_PC_LIBS_PRIVATE "")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/zkmailslot.pc.in ${CMAKE_CURRENT_BINARY_DIR}/zkmailslot.pc
               @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/zkmailslot.pc
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT dev)
