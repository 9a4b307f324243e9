# `make package`: a Debian package of what `cmake --install` puts in place.
# Depends are computed from the shared libraries the program links
# (dpkg-shlibdeps), plus the data packages it reads at run time.
# Installing needs only the installed targets, not every tool and benchmark.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "quorix")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "Quorix developers <quorix-dev@lists.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "corrects typos in chat messages as they are sent")
set(CPACK_PACKAGE_DESCRIPTION "Quorix sits in the system tray and corrects typing mistakes at\n\
the moment a message is sent: it holds back Return, reads the focused field,\n\
fixes the text and sends it.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "hunspell-it, hunspell-en-us, hunspell-en-gb, hunspell-de-de, hunspell-es, hunspell-fr, at-spi2-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-color-emoji")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
include(CPack)

# Debian documentation every package carries: copyright and a compressed
# changelog (gzip -9n, reproducible).
include(GNUInstallDirs)
set(QUORIX_DEB_DOC "${CMAKE_SOURCE_DIR}/resources/debian")
execute_process(COMMAND gzip -9nc "${QUORIX_DEB_DOC}/changelog"
                OUTPUT_FILE "${CMAKE_BINARY_DIR}/changelog.gz")
install(FILES "${QUORIX_DEB_DOC}/copyright" "${CMAKE_BINARY_DIR}/changelog.gz"
        DESTINATION "${CMAKE_INSTALL_DOCDIR}")
execute_process(COMMAND gzip -9nc "${QUORIX_DEB_DOC}/quorix.1"
                OUTPUT_FILE "${CMAKE_BINARY_DIR}/quorix.1.gz")
install(FILES "${CMAKE_BINARY_DIR}/quorix.1.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
