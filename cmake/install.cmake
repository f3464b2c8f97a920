# Installs like a desktop program: the binary, what the game ships in a read-only data folder,
# the desktop entry, the icon theme's icons and the metainfo; and packs the same as a Debian package.
include(GNUInstallDirs)

install(TARGETS quorvel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES
        "${QUORVEL_GAME_DIR}/standard highcolor.lvr"
        "${QUORVEL_GAME_DIR}/standard lowcolor.lvr"
        "${QUORVEL_GAME_DIR}/Contrast.lvr"
        "${QUORVEL_GAME_DIR}/Marbles.lvr"
        "${QUORVEL_GAME_DIR}/languages.dll"
        "${QUORVEL_GAME_DIR}/Help.hlp"
        "${QUORVEL_GAME_DIR}/LV!.ico"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/quorvel)
install(DIRECTORY ${QUORVEL_GAME_DIR}/images DESTINATION ${CMAKE_INSTALL_DATADIR}/quorvel)

configure_file(assets/desktop/quorvel.desktop.in ${CMAKE_BINARY_DIR}/generated/${QUORVEL_APP_ID}.desktop @ONLY)
configure_file(assets/desktop/quorvel.metainfo.xml.in ${CMAKE_BINARY_DIR}/generated/${QUORVEL_APP_ID}.metainfo.xml
               @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/generated/${QUORVEL_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/generated/${QUORVEL_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${QUORVEL_ICON_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvel)
set(CPACK_PACKAGE_VENDOR Corvatek)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "board game: line up five stones of a colour")
set(CPACK_PACKAGE_DESCRIPTION "Stones of seven colours lie on a board of nine by nine fields; send a stone along \
the shortest free path, and five or more of a colour in a line vanish and score.")
set(CPACK_PACKAGE_CONTACT "Quorvel maintainers <maintainers@quorvel.example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
include(CPack)
