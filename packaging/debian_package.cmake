# SPDX-FileCopyrightText: 2026 The scanforms developers
# SPDX-License-Identifier: MIT

# The Debian package scanforms_<version>_<arch>.deb: everything the install
# rules put under /usr. Its run-time libraries are found by dpkg-shlibdeps
# (from dpkg-dev); the fonts the window asks for by name are added here, as no
# library links them.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME scanforms)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "scanforms")
# The project has no mail address yet: example.org is reserved for placeholders.
set(CPACK_PACKAGE_CONTACT "scanforms maintainers <maintainers@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "scanning station for an optical mark reader")
# One paragraph a list item, each wrapped as a Debian description is.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "An operator picks the serial port of an optical mark reader, initializes"
    "it, starts scanning and feeds answer sheets. Every sheet's response is"
    "decoded into 200 answers; a sheet with a multiple-marked answer is"
    "rejected with a warning so it can be re-scanned, and every clean sheet"
    "becomes one line of Scan.TXT in the station folder."
    "."
    "The package also holds scanner-sim, a scripted scanner on a"
    "pseudo-terminal for training and testing, and a demonstration batch.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${SCANFORMS_PACKAGE_PREFIX})
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's controls name Arial and Calibri: Liberation Sans and Carlito
# stand in for them with the same metrics.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-crosextra-carlito")
# scanforms-station finds the documents folder with xdg-user-dir, and tells of
# a station folder it cannot make with notify-send.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-user-dirs")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libnotify-bin")

include(CPack)
