# Install rules, the CMake package for host applications and the Debian package.
# Included once every target exists.
include(CMakePackageConfigHelpers)

# Where the host layer looks for the shared folders once installed: relative to
# the executable (../share/dizarozevoruzedava) and, for host applications
# installed elsewhere, relative to the library itself.
file(RELATIVE_PATH zhp_bin_to_data /${CMAKE_INSTALL_BINDIR} /${ZHP_INSTALL_DATADIR})
file(RELATIVE_PATH zhp_lib_to_data /${CMAKE_INSTALL_LIBDIR} /${ZHP_INSTALL_DATADIR})
target_compile_definitions(zhphost PRIVATE
  ZHP_BIN_TO_DATA="${zhp_bin_to_data}" ZHP_LIB_TO_DATA="${zhp_lib_to_data}")

foreach(lib zhphost dizarozevoruzedava)
  target_include_directories(${lib} INTERFACE $<INSTALL_INTERFACE:${ZHP_INSTALL_INCLUDEDIR}>)
endforeach()

install(TARGETS zhphost dizarozevoruzedava EXPORT dizarozevoruzedavaTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT dev)
install(TARGETS zhp-terminal zhp-server zhpctl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)

# Headers keep the folders the sources include them by ("pagelayout/cpcustompage.h",
# "wk/wkfactory.h"); the host layer's folders sit beside the library's.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/src/ DESTINATION ${ZHP_INSTALL_INCLUDEDIR} COMPONENT dev
  FILES_MATCHING PATTERN "*.h"
  PATTERN "*_p.h" EXCLUDE PATTERN "host" EXCLUDE PATTERN "resources" EXCLUDE)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/src/host/ DESTINATION ${ZHP_INSTALL_INCLUDEDIR} COMPONENT dev
  FILES_MATCHING PATTERN "*.h" PATTERN "*_p.h" EXCLUDE PATTERN "web" EXCLUDE)

install(EXPORT dizarozevoruzedavaTargets NAMESPACE dizarozevoruzedava::
  DESTINATION ${ZHP_INSTALL_CMAKEDIR} COMPONENT dev)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/dizarozevoruzedavaConfig.cmake.in
  ${PROJECT_BINARY_DIR}/dizarozevoruzedavaConfig.cmake INSTALL_DESTINATION ${ZHP_INSTALL_CMAKEDIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/dizarozevoruzedavaConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/dizarozevoruzedavaConfig.cmake
  ${PROJECT_BINARY_DIR}/dizarozevoruzedavaConfigVersion.cmake
  DESTINATION ${ZHP_INSTALL_CMAKEDIR} COMPONENT dev)

# Run-time files: the same folders the build puts beside the executables.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/src/resources/skins ${PROJECT_SOURCE_DIR}/apps/terminal/config
  DESTINATION ${ZHP_INSTALL_DATADIR} COMPONENT runtime)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/apps/terminal/samples/ DESTINATION ${ZHP_INSTALL_DATADIR}/data/samples
  COMPONENT runtime)
install(FILES ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/data/map/china-compress.json DESTINATION ${ZHP_INSTALL_DATADIR}/data/map COMPONENT runtime)

# Desktop integration and the server's service unit.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/zhp-terminal.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT runtime)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/zhp-terminal.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT runtime)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/zhp-server.service
  DESTINATION lib/systemd/system COMPONENT runtime)

# `make package`: one Debian package with the libraries, the development files,
# the terminal and the server.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dizarozevoruzedava)
set(CPACK_PACKAGE_VENDOR dizarozevoruzedava)
set(CPACK_PACKAGE_CONTACT "dizarozevoruzedava maintainers <maintainers@dizarozevoruzedava.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Market-data terminal with custom pages, its widget library and its server")
set(CPACK_PACKAGE_DESCRIPTION
  "zhp-terminal shows and edits pages of index tables, charts and rich text kept on a zhp-server;\n the widget library and its headers let other host applications show the same pages.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time rather than linked, so the library scan cannot see them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt5sql5-sqlite, fonts-noto-cjk | fonts-wqy-microhei, adduser")
# zhp-server on a PostgreSQL database (--db postgresql://...) needs Qt's driver for it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt5sql5-psql")
# What a host application needs to build against the development files.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cmake, qtbase5-dev, qtdeclarative5-dev, qtwebengine5-dev")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
