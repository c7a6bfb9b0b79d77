# The Debian package: `make package` runs CPack's DEB generator on what `cmake --install` puts in place.
# dpkg-shlibdeps finds the libraries the programs link; the rest of what they need at run time is named here.

set(MOZENTA_PACKAGE_MAINTAINER "Mozenta maintainers <maintainers@mozenta.example>"
    CACHE STRING "Maintainer line of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mozenta)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Mozenta developers")
set(CPACK_PACKAGE_CONTACT ${MOZENTA_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "plan mosaic pictures made of coloured sheets")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Folders 0755 whatever the umask of the person who builds.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Mozenta plans large mosaic pictures made of coloured sheets: card stunts in a
stadium stand, panel murals, tile mosaics. It reduces every pixel of a BMP or
JPEG picture to one of eight editable colours by error diffusion, shows the
mosaic, and saves it with a block-by-block chart of colour labels (Shift_JIS
text), the sheet counts of every block (CSV) and the mosaic bitmap.

The windows are in Japanese. mozenta-batch does the same job from the command
line, for scripts and machines without a display.")

# dpkg-shlibdeps sees the Qt, libjpeg and C++ runtime libraries. It cannot see what Qt loads at run time:
# the platform plugins (xcb, wayland through qt6-wayland, offscreen), the font the Japanese captions are
# mapped onto, and the translations of Qt's own dialogs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-ipafont-gothic")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "qt6-wayland")

include(CPack)
