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
# The fonts are no library; without a CJK font the Chinese texts show as boxes, and the code
# editor's face keeps Chinese on two Latin columns.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk")
include(CPack)
