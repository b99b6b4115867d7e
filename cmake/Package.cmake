# The Debian package, built by `make deb` (cpack -G DEB) from a release build.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvale-organizer)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Tavrin)
set(CPACK_PACKAGE_CONTACT ${ORGANIZER_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "personal organizer for tasks, contacts, dates and notes")
set(CPACK_PACKAGE_DESCRIPTION
    "Orvale Organizer keeps one person's tasks, contacts, dates and events, and\n"
    "notes, each sorted into categories of their own, in one SQLite file. It\n"
    "reminds of tasks and events when they fall due, can wait in the\n"
    "notification area and start hidden at log-in, draws its windows in the\n"
    "user's own colours, and makes a checked backup of the records every day.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${ORGANIZER_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${ORGANIZER_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its window-system plugins at run time, so dpkg-shlibdeps cannot see
# them; the fonts have the metrics the dialogs are laid out for.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2, fonts-crosextra-carlito, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "sqlite3")
include(CPack)
