# Installation beyond the binaries, and the Debian package.
#
#   cmake --build build && (cd build && cpack -G DEB)   (scripts/build.sh builds)
#
# gives build/vexadicom_<version>-1_<arch>.deb: the program, Brixel and its
# Designer plugin, the French guide, the starter report templates and
# letterhead, a menu entry with its icon, AppStream data and the manual page.
# The package is checked by tests/packaging (lintian, desktop-file-validate,
# appstreamcli, and the unpacked program answering --version).
include(GNUInstallDirs)

set(VEXA_APP_ID fr.vexadicom.VexaDICOM)
set(VEXA_PACKAGE_MAINTAINER "VexaDICOM maintainers <maintainers@users.noreply.c-seed-276c03c6.example>")
set(VEXA_DEB_VERSION ${PROJECT_VERSION}-1)
set(package_src ${VEXA_RESOURCES_DIR}/package)
set(package_out ${CMAKE_BINARY_DIR}/package)

# Menu entry, icon at the usual sizes, AppStream data.
install(FILES ${package_src}/${VEXA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${package_src}/${VEXA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${package_src}/icons/${size}x${size}/vexadicom.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${package_src}/vexadicom.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The starter report templates and letterhead. The program carries its own
# copies and puts them in the user's data folder on first use; these are for
# the practice to hand out or restore.
install(DIRECTORY ${VEXA_RESOURCES_DIR}/reports/CR DESTINATION ${CMAKE_INSTALL_DATADIR}/vexadicom/reports)
install(FILES ${VEXA_RESOURCES_DIR}/reports/entete.rtf DESTINATION ${CMAKE_INSTALL_DATADIR}/vexadicom/reports)

# Manual page and Debian changelog, compressed as Debian wants them; the
# copyright file beside the guide.
set(VERSION ${VEXA_DEB_VERSION})
set(MAINTAINER ${VEXA_PACKAGE_MAINTAINER})
configure_file(${package_src}/changelog.Debian.in ${package_out}/changelog.Debian @ONLY)
set(VERSION ${PROJECT_VERSION})
configure_file(${package_src}/vexadicom.1 ${package_out}/vexadicom.1 @ONLY)
unset(VERSION)
unset(MAINTAINER)
foreach(name vexadicom.1 changelog.Debian)
  add_custom_command(OUTPUT ${package_out}/${name}.gz
    COMMAND gzip -9 -n -c ${package_out}/${name} > ${package_out}/${name}.gz
    DEPENDS ${package_out}/${name} VERBATIM)
  list(APPEND compressed ${package_out}/${name}.gz)
endforeach()
add_custom_target(vexa_package_files ALL DEPENDS ${compressed})
install(FILES ${package_out}/vexadicom.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${package_out}/changelog.Debian.gz ${package_src}/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vexadicom)

# The Designer plugin lives in Qt's plugin folder, far from Brixel: it finds
# the library relative to itself, wherever the tree is installed or unpacked.
if(TARGET brixel_designer)
  file(RELATIVE_PATH brixel_from_plugin "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS}/designer"
       "${CMAKE_INSTALL_FULL_LIBDIR}")
  set_target_properties(brixel_designer PROPERTIES INSTALL_RPATH "$ORIGIN/${brixel_from_plugin}")
endif()

# Installing and packaging take the tree as it is built: CPack then builds
# nothing itself (it would otherwise build every test first), and a
# package made after `cmake --build` holds exactly what was built.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_PACKAGE_NAME vexadicom)
set(CPACK_PACKAGE_VENDOR "VexaDICOM")
set(CPACK_PACKAGE_CONTACT "${VEXA_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "diagnostic console beside a Conquest mini-PACS")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "VexaDICOM is the diagnostic console of a small radiology practice. It works
directly in the SQL database of a Conquest mini-PACS (SQLite or PostgreSQL):
it notices newly received exams, shows images with contrast, zoom and
measurements, prints sheets and labels, burns patient CDs, edits RTF reports
and sends awaited patients to a Fuji NetPix worklist. Its interface is French.
.
The package also holds Brixel, the push button library the program's windows
use, and its Qt Designer plugin.")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Libraries found by dpkg-shlibdeps; Qt's plugins (database drivers, the
# display platform) and the fonts are loaded at run time, so named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libqt6sql6-sqlite, libqt6sql6-psql, qt6-qpa-plugins, fonts-liberation, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, cups-client")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "dcmtk, designer-qt6")
# Brixel is a public shared library: its shlibs file, and ldconfig run by
# dpkg's trigger after installation and removal.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
file(WRITE ${package_out}/triggers "activate-noawait ldconfig\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${package_out}/triggers)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# Installed under /usr whatever prefix the tree was configured with; the
# Designer plugin's destination is Qt's absolute plugin folder, which only
# an installation through DESTDIR puts in the package.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_GENERATOR DEB)
include(CPack)
