# Install rules and the Debian package of the Linux workbench. The Windows
# module is built by the win32 preset; a native build packages it when
# RT_WINDOWS_MODULE names the built file (scripts/package.sh does this).
include(GNUInstallDirs)

set(RT_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/render-triangle)
set(RT_WINDOWS_MODULE "" CACHE FILEPATH "The built 32-bit Windows module to install beside the examples")

install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${RT_SHARE_DIR}/examples)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${RT_SHARE_DIR}/docs)
# README's links to docs/ and LICENSE hold in the installed tree too.
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${RT_SHARE_DIR})
# Debian's place for a package's licence, named after the package.
set(RT_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/render-triangle)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${RT_DOC_DIR} RENAME copyright)
install(FILES ${PROJECT_SOURCE_DIR}/docs/licences.md DESTINATION ${RT_DOC_DIR})
if(RT_WINDOWS_MODULE)
  install(FILES ${RT_WINDOWS_MODULE} DESTINATION ${RT_SHARE_DIR}/windows)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME render-triangle)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Render / Triangle")
set(CPACK_PACKAGE_CONTACT "Render / Triangle maintainers <render-triangle@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Workbench for the Render / Triangle visualizer effect: preset previewer and live window")
set(CPACK_PACKAGE_DESCRIPTION
    "triangle-render renders Render / Triangle presets to pictures with a stand-in host, for preset authors; triangle-live plays them in a window and follows edits of the preset files. The package also carries the example presets, the manuals and the 32-bit Windows effect module.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY render-triangle)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# The shared libraries the programs link become the package's dependencies.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
