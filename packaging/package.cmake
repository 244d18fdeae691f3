# A Debian package of the installed tree: `cpack -G DEB` in the build folder.
set(CPACK_PACKAGE_NAME feylume)
set(CPACK_PACKAGE_VENDOR "Qingying Studio")
set(CPACK_PACKAGE_CONTACT "Qingying Studio <feylume@qingying-studio.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Library of web-page effect snippets")
set(CPACK_PACKAGE_DESCRIPTION "Keeps a personal library of web-page effect snippets (HTML, JavaScript
and VBScript) in a category tree, with data-bound editors, a search pane and a live preview.")
set(CPACK_PACKAGE_HOMEPAGE_URL "http://www.qingying-studio.example")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# Debugging symbols stay in the build folder.
set(CPACK_STRIP_FILES ON)
# The libraries it links decide the package's dependencies, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# No maintainer scripts: with none, `dpkg -r` removes the package wholly and leaves nothing to
# purge. CPack would write a postinst and a postrm that run ldconfig, because the engine module
# lies below lib/; but the program loads it by its path and ldconfig never looks in lib/feylume.
# Naming scripts of those names here is how CPack is told not to write its own; no such file
# exists, so none is added (CPack warns that they are missing).
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    "${CMAKE_CURRENT_BINARY_DIR}/no-maintainer-scripts/postinst;${CMAKE_CURRENT_BINARY_DIR}/no-maintainer-scripts/postrm")
# The fonts are no library; without a CJK font the Chinese texts show as boxes, and the code
# editor's face keeps Chinese on two Latin columns. The engine module uses Qt's platform
# interface, which holds only for the Qt it was built with.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk, qt6-base-abi (= ${Qt6Core_VERSION})")
# The one component of the installed tree, not the whole build: its install lists the staged
# paths in a list of their own and leaves the user's install_manifest.txt alone.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};${FEYLUME_COMPONENT};/")
include(CPack)
