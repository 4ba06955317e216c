# The Debian package (`make package`): the console, the virtual detector, the
# launcher that starts the console in its config folder, the desktop entry,
# the icon and the copyright file. Package dependencies come from the shared libraries the programs
# link, plus the Qt platform plugins, which Qt loads at run time and so no
# linker-level look-up finds.
include(GNUInstallDirs)

install(TARGETS quillane quillane-detector RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(PROGRAMS packaging/quillane-launch DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES packaging/quillane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The licence of what the package holds, where Debian keeps it for each package.
install(FILES packaging/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillane)
set(quillane_icons ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES packaging/icons/quillane.svg DESTINATION ${quillane_icons}/scalable/apps)
foreach(size 16 24 32 48 64 128 256)
  install(FILES packaging/icons/quillane-${size}.png
          DESTINATION ${quillane_icons}/${size}x${size}/apps RENAME quillane.png)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillane)
set(CPACK_PACKAGE_VENDOR "Quillane")
set(CPACK_PACKAGE_CONTACT "Quillane developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Detector setup console")
# CPack puts the summary first and indents each line of the rest.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "The setup console for the perimeter intrusion detector: it talks to the
detector over its serial line (57600 8N1), shows its identity and live
status, helps aim it, sets its thresholds and counts alarms during a walk
test. The package also holds quillane-detector, a virtual detector on a
pseudo-terminal, for trying the console without hardware.")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
include(CPack)
