# What an install holds beyond the library and the tool (their own folders
# install those): the CMake package, the pkg-config file, the documents and,
# on Linux, the machine descriptions; on Windows also the ZIP of it all.
include(CMakePackageConfigHelpers)

set(TINTWELL_CMAKE_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Tintwell)
install(EXPORT TintwellTargets NAMESPACE Tintwell:: DESTINATION ${TINTWELL_CMAKE_PACKAGE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/TintwellConfig.cmake.in
    ${PROJECT_BINARY_DIR}/TintwellConfig.cmake INSTALL_DESTINATION ${TINTWELL_CMAKE_PACKAGE_DIR})
# Same major version, same exports: the rule the shared object's name follows.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/TintwellConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/TintwellConfig.cmake
    ${PROJECT_BINARY_DIR}/TintwellConfigVersion.cmake DESTINATION ${TINTWELL_CMAKE_PACKAGE_DIR})

# The pkg-config file finds the prefix from its own folder, so an unpacked ZIP
# or a prefix moved after the install still works.
set(pkgconfig_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH TINTWELL_PC_TO_PREFIX ${CMAKE_INSTALL_PREFIX}/${pkgconfig_dir}
     ${CMAKE_INSTALL_PREFIX})
configure_file(${CMAKE_CURRENT_LIST_DIR}/tintwell.pc.in ${PROJECT_BINARY_DIR}/tintwell.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/tintwell.pc DESTINATION ${pkgconfig_dir})

# The README's links into docs/ keep working: the documents keep their layout.
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs
    FILES_MATCHING PATTERN "*.md")
if(NOT WIN32)
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/machines/
        DESTINATION ${CMAKE_INSTALL_DATADIR}/Tintwell/machines FILES_MATCHING PATTERN "*.json")
endif()

# The Windows ZIP: Tintwell-<version>-win64.zip, the install tree in one folder.
if(WIN32)
    set(CPACK_PACKAGE_NAME Tintwell)
    set(CPACK_GENERATOR ZIP)
    # CPack names every Windows build without MSVC's 64-bit flag "win32".
    set(CPACK_SYSTEM_NAME win64)
    # The build keeps line tables for the tests' reports; users get the binaries without.
    set(CPACK_STRIP_FILES ON)
    include(CPack)
endif()
