# Packages: a Debian package on Linux (cpack -G DEB, or plain cpack), a zip with qmz.exe, the
# README and the licence on Windows. The install rules themselves live with what they install (desktop/ on Linux).
set(CPACK_PACKAGE_NAME "qmz")
set(CPACK_PACKAGE_VERSION "${QMZ_VERSION_TEXT}")
set(CPACK_PACKAGE_VENDOR "${QMZ_DEVELOPERS}")
set(CPACK_PACKAGE_CONTACT "${QMZ_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_RESOURCE_FILE_README "${PROJECT_SOURCE_DIR}/README.md")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")

if(WIN32)
    set(CPACK_GENERATOR "ZIP")
    set(CPACK_STRIP_FILES ON)
    set(CPACK_PACKAGE_FILE_NAME "qmz-${QMZ_VERSION_TEXT}-windows-x64")
    # Unzips into one folder that holds the program, its README and its licence side by side; the
    # licence as a .txt, which Windows opens with a double click.
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
    install(TARGETS qmz RUNTIME DESTINATION .)
    install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
    install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
else()
    set(CPACK_GENERATOR "DEB")
    set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
    # One package of what a plain install puts in place (the component Unspecified), with the
    # licence and the release notes in Debian's forms (debian) in place of theirs (documentation).
    set(CPACK_DEB_COMPONENT_INSTALL ON)
    set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
    set(CPACK_COMPONENTS_ALL Unspecified debian)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION "net")
    set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
    # Dependencies come from the binaries themselves (dpkg-shlibdeps): Qt 6, the C++ run-time, libc.
    # Besides: Download and the banner hand links to xdg-open, and Qt draws a native Wayland window
    # only with its Wayland plugin (without, it falls back to XWayland where there is one).
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "xdg-utils")
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
    # The debug symbols go into a package of their own, qmz-dbgsym, found by the programs' build ids;
    # CPack strips the programs as it takes them out.
    set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
    set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/DebugSymbolsPackage.cmake)
    # Under the summary line that CPack takes from CPACK_PACKAGE_DESCRIPTION_SUMMARY.
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "QMZ derives the direct address of a video file on the video site's media\n\
host from the address of the video's page. The qmz window takes a pasted page\n\
link; qmz-link does the same for scripts and batches, from arguments or\n\
standard input.")
    set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${QMZ_PROJECT_URL}")
endif()

include(CPack)
