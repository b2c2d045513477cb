# What `cmake --install` puts under the prefix: the public header, the
# versioned shared library, the command-line tool, a CMake package giving the
# imported target quorvix::quorvix, a pkg-config file, the man page and the
# Python module.
include(CMakePackageConfigHelpers)

set(QUORVIX_CMAKE_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/quorvix)
set(QUORVIX_PYTHON_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/python3/dist-packages
    CACHE STRING "Where the Python module is installed, relative to the prefix")

install(TARGETS quorvix EXPORT quorvixTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(TARGETS quorvix_cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(EXPORT quorvixTargets NAMESPACE quorvix:: DESTINATION ${QUORVIX_CMAKE_INSTALL_DIR})

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/quorvixConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/quorvixConfig.cmake
                              INSTALL_DESTINATION ${QUORVIX_CMAKE_INSTALL_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/quorvixConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/quorvixConfig.cmake ${PROJECT_BINARY_DIR}/quorvixConfigVersion.cmake
        DESTINATION ${QUORVIX_CMAKE_INSTALL_DIR})

# The pkg-config file finds the prefix from its own location, so that the
# tree works wherever it is installed (cmake --install --prefix DIR).
file(RELATIVE_PATH QUORVIX_PC_PREFIX_FROM_PCFILEDIR ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" QUORVIX_PC_PREFIX_FROM_PCFILEDIR "${QUORVIX_PC_PREFIX_FROM_PCFILEDIR}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/quorvix.pc.in ${PROJECT_BINARY_DIR}/quorvix.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/quorvix.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(FILES ${PROJECT_SOURCE_DIR}/man/quorvix.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(DIRECTORY ${PROJECT_SOURCE_DIR}/python/quorvix DESTINATION ${QUORVIX_PYTHON_INSTALL_DIR}
        PATTERN __pycache__ EXCLUDE)
