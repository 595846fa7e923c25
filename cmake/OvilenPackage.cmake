# The Debian packages, built with `cpack -G DEB` in a build folder:
#   ovilen    the program, its desktop files and the camera's access rules
#   afbridge  libafbridge.so, its header and pkg-config file, afbridge-tool
# Library dependencies are computed by dpkg-shlibdeps; the GStreamer elements
# the pipeline creates by name are listed by hand.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ovilen)
set(CPACK_PACKAGE_VENDOR "The Ovilen developers")
set(CPACK_PACKAGE_CONTACT "The Ovilen developers <developers@ovilen.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL ${OVILEN_HOMEPAGE})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Installed with DESTDIR, so what is written at install time (afbridge.pc)
# names /usr and not the staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ovilen afbridge)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

# Each package's description: its first line is the summary.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "")
set(CPACK_COMPONENT_OVILEN_DESCRIPTION
  "viewer for classroom document cameras
Shows the live picture of a document camera for a projector: zoom, pan,
rotation and mirroring, stills, video recordings with sound, and drawing
over a captured page. Gives the logged-in user access to the camera's focus
control and snapshot button.")
set(CPACK_DEBIAN_OVILEN_PACKAGE_NAME ovilen)
set(CPACK_DEBIAN_OVILEN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_OVILEN_PACKAGE_DEPENDS "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
set(CPACK_DEBIAN_OVILEN_PACKAGE_RECOMMENDS "qt6-wayland, hicolor-icon-theme")
set(CPACK_DEBIAN_OVILEN_PACKAGE_CONTROL_EXTRA
  ${PROJECT_SOURCE_DIR}/packaging/deb/ovilen/postinst
  ${PROJECT_SOURCE_DIR}/packaging/deb/ovilen/postrm)
set(CPACK_DEBIAN_OVILEN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_COMPONENT_AFBRIDGE_DESCRIPTION
  "focus control of document cameras over HID
libafbridge.so sets the focus mode of a document camera through its HID
interface. With its C header, pkg-config file and afbridge-tool.")
set(CPACK_DEBIAN_AFBRIDGE_PACKAGE_NAME afbridge)
set(CPACK_DEBIAN_AFBRIDGE_PACKAGE_SECTION libs)
# The loader's cache is rebuilt through dpkg's trigger (CPack adds the older
# direct ldconfig calls as well). A component without control files of its own
# would be given those of the package built before it.
set(CPACK_DEBIAN_AFBRIDGE_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/deb/afbridge/triggers)
set(CPACK_DEBIAN_AFBRIDGE_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
