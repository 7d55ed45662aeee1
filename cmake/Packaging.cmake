# `make package`: a Debian package of what `cmake --install` puts in place,
# both programs, the manual page, the launcher, the icons and the AppStream
# metainfo, installed under /usr. Its dependencies on shared libraries are
# read from the programs by dpkg-shlibdeps (Qt's X11 platform comes with its
# GUI library); the picture readers, fonts and Wayland support the program
# uses beyond them are recommended.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME glimmora)
set(CPACK_PACKAGE_VENDOR "The Glimmora developers")
set(CPACK_PACKAGE_CONTACT "The Glimmora developers <glimmora@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turns a picture into ASCII art")
set(CPACK_PACKAGE_DESCRIPTION
    "A six-page wizard and the command-line converter glimmora-convert turn a\n\
picture into ASCII art: clean text, RTF, HTML text or HTML in coloured\n\
letters, to view, print, copy or save.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "qt6-image-formats-plugins, libqt6svg6, qt6-wayland, fonts-liberation, fonts-wine")
include(CPack)
