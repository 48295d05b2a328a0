# Desktop integration: `cmake --install` puts the program, its launcher, a
# menu entry, the playlist file type, icons in the hicolor theme and the
# AppStream metadata under CMAKE_INSTALL_PREFIX. The PNG icons are drawn from the one SVG at build
# time. The entry and the metadata are validated as tests.
include(GNUInstallDirs)

set(WAVECRATE_APP_ID org.wavecrate.Wavecrate)
set(packaging ${CMAKE_SOURCE_DIR}/packaging)

find_program(RSVG_CONVERT rsvg-convert)
if(RSVG_CONVERT)
  set(icon_outputs)
  foreach(size 16 22 24 32 48 64 128 256)
    set(png ${CMAKE_BINARY_DIR}/icons/hicolor/${size}x${size}/apps/${WAVECRATE_APP_ID}.png)
    add_custom_command(
      OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/hicolor/${size}x${size}/apps
      COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${packaging}/${WAVECRATE_APP_ID}.svg
      DEPENDS ${packaging}/${WAVECRATE_APP_ID}.svg
      VERBATIM)
    list(APPEND icon_outputs ${png})
  endforeach()
  add_custom_target(icons ALL DEPENDS ${icon_outputs})
  # The window's icon: the same pictures, compiled into the application as
  # :/icons/hicolor/<size>/apps/<id>.png.
  if(TARGET wavecrate_app)
    qt_add_resources(wavecrate_app app_icons PREFIX / BASE ${CMAKE_BINARY_DIR} FILES ${icon_outputs})
  endif()
else()
  message(WARNING "rsvg-convert not found (Debian package librsvg2-bin): only the scalable icon is installed")
endif()

if(TARGET wavecrate)
  # The command-line programs the guide shows, run by name once installed.
  set(installed_tools wavecrate-export wavecrate-annotate)
  install(TARGETS ${installed_tools} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(PROGRAMS ${packaging}/wavecrate-launch DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The menu entry names the launcher by its full path: ~/.local/bin is on
  # PATH only from the next login after it first exists. The prefix is known
  # only at install time (--prefix), so the entry is written then. A path
  # that would need quoting keeps the plain name.
  install(CODE "set(entry_source \"${packaging}/${WAVECRATE_APP_ID}.desktop\")
    set(entry_dir \"${CMAKE_INSTALL_DATADIR}/applications\")
    set(launcher_dir \"${CMAKE_INSTALL_BINDIR}\")")
  install(CODE [[
    if(NOT IS_ABSOLUTE "${entry_dir}")
      set(entry_dir "${CMAKE_INSTALL_PREFIX}/${entry_dir}")
    endif()
    if(NOT IS_ABSOLUTE "${launcher_dir}")
      set(launcher_dir "${CMAKE_INSTALL_PREFIX}/${launcher_dir}")
    endif()
    file(READ "${entry_source}" entry)
    if(launcher_dir MATCHES "^[A-Za-z0-9/._+-]+$")
      string(REPLACE "
Exec=wavecrate-launch" "
Exec=${launcher_dir}/wavecrate-launch" entry "${entry}")
    endif()
    get_filename_component(entry_name "${entry_source}" NAME)
    message(STATUS "Installing: $ENV{DESTDIR}${entry_dir}/${entry_name}")
    file(WRITE "$ENV{DESTDIR}${entry_dir}/${entry_name}" "${entry}")
  ]])
  install(FILES ${packaging}/${WAVECRATE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  # Packagers run update-mime-database on the system's directory afterwards.
  install(FILES ${packaging}/${WAVECRATE_APP_ID}.mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
          RENAME ${WAVECRATE_APP_ID}.xml)
  install(FILES ${packaging}/${WAVECRATE_APP_ID}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  if(RSVG_CONVERT)
    install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
  endif()
  # Everything the install rules above copy out of the build tree: the run
  # script builds it, so `cmake --install` works after `./run.sh` alone.
  add_custom_target(installable)
  add_dependencies(installable wavecrate ${installed_tools})
  if(TARGET icons)
    add_dependencies(installable icons)
  endif()
endif()

find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
find_program(APPSTREAMCLI appstreamcli)
find_program(UPDATE_MIME_DATABASE update-mime-database)
find_program(XMLLINT xmllint)
if(DESKTOP_FILE_VALIDATE)
  add_test(NAME desktop_entry COMMAND ${DESKTOP_FILE_VALIDATE} ${packaging}/${WAVECRATE_APP_ID}.desktop)
  # The validator prints its complaints but exits 0 for hints; any output fails.
  set_tests_properties(desktop_entry PROPERTIES FAIL_REGULAR_EXPRESSION ".")
endif()
if(APPSTREAMCLI)
  add_test(NAME appstream_metainfo
           COMMAND ${APPSTREAMCLI} validate --no-net ${packaging}/${WAVECRATE_APP_ID}.metainfo.xml)
endif()
if(TARGET installable AND TARGET icons)
  add_test(NAME desktop_install
           COMMAND ${CMAKE_COMMAND} -DBUILD=${CMAKE_BINARY_DIR} -DPREFIX=${CMAKE_BINARY_DIR}/install-test
                   -DAPP_ID=${WAVECRATE_APP_ID} -DVALIDATOR=${DESKTOP_FILE_VALIDATE}
                   -P ${CMAKE_SOURCE_DIR}/cmake/InstallTest.cmake)
endif()
if(UPDATE_MIME_DATABASE)
  add_test(NAME mime_type
           COMMAND ${CMAKE_COMMAND} -DUPDATE_MIME_DATABASE=${UPDATE_MIME_DATABASE}
                   -DMIME_XML=${packaging}/${WAVECRATE_APP_ID}.mime.xml
                   -DDESKTOP=${packaging}/${WAVECRATE_APP_ID}.desktop -DWORK=${CMAKE_BINARY_DIR}/mime-test -P
                   ${CMAKE_SOURCE_DIR}/cmake/MimeTypeTest.cmake)
endif()
if(XMLLINT)
  add_test(NAME mime_xml_well_formed COMMAND ${XMLLINT} --noout ${packaging}/${WAVECRATE_APP_ID}.mime.xml)
endif()
add_test(NAME desktop_launcher
         COMMAND ${CMAKE_COMMAND} -DLAUNCHER=${packaging}/wavecrate-launch
                 -DWORK=${CMAKE_BINARY_DIR}/launcher-test -P ${CMAKE_SOURCE_DIR}/cmake/LauncherTest.cmake)
