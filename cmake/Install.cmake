include(CMakePackageConfigHelpers)

install(TARGETS vuziza EXPORT vuzizaTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(EXPORT vuzizaTargets NAMESPACE vuziza:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/vuziza)

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/vuzizaConfig.cmake.in
  ${PROJECT_BINARY_DIR}/vuzizaConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/vuziza)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/vuzizaConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/vuzizaConfig.cmake ${PROJECT_BINARY_DIR}/vuzizaConfigVersion.cmake
  ${PROJECT_SOURCE_DIR}/cmake/Dependencies.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/vuziza)

# The .pc file finds the prefix relative to itself, so an installed tree can move.
file(RELATIVE_PATH VUZIZA_PC_TO_PREFIX "/prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/prefix")
configure_file(${PROJECT_SOURCE_DIR}/cmake/vuziza.pc.in ${PROJECT_BINARY_DIR}/vuziza.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/vuziza.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
