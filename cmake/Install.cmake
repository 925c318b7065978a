# What `cmake --install` puts where (GNUInstallDirs, so DESTDIR and CMAKE_INSTALL_PREFIX apply):
# the programs, the DIB toolkit library with its header and pkg-config file, the Qt image
# plugin, and the desktop's files (entry, icons, MIME package, thumbnailer, metainfo, man pages).
include(GNUInstallDirs)

# Qt looks for image plugins under its own plugin folder; relative paths are taken from the
# install prefix, which for a packaged build is Qt's own (/usr).
set(VS_QT_PLUGIN_DIR "${QT6_INSTALL_PLUGINS}" CACHE STRING "Qt plugin folder the image plugin goes under")

# Programs find libvantordib beside their own prefix when it is not a system folder.
if(NOT "${CMAKE_INSTALL_FULL_LIBDIR}" IN_LIST CMAKE_C_IMPLICIT_LINK_DIRECTORIES)
  set_target_properties(vantorsee vantorsee-tool PROPERTIES
    INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
endif()

install(TARGETS vantorsee vantorsee-tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS vantordib LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${PROJECT_SOURCE_DIR}/include/vantor/dibkit.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vantor)

# Relative to the file itself, so a package built for another prefix than the build's is right.
file(RELATIVE_PATH VS_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
string(REGEX REPLACE "/$" "" VS_PC_TO_PREFIX "${VS_PC_TO_PREFIX}")
configure_file(${PROJECT_SOURCE_DIR}/data/vantordib.pc.in ${CMAKE_BINARY_DIR}/vantordib.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/vantordib.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(TARGETS vantorsee_imageformat LIBRARY DESTINATION ${VS_QT_PLUGIN_DIR}/imageformats)

set(vs_data ${PROJECT_SOURCE_DIR}/data)
install(FILES ${vs_data}/org.vantorsee.VantorSee.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${vs_data}/org.vantorsee.VantorSee.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${vs_data}/vantorsee-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME vantorsee.xml)
install(FILES ${vs_data}/vantorsee.thumbnailer DESTINATION ${CMAKE_INSTALL_DATADIR}/thumbnailers)
install(FILES ${vs_data}/icons/vantorsee.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(DIRECTORY ${CMAKE_BINARY_DIR}/share/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(DIRECTORY ${CMAKE_BINARY_DIR}/share/man/ DESTINATION ${CMAKE_INSTALL_MANDIR})
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vantor-see)
