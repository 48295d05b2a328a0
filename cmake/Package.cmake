# `cpack -G DEB` in the build folder: a Debian package of what the install
# rules put under /usr (the program, its launcher, wavecrate-export and
# wavecrate-annotate, the desktop entry, icons, playlist file type and
# AppStream metadata), with the libraries it links found by dpkg-shlibdeps.
# The developer programs and the tests are never installed, so never packed.
set(CPACK_PACKAGE_NAME wavecrate)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Wavecrate developers")
set(CPACK_PACKAGE_CONTACT "The Wavecrate developers <maintainers@wavecrate.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "build audio CDs from the radio stations of a game disc")
# The extended description; CPack puts the summary above it.
set(CPACK_PACKAGE_DESCRIPTION
    "Wavecrate reads the streamed radio stations of a PlayStation 2 game disc,
an ISO image of it or a local copy of its audio, and turns them into audio
CDs: browse and preview every clip of a station, build a playlist of up to
99 tracks by drag and drop, fill it with the playlist tools, and export one
wave file with a CUE sheet for burning, or one tagged file per track.
.
wavecrate-export exports saved playlists from the command line, and
wavecrate-annotate names the songs of a disc.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The view and the cover ask for Arial and Lucida Console, whose metric
# twins these are.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-dejavu-core")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The install rules write the desktop entry with the launcher's path under
# the prefix: the package's own /usr, not CPack's staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                                WORLD_READ WORLD_EXECUTE)
set(CPACK_GENERATOR DEB)
# CPack (like `cmake --install`) packs what the `installable` target built,
# which ./run.sh builds, instead of building every test first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

# Debian wants the copyright and a compressed changelog in the package's
# documentation folder, and a manual page for every program; any install
# gets them.
if(TARGET installable)
  set(package_doc ${CMAKE_BINARY_DIR}/package-doc)
  set(compressed)
  foreach(page wavecrate wavecrate-launch wavecrate-export wavecrate-annotate)
    configure_file(${CMAKE_SOURCE_DIR}/packaging/man/${page}.1 ${package_doc}/${page}.1 @ONLY)
    list(APPEND compressed ${package_doc}/${page}.1)
  endforeach()
  configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog.in ${package_doc}/changelog @ONLY)
  list(APPEND compressed ${package_doc}/changelog)
  set(outputs)
  foreach(file ${compressed})
    add_custom_command(OUTPUT ${file}.gz
                       COMMAND gzip -9 -n -f -k ${file}
                       DEPENDS ${file}
                       VERBATIM)
    list(APPEND outputs ${file}.gz)
  endforeach()
  add_custom_target(package_doc ALL DEPENDS ${outputs})
  add_dependencies(installable package_doc)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${package_doc}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/wavecrate)
  list(FILTER outputs INCLUDE REGEX "\\.1\\.gz$")
  install(FILES ${outputs} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

include(CPack)
