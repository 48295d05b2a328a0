# Installs the build into a scratch prefix, as the guide tells users to, and
# checks that the menu entry finds its program and icon there.
# Usage: cmake -DBUILD=<build dir> -DPREFIX=<scratch dir> -DAPP_ID=<id>
#              [-DVALIDATOR=<desktop-file-validate>] -P InstallTest.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${status}): ${errors}")
endif()

set(entry ${PREFIX}/share/applications/${APP_ID}.desktop)
foreach(file bin/wavecrate bin/wavecrate-launch bin/wavecrate-export bin/wavecrate-annotate
             share/metainfo/${APP_ID}.metainfo.xml share/icons/hicolor/scalable/apps/${APP_ID}.svg
             share/icons/hicolor/48x48/apps/${APP_ID}.png share/icons/hicolor/256x256/apps/${APP_ID}.png)
  if(NOT EXISTS ${PREFIX}/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
if(NOT EXISTS ${entry})
  message(FATAL_ERROR "not installed: ${entry}")
endif()

# The entry starts the installed launcher by its full path (the prefix's bin
# need not be on PATH) and names the installed icon.
file(STRINGS ${entry} exec REGEX "^Exec=")
if(NOT exec STREQUAL "Exec=${PREFIX}/bin/wavecrate-launch %f")
  message(FATAL_ERROR "the menu entry has '${exec}', not the installed launcher's full path")
endif()
file(STRINGS ${entry} icon REGEX "^Icon=")
if(NOT icon STREQUAL "Icon=${APP_ID}")
  message(FATAL_ERROR "the menu entry names the icon '${icon}', not ${APP_ID}")
endif()
if(VALIDATOR)
  execute_process(COMMAND ${VALIDATOR} ${entry} RESULT_VARIABLE status OUTPUT_VARIABLE complaints
                  ERROR_VARIABLE complaints)
  if(NOT status EQUAL 0 OR NOT complaints STREQUAL "")
    message(FATAL_ERROR "the installed menu entry does not validate: ${complaints}")
  endif()
endif()
