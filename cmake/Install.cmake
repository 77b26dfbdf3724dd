# Installation: headers, both libraries, a CMake package (find_package(xoltlog)
# gives xoltlog::xoltlog and xoltlog::xoltrir) and a pkg-config file.
include(CMakePackageConfigHelpers)

install(TARGETS xoltlog xoltrir
  EXPORT xoltlogTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The formatting library is loaded, never linked: it goes beside
# libxoltlog.so, where the loader looks first, and into no export set.
install(TARGETS xoltLogFormatMsg LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(DIRECTORY include/xoltlog DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
  FILES_MATCHING PATTERN "*.h" PATTERN "*.hpp")

set(XOLTLOG_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/xoltlog)
install(EXPORT xoltlogTargets NAMESPACE xoltlog:: DESTINATION ${XOLTLOG_CMAKE_DIR})
configure_package_config_file(cmake/xoltlogConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/xoltlogConfig.cmake
  INSTALL_DESTINATION ${XOLTLOG_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/xoltlogConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/xoltlogConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/xoltlogConfigVersion.cmake
        DESTINATION ${XOLTLOG_CMAKE_DIR})

# pkg-config finds the prefix relative to the .pc file, so an installed tree
# can be moved.
file(RELATIVE_PATH XOLTLOG_PC_TO_PREFIX "/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/")
configure_file(cmake/xoltlog.pc.in ${CMAKE_CURRENT_BINARY_DIR}/xoltlog.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/xoltlog.pc
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
