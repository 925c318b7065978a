# `make package`: a Debian package through CPack. Its dependencies come from the shared
# libraries the installed files link (dpkg-shlibdeps); the desktop's caches (MIME database,
# icon theme, desktop entries, man pages) are refreshed by the triggers of their own packages.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantor-see)
set(CPACK_PACKAGE_VENDOR "Vantor See")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "picture-library browser with KEV and XF support")
set(CPACK_PACKAGE_DESCRIPTION
  "Vantor See shows a picture library as a folder tree, a grid of thumbnails and the selected
file: pictures, XF albums with a sound track, text, web pages, video and audio. The package
also brings the DIB toolkit library (libvantordib), a thumbnailer for file managers and a Qt
image plugin that lets every Qt program read KEV pictures and XF albums.")
set(CPACK_PACKAGE_CONTACT "Vantor See developers <vantorsee@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils, hicolor-icon-theme")
# libvantordib sits in a folder of the dynamic linker, so CPack's postinst and postrm run ldconfig.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_INSTALL_DIRECTORY /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
