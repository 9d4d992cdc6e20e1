# Installing the game like a Linux desktop game (`cmake --install`), and its Debian
# package (`cpack -G DEB`): programs in bin/, the data tree the game reads in
# share/velmaris/ (found from the programs' own location), the desktop entry, icons,
# AppStream metainfo, man pages and the package's copyright and changelog.
include(GNUInstallDirs)

set(VELMARIS_APP_ID net.velmaris.Velmaris)
set(VELMARIS_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

install(TARGETS velmaris velmaris-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Only what the game reads: files written at run time (screenshots, replays, self-test
# reports) and the assets' documentation stay out.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/Audio ${PROJECT_SOURCE_DIR}/data/Levels
                  ${PROJECT_SOURCE_DIR}/data/LuaScripts ${PROJECT_SOURCE_DIR}/data/Menu
                  ${PROJECT_SOURCE_DIR}/data/Prefabs ${PROJECT_SOURCE_DIR}/data/images
        DESTINATION ${CMAKE_INSTALL_DATADIR}/velmaris)
install(FILES ${PROJECT_SOURCE_DIR}/data/Flex.png ${PROJECT_SOURCE_DIR}/data/serializerTest1.txt
        DESTINATION ${CMAKE_INSTALL_DATADIR}/velmaris)

install(FILES ${VELMARIS_PACKAGING_DIR}/${VELMARIS_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VELMARIS_PACKAGING_DIR}/${VELMARIS_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${VELMARIS_PACKAGING_DIR}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# Man pages and the changelog are installed compressed, as Debian keeps them; gzip -n
# leaves the time stamp out, so the files are the same on every build.
set(VELMARIS_COMPRESSED)
foreach(source man/velmaris.6 man/velmaris-sim.6 debian/changelog)
  get_filename_component(name ${source} NAME)
  set(output ${PROJECT_BINARY_DIR}/packaging/${name}.gz)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging
    COMMAND gzip -9nc ${VELMARIS_PACKAGING_DIR}/${source} > ${output}
    DEPENDS ${VELMARIS_PACKAGING_DIR}/${source} VERBATIM)
  list(APPEND VELMARIS_COMPRESSED ${output})
endforeach()
add_custom_target(velmaris_packaging_files ALL DEPENDS ${VELMARIS_COMPRESSED})
install(FILES ${PROJECT_BINARY_DIR}/packaging/velmaris.6.gz ${PROJECT_BINARY_DIR}/packaging/velmaris-sim.6.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${VELMARIS_PACKAGING_DIR}/debian/copyright ${PROJECT_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velmaris)
# For level makers: the walkthrough, the reference and the schema editors check with.
install(FILES ${PROJECT_SOURCE_DIR}/docs/first-level.md ${PROJECT_SOURCE_DIR}/docs/reference.md
              ${PROJECT_SOURCE_DIR}/docs/level.schema.json
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velmaris)
install(FILES ${VELMARIS_PACKAGING_DIR}/debian/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME velmaris)

# The Debian package. Its runtime dependencies come from dpkg-shlibdeps over the
# installed programs, never typed here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmaris)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "The Velmaris developers <dev@velmaris.net>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small 2D action game: fly, collect the stars, beat the timer")
set(CPACK_PACKAGE_DESCRIPTION "Steer a flying character with the mouse through three levels, collect\n\
the stars, dodge the hazards that knock it back and reach the exit before\n\
the level timer runs out. Includes velmaris-sim, a headless runner that\n\
replays recordings and checks level files.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://velmaris.net/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
include(CPack)
