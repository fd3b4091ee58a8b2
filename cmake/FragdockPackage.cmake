# The Debian package: what "cpack -G DEB" in the build folder makes of the install
# layout, installed under /usr. Its dependencies come from the programs' own
# library needs (dpkg-shlibdeps), so they follow what the build links.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME fragdock)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Fragdock developers")
set(CPACK_PACKAGE_CONTACT "The Fragdock developers <fragdock@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "organise and launch add-ons for Quake and Quake 2")
set(CPACK_PACKAGE_DESCRIPTION
  "Fragdock organises and launches add-ons for Quake and Quake 2: MODs, maps,
Quake skins and Quake 2 player-model packs kept as ZIP archives. It installs the
chosen add-ons into the game folder when the game starts, never overwriting a
game file, builds the command line and starts the game; its clean-up tool puts
the game folder back once the game has ended. The bundled model viewer shows
Quake 2 player models through a software renderer, without 3D hardware.")
set(CPACK_PACKAGE_HOMEPAGE_URL https://github.com/fragdock/fragdock)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

# Only the application's install rules, whatever else the build folder knows.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};${CMAKE_INSTALL_DEFAULT_COMPONENT_NAME};/")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libglide.so ships in the program folder, not in a library package: dpkg-shlibdeps
# finds it through meshpeek's run path ($ORIGIN/.., resolved inside the package),
# asks no package for it, and reads the renderer's own needs (SDL2) from it.
